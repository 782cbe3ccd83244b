#include "platform/GradientLayer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
const QString kStartPoint = QStringLiteral("startPoint");
const QString kEndPoint = QStringLiteral("endPoint");
} // namespace

void GradientLayer::setColors(const std::vector<QColor> &colors)
{
    propertyWillChange();
    m_colors = colors;
    propertyDidChange({}, {});
}

void GradientLayer::setLocations(const std::vector<double> &locations)
{
    propertyWillChange();
    m_locations = locations;
    propertyDidChange({}, {});
}

void GradientLayer::setStartPoint(QPointF point)
{
    setAnimatableMember(m_startPoint, point, kStartPoint);
}

void GradientLayer::setEndPoint(QPointF point)
{
    setAnimatableMember(m_endPoint, point, kEndPoint);
}

void GradientLayer::setType(Type type)
{
    propertyWillChange();
    m_type = type;
    propertyDidChange({}, {});
}

QVariant GradientLayer::modelValue(const QString &key) const
{
    if (key == kStartPoint)
        return m_startPoint;
    if (key == kEndPoint)
        return m_endPoint;
    return Layer::modelValue(key);
}

void GradientLayer::drawInContext(QPainter &painter, bool presentation) const
{
    Layer::drawInContext(painter, presentation);
    if (m_colors.empty())
        return;
    const QRectF b = bounds();
    auto toBounds = [&b](QPointF unit) { return QPointF(b.x() + unit.x() * b.width(), b.y() + unit.y() * b.height()); };
    const QPointF start = toBounds(drawingValue(m_startPoint, kStartPoint, presentation));
    const QPointF end = toBounds(drawingValue(m_endPoint, kEndPoint, presentation));
    QGradientStops stops;
    const bool ownLocations = m_locations.size() == m_colors.size();
    for (size_t i = 0; i < m_colors.size(); ++i) {
        const double at = ownLocations           ? m_locations[i]
                          : m_colors.size() == 1 ? 0.0
                                                 : double(i) / double(m_colors.size() - 1);
        stops.append({std::clamp(at, 0.0, 1.0), m_colors[i]});
    }
    QGradient gradient;
    if (m_type == Type::Radial) {
        QRadialGradient radial(start, std::hypot(end.x() - start.x(), end.y() - start.y()));
        gradient = radial;
    } else {
        gradient = QLinearGradient(start, end);
    }
    gradient.setStops(stops);
    gradient.setSpread(QGradient::PadSpread);
    painter.fillRect(b, gradient);
}

} // namespace platform
