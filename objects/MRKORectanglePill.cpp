#include "objects/MRKORectanglePill.h"

#include "objects/ObjectGeometry.h"
#include "platform/Geometry.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kCornerRadius = 10.0; // points, for shapes at least twice as large as their line width
constexpr double kMiterLimit = 10.0;
} // namespace

MRKORectanglePill::MRKORectanglePill()
{
    setToolType(2);
}

MRKORectanglePill::MRKORectanglePill(quint64 toolType, const QRectF &rect, const inkora::SrgbColor &color1,
                                     const inkora::SrgbColor &color2, quint64 colorType, quint64 direction,
                                     double thickness, bool sharpCorners, bool filled)
    : MRKORectanglePill()
{
    setBaseFields(toolType, color1, color2, colorType, direction, thickness);
    m_rect = rect;
    m_sharpCorners = sharpCorners;
    m_filled = filled;
}

bool MRKORectanglePill::isKindOfReceiverClass(const MRKOPill &other) const
{
    return dynamic_cast<const MRKORectanglePill *>(&other) != nullptr;
}

QRectF MRKORectanglePill::createPaths()
{
    if (subType() == 1)
        createCirclePaths();
    else
        createRoundedRectanglePaths();
    return integralBoundingBoxOfStrokedPath();
}

void MRKORectanglePill::createRoundedRectanglePaths()
{
    const double t = thickness();
    QRectF r = m_rect;
    const double s = std::min(r.width(), r.height());
    // Shapes smaller than twice their line width get proportionally smaller corners.
    const double r0 = s >= 2 * t ? kCornerRadius : (s / (2 * t)) * kCornerRadius;
    double radius = std::min(0.5 * s, r0);
    if (m_filled) {
        r.adjust(-0.5 * t, -0.5 * t, 0.5 * t, 0.5 * t);
        radius += 0.5 * t;
    }
    if (m_sharpCorners)
        radius = 0;

    const double x = r.x(), y = r.y(), maxX = r.x() + r.width(), maxY = r.y() + r.height();
    platform::Path path;
    path.moveTo({x + radius, maxY});
    path.lineTo({maxX - radius, maxY});
    path.quadTo({maxX, maxY}, {maxX, maxY - radius});
    path.lineTo({maxX, y + radius});
    path.quadTo({maxX, y}, {maxX - radius, y});
    path.lineTo({x + radius, y});
    path.quadTo({x, y}, {x, y + radius});
    path.lineTo({x, maxY - radius});
    path.quadTo({x, maxY}, {x + radius, maxY});
    path.closeSubpath();

    if (m_filled) {
        setStrokedPath(path);
    } else {
        setStrokedPath(path.strokedOutline(t, radius > 0 ? Qt::RoundCap : Qt::SquareCap,
                                           radius > 0 ? Qt::RoundJoin : Qt::MiterJoin, kMiterLimit));
    }
    setPath(std::move(path));
}

void MRKORectanglePill::createCirclePaths()
{
    const double t = thickness();
    QRectF r = m_rect;
    if (m_filled)
        r.adjust(-0.5 * t, -0.5 * t, 0.5 * t, 0.5 * t);
    platform::Path path;
    path.addEllipseInRect(r);
    if (m_filled) {
        setStrokedPath(path);
    } else {
        setStrokedPath(path.strokedOutline(t, Qt::RoundCap, Qt::RoundJoin, kMiterLimit));
    }
    setPath(std::move(path));
}

void MRKORectanglePill::drawInContext(QPainter &painter) const
{
    const QRectF bounds = boundingBoxOfPath();
    fillStrokedPath(painter, startPointWithRect(bounds), endPointWithRect(bounds));
}

void MRKORectanglePill::moveOriginWithDelta(QPointF delta)
{
    MRKOPill::moveOriginWithDelta(delta);
    m_rect.translate(delta);
}

bool MRKORectanglePill::isEqualToPill(const MRKOPill *other) const
{
    if (other == this)
        return true;
    if (!MRKOPill::isEqualToPill(other))
        return false;
    const auto &o = static_cast<const MRKORectanglePill &>(*other);
    return inkora::rectsEqual(m_rect, o.m_rect) && m_sharpCorners == o.m_sharpCorners && m_filled == o.m_filled;
}

std::shared_ptr<MRKOPill> MRKORectanglePill::copy() const
{
    return std::shared_ptr<MRKOPill>(new MRKORectanglePill(*this));
}

QRectF MRKORectanglePill::resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point)
{
    const QRectF box = MRKOPill::resizeRect(rect, handle, point);
    // The layer's frame includes the stroke; the rect is the stroke's centre line.
    const double k = std::trunc(thickness() * 0.5);
    return platform::integralRect(platform::insetRect(box, k, k));
}

QString MRKORectanglePill::archiveClassName() const
{
    return QStringLiteral("MRKORectanglePill");
}

void MRKORectanglePill::encodeWithCoder(platform::KeyedArchiver &coder) const
{
    MRKOPill::encodeWithCoder(coder);
    coder.encodeRect(m_rect, QStringLiteral("rect"));
    coder.encodeBool(m_sharpCorners, QStringLiteral("sharpCorners"));
    coder.encodeBool(m_filled, QStringLiteral("filled"));
}

void MRKORectanglePill::initWithCoder(platform::KeyedUnarchiver &coder)
{
    MRKOPill::initWithCoder(coder);
    m_rect = coder.decodeRect(QStringLiteral("rect"));
    m_sharpCorners = coder.decodeBool(QStringLiteral("sharpCorners"));
    m_filled = coder.decodeBool(QStringLiteral("filled"));
}
