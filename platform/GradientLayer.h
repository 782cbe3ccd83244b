#pragma once

#include "platform/Layer.h"

#include <vector>

namespace platform {

/// A layer filled with a gradient across its bounds. Start and end points are unit coordinates of the bounds
/// ((0, 0) bottom left, y up); colours spread evenly unless locations (one per colour, in [0, 1]) are given.
class GradientLayer : public Layer
{
public:
    enum class Type : int { Axial, Radial };

    GradientLayer() = default;
    [[nodiscard]] static std::shared_ptr<GradientLayer> create() { return std::make_shared<GradientLayer>(); }

    [[nodiscard]] const std::vector<QColor> &colors() const { return m_colors; }
    void setColors(const std::vector<QColor> &colors);
    [[nodiscard]] const std::vector<double> &locations() const { return m_locations; }
    void setLocations(const std::vector<double> &locations);
    [[nodiscard]] QPointF startPoint() const { return m_startPoint; }
    void setStartPoint(QPointF point);
    [[nodiscard]] QPointF endPoint() const { return m_endPoint; }
    void setEndPoint(QPointF point);
    [[nodiscard]] Type type() const { return m_type; }
    void setType(Type type);

    [[nodiscard]] QVariant modelValue(const QString &key) const override;
    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    std::vector<QColor> m_colors;
    std::vector<double> m_locations;
    QPointF m_startPoint{0.5, 0};
    QPointF m_endPoint{0.5, 1};
    Type m_type = Type::Axial;
};

} // namespace platform
