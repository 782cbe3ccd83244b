#include "objects/MRKOArrowPill.h"

#include "objects/ObjectGeometry.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kBendAngle = 0.45f;                                            // radians, the curved style's bend
constexpr float kShaftWedgeAngle = 24.0f * std::numbers::pi_v<float> / 180.0f; // the wedge shaft's half angle
constexpr double kMiterLimit = 10.0;
// Shaft width of the open head as a fraction of the arrow's length, per thickness preset.
constexpr std::array<double, 6> kShaftFractions = {0.01, 0.016, 0.024, 0.05, 0.09, 0.12};
constexpr double kShaftWidthBeyondPresets = 10.0; // points

// Arrow geometry runs in single precision, on the two points rounded to floats.
struct Point
{
    float x = 0;
    float y = 0;
    [[nodiscard]] QPointF q() const { return {x, y}; }
};

Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y};
}
Point operator*(float s, Point a)
{
    return {s * a.x, s * a.y};
}
Point dir(float angle)
{
    return {std::cos(angle), std::sin(angle)};
}
Point mid(Point a, Point b)
{
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
}
Point rotated(Point p, float angle, Point about)
{
    const Point v = p - about;
    const float c = std::cos(angle), s = std::sin(angle);
    return Point{v.x * c - v.y * s, v.x * s + v.y * c} + about;
}
Point toFloat(QPointF p)
{
    return {static_cast<float>(p.x()), static_cast<float>(p.y())};
}

struct Frame
{
    Point tip;  // the end carrying the head
    Point tail; // the other end
    double length = 0;
    float towardsTail = 0; // direction from the tip towards the tail
};

void addClosedPolygon(platform::Path &path, std::initializer_list<Point> points)
{
    bool first = true;
    for (Point p : points) {
        if (first)
            path.moveTo(p.q());
        else
            path.lineTo(p.q());
        first = false;
    }
    path.closeSubpath();
}

} // namespace

MRKOArrowPill::MRKOArrowPill()
{
    setToolType(1);
    m_headRatio = static_cast<double>(0.33f);
    m_constantHeadSize = 50.0;
}

MRKOArrowPill::MRKOArrowPill(quint64 toolType, QPointF startPoint, QPointF endPoint, const inkora::SrgbColor &color1,
                             const inkora::SrgbColor &color2, quint64 colorType, double thickness, qint64 arrowStyle)
    : MRKOArrowPill()
{
    setBaseFields(toolType, color1, color2, colorType, 0, thickness);
    m_startPoint = startPoint;
    m_endPoint = endPoint;
    m_arrowStyle = arrowStyle;
}

bool MRKOArrowPill::isKindOfReceiverClass(const MRKOPill &other) const
{
    return dynamic_cast<const MRKOArrowPill *>(&other) != nullptr;
}

namespace {
Frame frameOf(QPointF start, QPointF end, bool invert)
{
    const Point s = toFloat(start), e = toFloat(end);
    Frame f;
    f.length = std::hypot(static_cast<double>(e.x) - s.x, static_cast<double>(e.y) - s.y);
    const float a = std::atan2(e.y - s.y, e.x - s.x);
    f.tip = invert ? e : s;
    f.tail = invert ? s : e;
    f.towardsTail = invert ? a + kPi : a;
    return f;
}
} // namespace

QRectF MRKOArrowPill::createPaths()
{
    if (subType() == 1)
        createLinePath();
    else
        createArrowPath();
    return integralBoundingBoxOfStrokedPath();
}

void MRKOArrowPill::createLinePath()
{
    platform::Path path;
    path.moveTo(m_startPoint);
    path.lineTo(m_endPoint);
    setStrokedPath(path.strokedOutline(thickness(), Qt::RoundCap, Qt::MiterJoin, kMiterLimit));
    setPath(std::move(path));
}

void MRKOArrowPill::createArrowPath()
{
    createArrowPathUsingStyle();
}

void MRKOArrowPill::createArrowPathUsingStyle()
{
    switch (m_arrowStyle) {
    case MRKOArrowStyleWedge:
        arrowPathV2();
        break;
    case MRKOArrowStyleCurved:
        arrowPathV3();
        break;
    case MRKOArrowStyleTaperedBar:
        arrowPathV4();
        break;
    case MRKOArrowStyleStraightBar:
        arrowPathV5();
        break;
    default:
        arrowPathV1();
        break;
    }
}

