#include "objects/MRKOPill.h"

#include "objects/MRKOArrowPill.h"
#include "objects/MRKOBrushPill.h"
#include "objects/MRKORectanglePill.h"
#include "objects/MRKOTextPill.h"
#include "objects/NSBezierPath+Path.h"
#include "objects/ObjectArchiving.h"
#include "platform/Geometry.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

const QString kToolTypeKey = QStringLiteral("toolType");
const QString kColor1Key = QStringLiteral("color1");
const QString kColor2Key = QStringLiteral("color2");
const QString kColorTypeKey = QStringLiteral("colorType");
const QString kStartDirectionKey = QStringLiteral("startDirection");
const QString kThicknessKey = QStringLiteral("thickness");
const QString kPathKey = QStringLiteral("path");
const QString kStrokedPathKey = QStringLiteral("strokedPath");

void encodePath(platform::KeyedArchiver &coder, const std::optional<platform::Path> &path, const QString &key)
{
    if (!path)
        return;
    const inkora::BezierPath bezier = inkora::archiveBezierPath(*path);
    if (!bezier.isEmpty())
        inkora::encodeBezierPath(coder, bezier, key);
}

std::optional<platform::Path> decodePath(platform::KeyedUnarchiver &coder, const QString &key)
{
    std::optional<platform::Path> path;
    const std::optional<inkora::BezierPath> bezier = inkora::decodeBezierPath(coder, key);
    if (bezier && !bezier->isEmpty())
        Path::quartzPathWithRef(*bezier, path);
    return path;
}

template <class T> platform::ArchivablePtr decodePill(platform::KeyedUnarchiver &coder)
{
    auto pill = std::make_shared<T>();
    pill->initWithCoder(coder);
    return coder.hasFailed() ? nullptr : pill;
}

// Truncating quotient and remainder, as the tool tables define sub-type and group.
void divideWithRemainder(qint64 dividend, qint64 divisor, qint64 *quotient, qint64 *remainder)
{
    if (quotient)
        *quotient = dividend / divisor;
    if (remainder)
        *remainder = dividend % divisor;
}

QPointF cornerForMask(quint64 mask, const QRectF &r)
{
    const double minX = r.x(), minY = r.y(), maxX = r.x() + r.width(), maxY = r.y() + r.height();
    auto has = [mask](quint64 bits) { return (mask & bits) == bits; };
    if (has(MRKOStartDirectionLeft | MRKOStartDirectionBottom))
        return {minX, minY};
    if (has(MRKOStartDirectionLeft | MRKOStartDirectionTop))
        return {minX, maxY};
    if (has(MRKOStartDirectionRight | MRKOStartDirectionBottom))
        return {maxX, minY};
    if (has(MRKOStartDirectionRight | MRKOStartDirectionTop))
        return {maxX, maxY};
    return {0.0, 0.0};
}

// Pixel-aligns a rect given in view points, as views align what they draw to device pixels.
QRectF centerScanRect(const QRectF &rect, double scale)
{
    if (!(scale > 0))
        scale = 1.0;
    const double left = std::round(rect.x() * scale) / scale;
    const double bottom = std::round(rect.y() * scale) / scale;
    const double right = std::round((rect.x() + rect.width()) * scale) / scale;
    const double top = std::round((rect.y() + rect.height()) * scale) / scale;
    return {left, bottom, right - left, top - bottom};
}

