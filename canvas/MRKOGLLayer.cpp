#include "canvas/MRKOGLLayer.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace {

const QColor kRingColor = QColor::fromRgbF(1.0f, 0.0f, 0.3f, 1.0f);

void fillTriangleFan(QPainter &painter, const std::vector<QPointF> &fan)
{
    for (size_t i = 2; i < fan.size(); ++i) {
        const QPointF triangle[3] = {fan[0], fan[i - 1], fan[i]};
        painter.drawPolygon(triangle, 3);
    }
}

// A fan whose every triangle turns the same way around its centre covers exactly its outline polygon.
bool fanIsPolygon(const QRectF &rect, double radius)
{
    return rect.width() >= 0 && rect.height() >= 0 && radius >= 0 && 2 * radius <= rect.width() &&
           2 * radius <= rect.height();
}

QPolygonF outline(const std::vector<QPointF> &fan)
{
    return QPolygonF(QList<QPointF>(fan.begin() + 1, fan.end()));
}

} // namespace

MRKOGLLayer::MRKOGLLayer() = default;

MRKOGLLayer::~MRKOGLLayer()
{
    if (m_timer)
        platform::RunLoop::main().cancel(m_timer);
}

std::shared_ptr<MRKOGLLayer> MRKOGLLayer::create()
{
    auto layer = std::make_shared<MRKOGLLayer>();
    const std::weak_ptr<MRKOGLLayer> weak = layer;
    constexpr double kInterval = 1.0 / kFramesPerSecond;
    layer->m_timer = platform::RunLoop::main().schedule(
        kInterval,
        [weak] {
            if (const auto self = weak.lock(); self && self->superlayer())
                self->setNeedsDisplay();
        },
        platform::RunLoop::CommonModes, kInterval);
    return layer;
}

void MRKOGLLayer::setCiImage(platform::ImagePtr image)
{
    m_ciImage = std::move(image);
    setNeedsDisplay();
}

QRectF MRKOGLLayer::scaledBounds() const
{
    const QRectF b = bounds();
    return QRectF(b.topLeft(), b.size() * contentsScale());
}

QPointF MRKOGLLayer::startPoint() const
{
    const std::lock_guard lock(m_pointsMutex);
    return m_startPoint;
}

void MRKOGLLayer::setStartPoint(QPointF point)
{
    const std::lock_guard lock(m_pointsMutex);
    m_startPoint = point;
}

QPointF MRKOGLLayer::endPoint() const
{
    const std::lock_guard lock(m_pointsMutex);
    return m_endPoint;
}

void MRKOGLLayer::setEndPoint(QPointF point)
{
    const std::lock_guard lock(m_pointsMutex);
    m_endPoint = point;
}

double MRKOGLLayer::thickness() const
{
    const MRKODraw *canvas = nullptr;
    if (m_activeCanvas)
        canvas = m_activeCanvas();
    else if (const AppDelegate *app = AppDelegate::shared())
        canvas = app->activeDrawView();
    return MRKODraw::valueWithThinckness(canvas ? canvas->thickness() : 0);
}

QRectF MRKOGLLayer::frameRect() const
{
    const double s = contentsScale();
    const QPointF pointer = m_mouseLocation ? m_mouseLocation() : AppDelegate::mouseLocation();
    const QPointF end = pointer * s;
    const QPointF start = startPoint() * s;
    {
        const std::lock_guard lock(m_pointsMutex);
        m_endPoint = end;
    }
    return QRectF(QPointF(std::min(start.x(), end.x()), std::min(start.y(), end.y())),
                  QSizeF(std::abs(end.x() - start.x()), std::abs(end.y() - start.y())));
}

void MRKOGLLayer::drawFrame(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRingColor);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    drawRoundedRectWithFrameThickness(painter, frameRect(), thickness());
    painter.restore();
}

void MRKOGLLayer::drawInContext(QPainter &painter, bool presentation) const
{
    Layer::drawInContext(painter, presentation);
    const double s = contentsScale();
    if (s <= 0)
        return;
    painter.save();
    painter.translate(bounds().topLeft());
    painter.scale(1 / s, 1 / s);
    drawFrame(painter);
    painter.restore();
}