void MRKOArrowPill::arrowPathV1()
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    double w = m_toolThickness < kShaftFractions.size() ? kShaftFractions[m_toolThickness] * f.length
                                                        : kShaftWidthBeyondPresets;
    if (m_useConstantWidth)
        w = thickness();
    double h = f.length * m_headRatio;
    if (!m_roundedEnds)
        h += 0.5 * w;
    if (m_useConstantHeadSize)
        h = m_constantHeadSize;
    const float hf = static_cast<float>(h);
    const Point w1 = f.tip + hf * dir(f.towardsTail + kPi / 4);
    const Point w2 = f.tip + hf * dir(f.towardsTail - kPi / 4);

    platform::Path path;
    path.moveTo(f.tip.q());
    path.lineTo(f.tail.q());
    path.moveTo(w1.q());
    path.lineTo(f.tip.q());
    path.lineTo(w2.q());
    setStrokedPath(path.strokedOutline(w, m_roundedEnds ? Qt::RoundCap : Qt::FlatCap,
                                       m_roundedTip ? Qt::RoundJoin : Qt::MiterJoin, kMiterLimit));
    setPath(std::move(path));
}

void MRKOArrowPill::addWedgeHead(platform::Path &path) const
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    const float h = static_cast<float>(f.length * m_headRatio);
    const Point p1 = f.tip + h * dir(f.towardsTail + kPi / 6);
    const Point p2 = f.tip + h * dir(f.towardsTail - kPi / 6);
    addClosedPolygon(path, {p1, f.tip, p2, p1});
}

void MRKOArrowPill::arrowPathV2()
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    const float h = static_cast<float>(f.length * m_headRatio);
    platform::Path path;
    addWedgeHead(path);
    const Point q1 = f.tip + (0.5f * h) * dir(f.towardsTail + kShaftWedgeAngle);
    const Point q2 = f.tip + (0.5f * h) * dir(f.towardsTail - kShaftWedgeAngle);
    addClosedPolygon(path, {f.tail, q1, q2, f.tail});
    setStrokedPath(path);
    setPath(std::move(path));
}

void MRKOArrowPill::arrowPathV3()
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    const float h = static_cast<float>(f.length * m_headRatio);
    const float theta = m_invert == m_arcArrowClockwise ? kBendAngle : -kBendAngle;
    const Point p1 = f.tip + h * dir(f.towardsTail + kPi / 6);
    const Point p2 = f.tip + h * dir(f.towardsTail - kPi / 6);

    platform::Path path;
    addClosedPolygon(path, {rotated(p1, theta, f.tip), f.tip, rotated(p2, theta, f.tip), rotated(p1, theta, f.tip)});

    const Point m = mid(p1, p2);
    const Point c1 = rotated(mid(p1, m), theta, f.tip);
    const Point c2 = rotated(mid(m, p2), theta, f.tip);
    const Point k1 = rotated(mid(c1, f.tail), theta, c1);
    const Point k2 = rotated(mid(c2, f.tail), theta, c2);
    path.moveTo(f.tail.q());
    path.quadTo(k1.q(), c1.q());
    path.lineTo(c2.q());
    path.quadTo(k2.q(), f.tail.q());
    path.closeSubpath();
    setStrokedPath(path);
    setPath(std::move(path));
}

void MRKOArrowPill::arrowPathV4()
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    const float h = static_cast<float>(f.length * m_headRatio);
    const Point b = f.tip + (h / 1.5f) * dir(f.towardsTail);
    const Point n = dir(f.towardsTail + kPi / 2);
    platform::Path path;
    addWedgeHead(path);
    const Point tailTop = f.tail + (0.5f * h) * n, tailBottom = f.tail - (0.5f * h) * n;
    addClosedPolygon(path, {tailTop, b + (0.25f * h) * n, b - (0.25f * h) * n, tailBottom, tailTop});
    setStrokedPath(path);
    setPath(std::move(path));
}

void MRKOArrowPill::arrowPathV5()
{
    const Frame f = frameOf(m_startPoint, m_endPoint, m_invert);
    const float h = static_cast<float>(f.length * m_headRatio);
    const Point b = f.tip + (h / 1.5f) * dir(f.towardsTail);
    const Point n = dir(f.towardsTail + kPi / 2);
    platform::Path path;
    addWedgeHead(path);
    const Point tailTop = f.tail + (0.25f * h) * n, tailBottom = f.tail - (0.25f * h) * n;
    addClosedPolygon(path, {tailTop, b + (0.25f * h) * n, b - (0.25f * h) * n, tailBottom, tailTop});
    setStrokedPath(path);
    setPath(std::move(path));
}

void MRKOArrowPill::drawInContext(QPainter &painter) const
{
    fillStrokedPath(painter, m_startPoint, m_endPoint);
}

void MRKOArrowPill::moveOriginWithDelta(QPointF delta)
{
    MRKOPill::moveOriginWithDelta(delta);
    m_startPoint += delta;
    m_endPoint += delta;
}