// A soft shadow of an oval: the oval in translucent black, box-blurred three times, drawn one point lower.
void drawOvalShadow(QPainter &painter, const QRectF &oval, double scale)
{
    constexpr double kBlur = 4.0;   // points
    constexpr double kAlpha = 0.5;  // of black
    constexpr double kOffsetY = -1; // points, y up: below
    const int margin = static_cast<int>(std::ceil(kBlur * scale));
    const int w = static_cast<int>(std::ceil(oval.width() * scale)) + 2 * margin;
    const int h = static_cast<int>(std::ceil(oval.height() * scale)) + 2 * margin;
    if (w <= 0 || h <= 0)
        return;
    QImage shadow(w, h, QImage::Format_Alpha8);
    shadow.fill(0);
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0, 0, 0, kAlpha));
        p.drawEllipse(QRectF(margin, margin, oval.width() * scale, oval.height() * scale));
    }
    const int radius = std::max(1, static_cast<int>(std::lround(kBlur * scale / 3.0)));
    std::vector<int> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 0; horizontal < 2; ++horizontal) {
            const int outer = horizontal ? h : w, inner = horizontal ? w : h;
            line.assign(static_cast<size_t>(inner), 0);
            for (int o = 0; o < outer; ++o) {
                auto at = [&](int i) -> uchar & { return horizontal ? shadow.scanLine(o)[i] : shadow.scanLine(i)[o]; };
                for (int i = 0; i < inner; ++i)
                    line[static_cast<size_t>(i)] = at(i);
                for (int i = 0; i < inner; ++i) {
                    int sum = 0;
                    for (int k = -radius; k <= radius; ++k)
                        sum += (i + k >= 0 && i + k < inner) ? line[static_cast<size_t>(i + k)] : 0;
                    at(i) = static_cast<uchar>(sum / (2 * radius + 1));
                }
            }
        }
    }
    const QImage tinted = shadow.convertToFormat(QImage::Format_ARGB32_Premultiplied); // black with alpha
    painter.save();
    // The painter is y up; the image is stored top row first, so draw it flipped back.
    const QRectF target(oval.x() - margin / scale, oval.y() - margin / scale + kOffsetY, w / scale, h / scale);
    painter.translate(target.x(), target.y() + target.height());
    painter.scale(1.0, -1.0);
    painter.drawImage(QRectF(0, 0, target.width(), target.height()), tinted);
    painter.restore();
}

} // namespace

MRKOPill::MRKOPill() = default;

MRKOPill::MRKOPill(quint64 toolType, const inkora::SrgbColor &color1, const inkora::SrgbColor &color2,
                   quint64 colorType, quint64 direction, double thickness)
{
    setBaseFields(toolType, color1, color2, colorType, direction, thickness);
}

MRKOPill::~MRKOPill() = default;

void MRKOPill::registerArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        inkora::registerObjectArchiveClasses();
        const QString base = QStringLiteral("MRKOPill");
        platform::ArchiveClasses::registerClass(base, {}, &decodePill<MRKOPill>);
        platform::ArchiveClasses::registerClass(QStringLiteral("MRKOArrowPill"), base, &decodePill<MRKOArrowPill>);
        platform::ArchiveClasses::registerClass(QStringLiteral("MRKORectanglePill"), base,
                                                &decodePill<MRKORectanglePill>);
        platform::ArchiveClasses::registerClass(QStringLiteral("MRKOBrushPill"), base, &decodePill<MRKOBrushPill>);
        platform::ArchiveClasses::registerClass(QStringLiteral("MRKOTextPill"), base, &decodePill<MRKOTextPill>);
    });
}

QString MRKOPill::archiveClassName() const
{
    return QStringLiteral("MRKOPill");
}

void MRKOPill::encodeWithCoder(platform::KeyedArchiver &coder) const
{
    coder.encodeInt(static_cast<qint64>(m_toolType), kToolTypeKey);
    inkora::encodeColor(coder, m_color1, kColor1Key);
    inkora::encodeColor(coder, m_color2, kColor2Key);
    coder.encodeInt(static_cast<qint64>(m_colorType), kColorTypeKey);
    coder.encodeInt(static_cast<qint64>(m_startDirection), kStartDirectionKey);
    coder.encodeDouble(m_thickness, kThicknessKey);
    encodePath(coder, m_path, kPathKey);
    encodePath(coder, m_strokedPath, kStrokedPathKey);
}

void MRKOPill::initWithCoder(platform::KeyedUnarchiver &coder)
{
    m_toolType = static_cast<quint64>(coder.decodeInt(kToolTypeKey));
    m_color1 = inkora::decodeColor(coder, kColor1Key);
    m_color2 = inkora::decodeColor(coder, kColor2Key);
    m_colorType = static_cast<quint64>(coder.decodeInt(kColorTypeKey));
    m_startDirection = static_cast<quint64>(coder.decodeInt(kStartDirectionKey));
    m_thickness = coder.decodeDouble(kThicknessKey);
    m_path = decodePath(coder, kPathKey);
    m_strokedPath = decodePath(coder, kStrokedPathKey);
}

void MRKOPill::setBaseFields(quint64 toolType, const inkora::SrgbColor &color1, const inkora::SrgbColor &color2,
                             quint64 colorType, quint64 direction, double thickness)
{
    setToolType(toolType);
    setColor1(color1);
    setColor2(color2);
    setColorType(colorType);
    setStartDirection(direction);
    setThickness(thickness);
}

qint64 MRKOPill::subType() const
{
    qint64 quotient = 0;
    divideWithRemainder(static_cast<qint64>(m_toolType), 4, &quotient, nullptr);
    return quotient;
}

