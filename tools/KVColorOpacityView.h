#pragma once

#include "foundation/SrgbColor.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class KPColorPickerView;
class KPPickerBall;

/// The opacity slider under the colour wheel: the picker's colour fading in from transparent over a checkerboard,
/// with a round handle at the chosen opacity. Pressing, dragging or touching sets the value and tells the picker.
/// Geometry in the view's points, y up; only the horizontal position counts.
class KVColorOpacityView final : public QWidget
{
    Q_OBJECT
public:
    explicit KVColorOpacityView(QWidget *parent = nullptr);

    /// Kept within [minValue, maxValue].
    [[nodiscard]] double opacity() const { return m_value; }
    void setOpacity(double value);
    [[nodiscard]] double minValue() const { return m_minValue; }
    void setMinValue(double value) { m_minValue = value; }
    [[nodiscard]] double maxValue() const { return m_maxValue; }
    void setMaxValue(double value) { m_maxValue = value; }

    /// The picker's colour with the chosen opacity: moves the handle to its alpha and fills it.
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] const inkora::SrgbColor &opaqueColor() const { return m_opaqueColor; }
    void setOpaqueColor(const inkora::SrgbColor &color);

    [[nodiscard]] KPColorPickerView *pickerView() const { return m_pickerView; }
    void setPickerView(KPColorPickerView *view) { m_pickerView = view; }
    [[nodiscard]] KPPickerBall *colorBall() const { return m_colorBall; }

    /// The handle centre's x at value 0, and how far it travels to value 1.
    [[nodiscard]] double lowestX() const;
    [[nodiscard]] double travel() const;
    void layoutSubviews();
    /// Sets the value from a point of the view and tells the picker.
    void handlePointInView(QPointF point);

    /// Grey and white squares of 4 points; one image for the process, made at the first request's size.
    [[nodiscard]] static QImage checkerboard4WithSize(QSize size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void updateSlider();
    void invokeTarget();
    [[nodiscard]] double edge() const;

    KPPickerBall *m_colorBall = nullptr;      // child
    QPointer<KPColorPickerView> m_pickerView; // not owned
    inkora::SrgbColor m_color;
    inkora::SrgbColor m_opaqueColor{1, 1, 1, 1};
    double m_value = 0;
    double m_minValue = 0;
    double m_maxValue = 1;
};