bool MRKOArrowPill::isEqualToPill(const MRKOPill *other) const
{
    if (other == this)
        return true;
    if (!MRKOPill::isEqualToPill(other))
        return false;
    const auto &o = static_cast<const MRKOArrowPill &>(*other);
    return inkora::pointsEqual(m_startPoint, o.m_startPoint) && inkora::pointsEqual(m_endPoint, o.m_endPoint) &&
           m_arrowStyle == o.m_arrowStyle && m_invert == o.m_invert && m_useConstantWidth == o.m_useConstantWidth &&
           m_roundedTip == o.m_roundedTip && m_roundedEnds == o.m_roundedEnds && m_headRatio == o.m_headRatio &&
           m_useConstantHeadSize == o.m_useConstantHeadSize && m_constantHeadSize == o.m_constantHeadSize &&
           m_toolThickness == o.m_toolThickness && m_arcArrowClockwise == o.m_arcArrowClockwise;
}

std::shared_ptr<MRKOPill> MRKOArrowPill::copy() const
{
    return std::shared_ptr<MRKOPill>(new MRKOArrowPill(*this));
}

QRectF MRKOArrowPill::handlesRect() const
{
    const double x = std::min(m_startPoint.x(), m_endPoint.x());
    const double y = std::min(m_startPoint.y(), m_endPoint.y());
    const double w = std::abs(m_endPoint.x() - m_startPoint.x());
    const double h = std::abs(m_endPoint.y() - m_startPoint.y());
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h)};
}

void MRKOArrowPill::drawHandlesInView(const inkora::HandlesSurface *view) const
{
    const QPointF origin = view ? QPointF(view->frame.x(), view->frame.y()) : QPointF();
    drawHandleInViewAtPoint(view, m_startPoint - origin);
    drawHandleInViewAtPoint(view, m_endPoint - origin);
}

MRKOPillHandle MRKOArrowPill::handleAtPoint(QPointF point, const QRectF &handlesFrame) const
{
    (void)handlesFrame;
    if (isHandleAtPoint(m_startPoint, point))
        return MRKOPillHandleStart;
    if (isHandleAtPoint(m_endPoint, point))
        return MRKOPillHandleEnd;
    return MRKOPillHandleNone;
}

QRectF MRKOArrowPill::resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point)
{
    (void)rect;
    constexpr double kMinimumLength = 2.0; // points between the two ends
    auto distance = [](QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); };
    if (handle == MRKOPillHandleEnd && distance(point, m_startPoint) > kMinimumLength)
        m_endPoint = point;
    else if (handle == MRKOPillHandleStart && distance(point, m_endPoint) > kMinimumLength)
        m_startPoint = point;
    return {};
}

QString MRKOArrowPill::archiveClassName() const
{
    return QStringLiteral("MRKOArrowPill");
}

void MRKOArrowPill::encodeWithCoder(platform::KeyedArchiver &coder) const
{
    MRKOPill::encodeWithCoder(coder);
    coder.encodePoint(m_startPoint, QStringLiteral("startPoint"));
    coder.encodePoint(m_endPoint, QStringLiteral("endPoint"));
    coder.encodeInt(m_arrowStyle, QStringLiteral("arrowStyle"));
    coder.encodeBool(m_invert, QStringLiteral("invert"));
    coder.encodeBool(m_useConstantWidth, QStringLiteral("useConstantWidth"));
    coder.encodeBool(m_roundedTip, QStringLiteral("roundedTip"));
    coder.encodeBool(m_roundedEnds, QStringLiteral("roundedEnds"));
    coder.encodeDouble(m_headRatio, QStringLiteral("headRatio"));
    coder.encodeBool(m_useConstantHeadSize, QStringLiteral("useConstantHeadSize"));
    coder.encodeDouble(m_constantHeadSize, QStringLiteral("constantHeadSize"));
    coder.encodeInt(static_cast<qint64>(m_toolThickness), QStringLiteral("toolThickness"));
    coder.encodeBool(m_arcArrowClockwise, QStringLiteral("arcArrowClockwise"));
}

void MRKOArrowPill::initWithCoder(platform::KeyedUnarchiver &coder)
{
    MRKOPill::initWithCoder(coder);
    m_startPoint = coder.decodePoint(QStringLiteral("startPoint"));
    m_endPoint = coder.decodePoint(QStringLiteral("endPoint"));
    m_arrowStyle = coder.decodeInt(QStringLiteral("arrowStyle"));
    m_invert = coder.decodeBool(QStringLiteral("invert"));
    m_useConstantWidth = coder.decodeBool(QStringLiteral("useConstantWidth"));
    m_roundedTip = coder.decodeBool(QStringLiteral("roundedTip"));
    m_roundedEnds = coder.decodeBool(QStringLiteral("roundedEnds"));
    m_headRatio = coder.decodeDouble(QStringLiteral("headRatio"));
    m_useConstantHeadSize = coder.decodeBool(QStringLiteral("useConstantHeadSize"));
    m_constantHeadSize = coder.decodeDouble(QStringLiteral("constantHeadSize"));
    m_toolThickness = static_cast<quint64>(coder.decodeInt(QStringLiteral("toolThickness")));
    m_arcArrowClockwise = coder.decodeBool(QStringLiteral("arcArrowClockwise"));
}
