#pragma once

#include "foundation/EdgeInsets.h"
#include "foundation/SrgbColor.h"

#include <QWidget>

class KPColorPickerView;

/// The round handle of the colour wheel and the opacity slider: a disc of its colour (over white when the colour
/// is translucent) inside a white ring with thin grey edges.
class KPPickerBall final : public QWidget
{
    Q_OBJECT
public:
    explicit KPPickerBall(QWidget *parent = nullptr);

    [[nodiscard]] const inkora::EdgeInsets &insets() const { return m_insets; }
    void setInsets(const inkora::EdgeInsets &insets);
    [[nodiscard]] const inkora::SrgbColor &fillColor() const { return m_fillColor; }
    void setFillColor(const inkora::SrgbColor &color);
    /// Points.
    [[nodiscard]] double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    [[nodiscard]] KPColorPickerView *pickerView() const { return m_pickerView; }
    void setPickerView(KPColorPickerView *view) { m_pickerView = view; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    inkora::EdgeInsets m_insets;
    inkora::SrgbColor m_fillColor{0, 0, 0, 1};
    KPColorPickerView *m_pickerView = nullptr; // not owned
    double m_borderWidth = 3.0;
};
