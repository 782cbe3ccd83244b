#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace inkora {

class StepAnimation;

/// The roll switch of the snapshot panel: equal segments side by side, one selected. A segment can flash: a
/// coloured cover that fades from opaque to clear over 1.0 s.
class SnapshotSegmentedControl final : public QWidget
{
    Q_OBJECT
public:
    SnapshotSegmentedControl(const QStringList &labels, QWidget *parent);
    ~SnapshotSegmentedControl() override;

    [[nodiscard]] int segmentCount() const { return int(m_labels.size()); }
    [[nodiscard]] QString labelForSegment(int segment) const { return m_labels.value(segment); }
    [[nodiscard]] int selectedSegment() const { return m_selected; }
    /// Selects without sending the action.
    void setSelectedSegment(int segment);
    /// The cover over the segment at full opacity, fading out.
    void flashSegment(int segment, const QColor &color);
    [[nodiscard]] int flashingSegment() const { return m_flashSegment; }
    [[nodiscard]] double flashOpacity() const { return m_flashOpacity; }

signals:
    /// A click chose a segment.
    void segmentSelected(int segment);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    [[nodiscard]] QRectF segmentRect(int segment) const;

    QStringList m_labels;
    int m_selected = 0;
    int m_flashSegment = -1;
    double m_flashOpacity = 0;
    QColor m_flashColor;
    std::unique_ptr<StepAnimation> m_flash;
};

} // namespace inkora
