#pragma once

#include "platform/Layer.h"
#include "tools/KPAngularGradient.h"

#include <QImage>
#include <QList>

/// The hue ring of the colour wheel: the angular gradient of the seven hue colours, clipped to a ring of
/// `donutThickness` along the edge of the bounds.
class KPHueWheelLayer final : public platform::Layer
{
public:
    KPHueWheelLayer() = default;
    [[nodiscard]] static std::shared_ptr<KPHueWheelLayer> create() { return std::make_shared<KPHueWheelLayer>(); }

    /// Points.
    [[nodiscard]] double donutThickness() const { return m_donutThickness; }
    void setDonutThickness(double thickness);

    /// Red, magenta, blue, cyan, green, yellow and red again, opaque.
    [[nodiscard]] static QList<KPAngularGradient::Components> colorsArray();

    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    double m_donutThickness = 0;
    mutable QImage m_gradient; // for the bounds' size it was made at
};