qint64 MRKOPill::toolGroup() const
{
    qint64 remainder = 0;
    divideWithRemainder(static_cast<qint64>(m_toolType), 4, nullptr, &remainder);
    return remainder;
}

bool MRKOPill::isKindOfReceiverClass(const MRKOPill &other) const
{
    (void)other;
    return true;
}

bool MRKOPill::isEqualToPill(const MRKOPill *other) const
{
    if (!other)
        return false;
    if (other == this)
        return true;
    if (!isKindOfReceiverClass(*other))
        return false;
    // A missing colour never equals anything.
    return m_toolType == other->m_toolType && m_colorType == other->m_colorType && m_color1.isValid() &&
           m_color1 == other->m_color1 && m_color2.isValid() && m_color2 == other->m_color2 &&
           m_thickness == other->m_thickness;
}

QPointF MRKOPill::startPointWithRect(const QRectF &rect) const
{
    return cornerForMask(m_startDirection, rect);
}

QPointF MRKOPill::endPointWithRect(const QRectF &rect) const
{
    quint64 opposite = 0;
    if (m_startDirection & MRKOStartDirectionLeft)
        opposite |= MRKOStartDirectionRight;
    else if (m_startDirection & MRKOStartDirectionRight)
        opposite |= MRKOStartDirectionLeft;
    if (m_startDirection & MRKOStartDirectionTop)
        opposite |= MRKOStartDirectionBottom;
    else if (m_startDirection & MRKOStartDirectionBottom)
        opposite |= MRKOStartDirectionTop;
    return cornerForMask(opposite, rect);
}

QRectF MRKOPill::integralBoundingBoxOfStrokedPath() const
{
    if (!m_strokedPath)
        return {};
    return platform::integralRect(m_strokedPath->pathBoundingBox());
}

QRectF MRKOPill::boundingBoxOfPath() const
{
    if (!m_path)
        return {};
    return m_path->pathBoundingBox();
}

QRectF MRKOPill::createPaths()
{
    return {};
}

void MRKOPill::drawInContext(QPainter &painter) const
{
    (void)painter;
}

void MRKOPill::fillStrokedPath(QPainter &painter, QPointF start, QPointF end) const
{
    if (!m_strokedPath || !m_color1.isValid())
        return;
    const QPainterPath shape = m_strokedPath->toPainterPath(Qt::WindingFill);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_colorType == 1) {
        painter.fillPath(shape, m_color1.toQColor());
    } else if (m_color2.isValid()) {
        // The gradient extends past both ends, so the whole outline is covered.
        QLinearGradient gradient(start, end);
        gradient.setColorAt(0.0, m_color1.toQColor());
        gradient.setColorAt(1.0, m_color2.toQColor());
        gradient.setSpread(QGradient::PadSpread);
        painter.setClipPath(shape, Qt::IntersectClip);
        painter.fillRect(shape.boundingRect(), gradient);
    }
    painter.restore();
}

void MRKOPill::moveOriginWithDelta(QPointF delta)
{
    const QTransform move = QTransform::fromTranslate(delta.x(), delta.y());
    if (m_strokedPath)
        m_strokedPath = m_strokedPath->transformed(move);
    if (m_path)
        m_path = m_path->transformed(move);
}

std::shared_ptr<MRKOPill> MRKOPill::copy() const
{
    return std::shared_ptr<MRKOPill>(new MRKOPill(*this));
}

bool MRKOPill::hasHandlesRect() const
{
    const QRectF r = handlesRect();
    return r.width() >= 1.0 && r.height() >= 1.0;
}

QRectF MRKOPill::handlesViewFrameWithRect(const QRectF &rect)
{
    const double p = std::trunc(handlesViewPadding());
    return {rect.x() - p, rect.y() - p, rect.width() + 2 * p, rect.height() + 2 * p};
}

QRectF MRKOPill::handlesFrameFromHandlesViewFrame(const QRectF &rect)
{
    const double p = std::trunc(handlesViewPadding());
    return {rect.x() + p, rect.y() + p, rect.width() - 2 * p, rect.height() - 2 * p};
}

