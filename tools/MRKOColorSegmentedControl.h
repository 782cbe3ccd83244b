#pragma once

#include "foundation/SrgbColor.h"

#include <QImage>
#include <QString>
#include <QWidget>

/// The control of one hue swatch in the shortcut settings: segment 0 shows the swatch and opens the colour
/// popover, segment 1 gives the swatch back its hue. Its identifier is the swatch's settings key and its tag the
/// swatch's index; every change is stored at once and reaches the hue controller.
class MRKOColorSegmentedControl final : public QWidget
{
    Q_OBJECT
public:
    /// Notification posted after a swatch changed, for the views that show the swatches.
    static constexpr char kUpdateSwatchImagesNotification[] = "MRKOUpdateSwatchImagesNotification";

    MRKOColorSegmentedControl(const QString &identifier, quint64 tag, QWidget *parent = nullptr);

    [[nodiscard]] const QString &identifier() const { return m_identifier; }
    [[nodiscard]] quint64 tag() const { return m_tag; }
    [[nodiscard]] quint64 colorHueIndex() const { return m_tag; }
    /// None when the swatch has no colour of its own.
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color) { m_color = color; }
    [[nodiscard]] int selectedSegment() const { return m_selectedSegment; }
    void setSelectedSegment(int segment);

    void awakeFromNib();
    /// What choosing a segment does.
    void segmentHasSeleted();
    void afterChange();
    void runColorPopoverForView(QWidget *view);
    void colorPopoverChangesAColor();
    void popoverDidClose();
    void postUpdateSwatchImages();
    /// A four-part colour text becomes the swatch's colour; anything else clears it.
    void applyAdjustmentWithString(const QString &text);
    void restoreDefaults();
    [[nodiscard]] inkora::SrgbColor effectiveColor() const;
    [[nodiscard]] double defaultHue() const;
    void updateImage();
    [[nodiscard]] const QImage &colorSwatchImage() const { return m_swatchImage; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void saveColorIfNeeded();
    [[nodiscard]] QRect segmentRect(int segment) const;

    QString m_identifier;
    quint64 m_tag = 0;
    inkora::SrgbColor m_color;
    QImage m_swatchImage;
    int m_selectedSegment = 1;
};
