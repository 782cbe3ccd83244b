#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Layer.h"

#include <QImage>
#include <QList>
#include <QRectF>

/// Conic gradient bitmaps: round the centre of a rectangle the colour follows the angle through a list of colours,
/// clockwise on screen from 3 o'clock. As a layer it shows the gradient of its colours over its bounds.
class KPAngularGradient : public platform::Layer
{
public:
    /// A colour as its components: red, green, blue and alpha, or grey and alpha; none counts as transparent black.
    using Components = QList<double>;

    KPAngularGradient() = default;
    [[nodiscard]] static std::shared_ptr<KPAngularGradient> create() { return std::make_shared<KPAngularGradient>(); }

    /// A w x h bitmap (the rectangle's size in points, truncated), premultiplied RGBA, row 0 at the top. Locations
    /// (0...1) apply only when there is one per colour. No image for no colours or a rectangle that is not finite,
    /// less than a point wide or high, or too large to allocate.
    [[nodiscard]] static QImage newImageGradientInRect(const QRectF &rect, const QList<Components> &colors,
                                                       const QList<double> &locations = {});
    [[nodiscard]] static QImage newImageGradientInRect(const QRectF &rect, const QList<inkora::SrgbColor> &colors,
                                                       const QList<double> &locations = {});
    /// With the layer's own colours and locations.
    [[nodiscard]] QImage newImageGradientInRect(const QRectF &rect) const;

    [[nodiscard]] const QList<Components> &colors() const { return m_colors; }
    void setColors(const QList<Components> &colors);
    [[nodiscard]] const QList<double> &locations() const { return m_locations; }
    void setLocations(const QList<double> &locations);

    /// The components of a colour value; none for no colour.
    [[nodiscard]] static Components componentsOf(const inkora::SrgbColor &color);

    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    QList<Components> m_colors;
    QList<double> m_locations;
};