void MRKOGLLayer::drawCircleWithFrameThickness(QPainter &painter, const QRectF &frame, double t)
{
    const std::vector<QPointF> strip = ellipseStrip(frame, t);
    painter.save();
    painter.translate(QPointF(float(frame.center().x()), float(frame.center().y())));
    for (size_t k = 2; k + 1 < strip.size(); k += 2) {
        const QPointF quad[4] = {strip[k - 2], strip[k - 1], strip[k + 1], strip[k]};
        painter.drawPolygon(quad, 4);
    }
    painter.restore();
}

void MRKOGLLayer::drawRoundedRectWithFrameThickness(QPainter &painter, const QRectF &frame, double t)
{
    const QRectF outer = frame.adjusted(-t, -t, t, t);
    const QRectF inner(frame.x() + t, frame.y() + t, frame.width() - 2 * t, frame.height() - 2 * t);
    const std::vector<QPointF> outerFan = roundedRectFan(outer, 30, 8);
    const std::vector<QPointF> innerFan = roundedRectFan(inner, 10, 8);
    if (fanIsPolygon(outer, 30) && fanIsPolygon(inner, 10)) {
        // The common case: outline polygons, the inner one cut out of the outer.
        QPainterPath band;
        band.addPolygon(outline(outerFan));
        QPainterPath hole;
        hole.addPolygon(outline(innerFan));
        painter.drawPath(band.subtracted(hole));
        return;
    }
    // Folded fans: draw the triangles themselves and erase the inner ones, as a blending rasteriser does.
    // A folded fan reaches beyond its rectangle: the scratch covers every vertex.
    const QRect device(0, 0, painter.device()->width(), painter.device()->height());
    const QRect area = painter.transform().mapRect(outline(outerFan).boundingRect()).toAlignedRect() & device;
    if (area.isEmpty())
        return;
    QImage scratch(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (scratch.isNull())
        return;
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(painter.brush());
        p.translate(-area.topLeft());
        p.setTransform(painter.transform(), true);
        fillTriangleFan(p, outerFan);
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.setBrush(Qt::black);
        fillTriangleFan(p, innerFan);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(area.topLeft(), scratch);
    painter.restore();
}

std::vector<QPointF> MRKOGLLayer::roundedRectFan(const QRectF &rect, double radius, int segments)
{
    int n = segments;
    if (n <= 0)
        n = int(std::floor(2 * std::numbers::pi * radius * 0.25));
    if (n < 3)
        n = 2;
    const float x0 = float(rect.left()), y0 = float(rect.top());
    const float x1 = float(rect.left() + rect.width()), y1 = float(rect.top() + rect.height());
    const float r = float(radius);
    std::vector<QPointF> fan;
    fan.reserve(size_t(4 * n + 6));
    fan.emplace_back((x0 + x1) / 2, (y0 + y1) / 2);
    const QPointF centres[4] = {{x1 - r, y1 - r}, {x0 + r, y1 - r}, {x0 + r, y0 + r}, {x1 - r, y0 + r}};
    const float step = 90.0f / float(n);
    constexpr float kRadiansPerDegree = float(std::numbers::pi / 180);
    for (int q = 0; q < 4; ++q) {
        for (int k = 0; k <= n; ++k) {
            const float a = (float(q) * 90.0f + float(k) * step) * kRadiansPerDegree;
            fan.emplace_back(float(centres[q].x()) + r * std::cos(a), float(centres[q].y()) + r * std::sin(a));
        }
    }
    fan.emplace_back(x1, y1 - r);
    return fan;
}

std::vector<QPointF> MRKOGLLayer::ellipseStrip(const QRectF &frame, double t)
{
    const float iw = float(frame.width() - 2 * t), ih = float(frame.height() - 2 * t);
    const float ow = float(frame.width() + 2 * t), oh = float(frame.height() + 2 * t);
    std::vector<QPointF> strip;
    strip.reserve(242);
    for (int k = 0; k <= 120; ++k) {
        const float a = 2.0f * (float(k) / 120.0f) * 3.14159f;
        strip.emplace_back(std::cos(a) * iw / 2, std::sin(a) * ih / 2);
        strip.emplace_back(std::cos(a) * ow / 2, std::sin(a) * oh / 2);
    }
    return strip;
}