QPointF MRKOPill::handlePoint(MRKOPillHandle handle, const QRectF &rect)
{
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const double midX = x + 0.5 * w, midY = y + 0.5 * h;
    switch (handle) {
    case MRKOPillHandleTopLeft:
        return {x, y + h};
    case MRKOPillHandleTopMiddle:
        return {midX, y + h};
    case MRKOPillHandleTopRight:
        return {x + w, y + h};
    case MRKOPillHandleLeftMiddle:
        return {x, midY};
    case MRKOPillHandleRightMiddle:
        return {x + w, midY};
    case MRKOPillHandleBottomLeft:
        return {x, y};
    case MRKOPillHandleBottomMiddle:
        return {midX, y};
    case MRKOPillHandleBottomRight:
        return {x + w, y};
    default:
        return {0.0, 0.0};
    }
}

void MRKOPill::drawHandlesInView(const inkora::HandlesSurface *view) const
{
    const QRectF bounds = view ? QRectF(0, 0, view->frame.width(), view->frame.height()) : QRectF();
    const QRectF frame = view ? handlesFrameFromHandlesViewFrame(bounds) : QRectF();
    for (MRKOPillHandle handle :
         {MRKOPillHandleTopLeft, MRKOPillHandleTopMiddle, MRKOPillHandleTopRight, MRKOPillHandleRightMiddle,
          MRKOPillHandleBottomRight, MRKOPillHandleBottomMiddle, MRKOPillHandleBottomLeft, MRKOPillHandleLeftMiddle})
        drawHandleInViewAtPoint(view, handlePoint(handle, frame));
}

void MRKOPill::drawHandleInViewAtPoint(const inkora::HandlesSurface *view, QPointF point) const
{
    if (!view || !view->painter)
        return;
    QPainter &painter = *view->painter;
    const QRectF rect = centerScanRect(QRectF(point.x() - 5, point.y() - 5, 10, 10), view->backingScale);
    const QRectF outer = rect.adjusted(-1.0, -1.0, 1.0, 1.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    drawOvalShadow(painter, outer, view->backingScale);
    painter.setBrush(QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0)); // dark grey
    painter.drawEllipse(outer);
    drawOvalShadow(painter, rect, view->backingScale);
    painter.setBrush(QColor::fromRgbF(1.0, 1.0, 1.0));
    painter.drawEllipse(rect);
    painter.restore();
}

MRKOPillHandle MRKOPill::handleAtPoint(QPointF point, const QRectF &handlesFrame) const
{
    // Where hit squares overlap (frames under 12 points), this order decides.
    for (MRKOPillHandle handle :
         {MRKOPillHandleLeftMiddle, MRKOPillHandleBottomLeft, MRKOPillHandleBottomMiddle, MRKOPillHandleBottomRight,
          MRKOPillHandleRightMiddle, MRKOPillHandleTopRight, MRKOPillHandleTopMiddle, MRKOPillHandleTopLeft}) {
        if (isHandleAtPoint(handlePoint(handle, handlesFrame), point))
            return handle;
    }
    return MRKOPillHandleNone;
}

bool MRKOPill::isHandleAtPoint(QPointF center, QPointF point) const
{
    const double half = handlesViewPaddingNoBlur();
    const double x = center.x() - half, y = center.y() - half;
    // Minimum edges inside, maximum edges outside.
    return point.x() >= x && point.x() < x + 2 * half && point.y() >= y && point.y() < y + 2 * half;
}

QRectF MRKOPill::resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point)
{
    const double m = std::max(10.0, 2.0 * m_thickness); // smallest width and height
    double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const double px = point.x(), py = point.y();

    bool leftClamped = false;
    if (handle == MRKOPillHandleTopLeft || handle == MRKOPillHandleLeftMiddle || handle == MRKOPillHandleBottomLeft) {
        const double right = x + w;
        if (px >= right - m) {
            x = right - m;
            w = m;
            leftClamped = true;
        } else {
            x = px;
            w = right - px;
        }
    } else if (handle == MRKOPillHandleTopRight || handle == MRKOPillHandleRightMiddle ||
               handle == MRKOPillHandleBottomRight) {
        w = px - x;
    }
    if (!leftClamped)
        w = std::max(w, m);

    if (handle == MRKOPillHandleTopLeft || handle == MRKOPillHandleTopMiddle || handle == MRKOPillHandleTopRight) {
        h = py - y;
    } else if (handle == MRKOPillHandleBottomLeft || handle == MRKOPillHandleBottomMiddle ||
               handle == MRKOPillHandleBottomRight) {
        const double top = y + h;
        if (py >= top - m)
            return {x, top - m, w, m};
        y = py;
        h = top - py;
    }
    h = std::max(h, m);
    return {x, y, w, h};
}
