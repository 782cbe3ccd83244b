// Shape tools and the animated sample shapes: members of MRKODraw kept apart from the brush and the pointer loop.

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/StrokeCache.h"
#include "foundation/NSColor+OnOffColor.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "objects/MRKORectanglePill.h"
#include "objects/MRKOTextPill.h"
#include "platform/Animation.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "tools/MRKOToolType.h"
#include "tools/MRKOTools.h"

#include <QLineF>
#include <QMatrix4x4>
#include <QPointer>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The arc arrow bends towards the side the pointer turned to; one memory for every canvas, since only one
// drag runs at a time.
struct ArcArrowMemory
{
    QPointF previousEnd;
    QPointF lastEnd;
    bool clockwise = false;
};
ArcArrowMemory s_arc;

constexpr float kArcTurnThreshold = 0.025f;  // radians; smaller turns keep the bending side
constexpr double kPreviewFadeDuration = 1.5; // seconds
constexpr double kScaleSpringDuration = 0.8; // seconds
constexpr int kScaleSpringSteps = 100;

QPointF single(QPointF p)
{
    return {double(float(p.x())), double(float(p.y()))};
}

// Origin rounded down and far edges up; unlike integralRect() a rectangle without height keeps its place.
QRectF integralKeepingEmpty(const QRectF &r)
{
    const double x = std::floor(r.x()), y = std::floor(r.y());
    return {x, y, std::ceil(platform::maxX(r)) - x, std::ceil(platform::maxY(r)) - y};
}

double randomUnit()
{
    return QRandomGenerator::global()->generateDouble();
}

double mediaTime()
{
    return platform::services().clock->now();
}

// The gradient of a shape starts at the corner where the drag began (an MRKOStartDirection).
quint64 startDirection(QPointF start, QPointF end)
{
    return (start.x() > end.x() ? 16u : 8u) + (start.y() > end.y() ? 2u : 4u);
}

} // namespace

void MRKODraw::drawArrowToCache()
{
    const qint64 style = inkora::liveSettings().arrowStyle;
    switch (style) {
    case MRKOArrowStyleWedge:
    case MRKOArrowStyleTaperedBar:
    case MRKOArrowStyleStraightBar:
        drawArrowToCacheWithStyle(quint64(style), MRKOToolTypeArrow);
        break;
    case MRKOArrowStyleCurved: {
        s_arc.previousEnd = s_arc.lastEnd;
        s_arc.lastEnd = m_point3;
        if (s_arc.previousEnd.x() != 0 && s_arc.lastEnd.x() != 0) {
            const float dx = float(m_mouseDownPoint.x()), dy = float(m_mouseDownPoint.y());
            const float px = float(s_arc.previousEnd.x()) - dx, py = float(s_arc.previousEnd.y()) - dy;
            const float ex = float(s_arc.lastEnd.x()) - dx, ey = float(s_arc.lastEnd.y()) - dy;
            float turn = std::atan2(ey, ex) - std::atan2(py, px);
            constexpr float pi = std::numbers::pi_v<float>;
            while (turn <= -pi)
                turn += 2 * pi;
            while (turn > pi)
                turn -= 2 * pi;
            if (std::abs(turn) > kArcTurnThreshold)
                s_arc.clockwise = ey * px - ex * py > 0;
        }
        drawArrowToCacheWithStyle(MRKOArrowStyleCurved, MRKOToolTypeArrow);
        break;
    }
    default:
        drawArrowToCacheWithStyle(MRKOArrowStyleOpenHead, MRKOToolTypeArrow);
        break;
    }
}

void MRKODraw::drawLineToCache()
{
    drawArrowToCacheWithStyle(MRKOArrowStyleOpenHead, MRKOToolTypeLine);
}

void MRKODraw::drawRoundedRectangleToCache()
{
    drawRectangleToCacheWithType(MRKOToolTypeRectangle);
}

void MRKODraw::drawCircleToChache()
{
    drawRectangleToCacheWithType(MRKOToolTypeEllipse);
}

void MRKODraw::drawArrowToCacheWithStyle(quint64 style, quint64 type)
{
    if (m_cache)
        m_cache->clearRect(m_prevRendRect);
    const QPointF start = single(m_mouseDownPoint);
    QPointF end = single(m_point3);
    if (m_straighten) {
        const double dx = end.x() - start.x(), dy = end.y() - start.y();
        if (end.y() == start.y() || std::abs(dy / dx) <= 1)
            end.setY(start.y());
        else
            end.setX(start.x());
    }
    auto pill = std::make_shared<MRKOArrowPill>(type, start, end, m_hueFirstColor, m_hueColor, quint64(m_colorType),
                                                m_brushSize, qint64(style));
    populateArrowPillExtras(*pill);
    drawWorkingPillToCache(pill);
}

void MRKODraw::drawWorkingPillToCache(const std::shared_ptr<MRKOPill> &pill)
{
    // The new picture replaces the previous one: both areas go to the screen.
    m_workingPill = pill;
    const QRectF drawn = pill->createPaths();
    if (m_cache)
        m_cache->context().draw([&](QPainter &painter) { pill->drawInContext(painter); });
    setNeedsDisplayInRect(platform::unionRectKeepingPoints(drawn, m_prevRendRect));
    m_prevRendRect = drawn;
    m_currentRect = drawn;
}

void MRKODraw::populateArrowPillExtras(MRKOArrowPill &pill) const
{
    const inkora::LiveSettings &live = inkora::liveSettings();
    pill.setToolThickness(m_thickness);
    pill.setInvert(live.invertArrowDrawing);
    pill.setRoundedTip(live.arrowRoundedTip);
    pill.setRoundedEnds(live.arrowRoundedEnds);
    pill.setHeadRatio(live.arrowHeadRatio);
    pill.setUseConstantWidth(live.constantArrowWidth);
    pill.setUseConstantHeadSize(live.useConstantArrowHeadSize);
    pill.setConstantHeadSize(live.constantArrowHeadSize);
    pill.setArcArrowClockwise(s_arc.clockwise);
}

void MRKODraw::drawRectangleToCacheWithType(quint64 type)
{
    const QPointF start = single(m_mouseDownPoint);
    const QPointF end = single(m_point3);
    QRectF rect = integralKeepingEmpty(QRectF(std::min(start.x(), end.x()), std::min(start.y(), end.y()),
                                              std::abs(end.x() - start.x()), std::abs(end.y() - start.y())));
    if (m_straighten) {
        const double side = std::max(rect.width(), rect.height());
        rect = QRectF(end.x() < start.x() ? start.x() - side : start.x(),
                      end.y() < start.y() ? start.y() - side : start.y(), side, side);
    }
    if (type == MRKOToolTypeEllipse) {
        rect.setWidth(std::max(rect.width(), 2.0));
        rect.setHeight(std::max(rect.height(), 2.0));
    }
    if (m_cache)
        m_cache->clearRect(m_prevRendRect);
    auto pill = std::make_shared<MRKORectanglePill>(type, rect, m_hueFirstColor, m_hueColor, quint64(m_colorType),
                                                    startDirection(start, end), m_brushSize,
                                                    inkora::liveSettings().sharpRectangle, m_filled);
    drawWorkingPillToCache(pill);
}

// ---------------------------------------------------------------------------------------------------------------
// Animated sample shapes

void MRKODraw::showArrowFromPoint(QPointF a, QPointF b)
{
    m_mouseDownPoint = a;
    const QPointF previous = m_point3;
    const double before = mediaTime();
    m_point0 = m_point1;
    m_point1 = m_point2;
    m_point2 = m_point3;
    m_point3 = b;
    const double elapsed = mediaTime() - before;
    double speed = QLineF(previous, b).length() / elapsed / 2000.0;
    if (std::isnan(speed))
        speed = 0; // no distance in no time
    speed = std::min(speed, 1.0);
    setHue(inkora::wrapHue(hue() + hueFactor() * speed));
    if (std::abs(hue() - m_mouseDownHue) > 0.1)
        m_mouseDownHue = inkora::wrapHue(hue() - 0.1);
    makeColorsAccordingType();
    switch (m_toolType) {
    case MRKOToolTypeBrush:
        drawBrushToCache();
        break;
    case MRKOToolTypeArrow:
        drawArrowToCache();
        break;
    case MRKOToolTypeRectangle:
        m_showEllipse ? drawCircleToChache() : drawRoundedRectangleToCache();
        break;
    case MRKOToolTypeText:
        drawTextToCache();
        break;
    case MRKOToolTypeLine:
        drawLineToCache();
        break;
    case MRKOToolTypeEllipse:
        drawCircleToChache();
        break;
    default:
        break;
    }
    updateColorBall();
}

void MRKODraw::showFromPoint(QPointF a, QPointF b, bool wantToClear)
{
    showArrowFromPoint(a, b);
    const QRectF up(std::ceil(m_currentRect.x()), std::ceil(m_currentRect.y()), std::ceil(m_currentRect.width()),
                    std::ceil(m_currentRect.height()));
    m_currentRect = up.intersects(bounds()) ? up.intersected(bounds()) : QRectF();
    if (m_currentRect.width() == 0 && m_currentRect.height() == 0)
        return;
    const platform::LayerPtr layer = layerCutFromCache();
    if (!layer)
        return;
    {
        platform::TransactionScope transaction(true);
        layer->setZPosition(-1.0);
        // The shape grows out of its start point.
        layer->setAnchorPoint(QPointF((a.x() - m_currentRect.x()) / m_currentRect.width(),
                                      (a.y() - m_currentRect.y()) / m_currentRect.height()));
        layer->setFrame(m_currentRect);
        if (m_workingTextPill) {
            OpaqueContent::setTextPill(*layer, m_workingTextPill);
            layer->setName(QStringLiteral("MRKOTypeText"));
            m_workingTextPill.reset();
        } else {
            OpaqueContent::setPill(*layer, m_workingPill);
            m_workingPill.reset();
        }
        layer->setBorderColor(m_hueFirstColor.toQColor());
        if (m_layersContainer)
            m_layersContainer->addSublayer(layer);
    }

    platform::Transaction::begin();
    if (wantToClear) {
        QPointer<MRKODraw> self(this);
        platform::Transaction::setCompletionBlock([self, layer] {
            if (!self)
                return;
            platform::Transaction::begin();
            platform::Transaction::setCompletionBlock([self, layer] {
                if (!self)
                    return;
                if (layer->presentationOpacity() < 0.001) {
                    platform::TransactionScope transaction(true);
                    layer->removeFromSuperlayer();
                }
                if (!self->m_layersContainer || self->m_layersContainer->sublayers().empty())
                    self->allAnimationsDidEnd();
            });
            platform::BasicAnimation fade(QStringLiteral("opacity"));
            fade.setToValue(0.0);
            fade.setDuration(kPreviewFadeDuration);
            fade.setFillMode(platform::Animation::FillMode::Forwards);
            fade.setRemovedOnCompletion(false);
            layer->addAnimation(fade);
            platform::Transaction::commit();
        });
        afterShow();
    } else {
        if (m_layerOrder)
            m_layerOrder->appendLayer(layer);
    }
    applyScaleAnimationToLayer(*layer);
    platform::Transaction::commit();

    clearContextWithCurrentRectShouldDisplay(false);
    setHue(inkora::wrapHue(hue() + 0.15));
}

void MRKODraw::applyScaleAnimationToLayer(platform::Layer &layer)
{
    QVariantList values;
    values.reserve(kScaleSpringSteps);
    for (int t = 0; t < kScaleSpringSteps; ++t) {
        const double s = 1.0 - std::cos(0.05 * t) * std::exp(-0.055 * t);
        QMatrix4x4 scale;
        scale.scale(float(s), float(s), float(s));
        values.append(QVariant::fromValue(scale));
    }
    platform::KeyframeAnimation spring(QStringLiteral("transform"));
    spring.setValues(values);
    spring.setDuration(kScaleSpringDuration);
    spring.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::Linear));
    spring.setFillMode(platform::Animation::FillMode::Forwards);
    spring.setRemovedOnCompletion(false);
    platform::Transaction::begin();
    layer.addAnimation(spring);
    platform::Transaction::commit();
}

QPointF MRKODraw::ellipticPointForItemAtIndex(int index) const
{
    const double a = index * std::numbers::pi / 4 + std::numbers::pi;
    const QPointF c = platform::centre(bounds());
    const double h = bounds().height();
    return {c.x() + 0.375 * h * std::cos(a), c.y() - 0.25 * h * std::sin(a)};
}

QPointF MRKODraw::ellipticSecPointForItemAtIndex(int index) const
{
    const double a = index * std::numbers::pi / 4 + std::numbers::pi + (randomUnit() - 0.5) * std::numbers::pi / 8;
    const QPointF c = platform::centre(bounds());
    const double h = bounds().height();
    return {c.x() + 0.675 * h * std::cos(a), c.y() - 0.45 * h * std::sin(a)};
}

void MRKODraw::showArrow()
{
    m_hueFirstColor = OnOffColor::rainbowColorWithHue(m_mouseDownHue);
    m_showEllipse = platform::EventQueue::shared().currentModifierFlags() & platform::kOptionFlag;
    const MRKOTools *toolBar = AppDelegate::shared() ? AppDelegate::shared()->activeToolBar() : nullptr;
    const QRectF rb = toolBar ? toolBar->buttonRectForToolType(m_toolType) : QRectF();
    const double dy = (60.0 + 70.0 * randomUnit()) * (randomUnit() < 0.5 ? -1 : 1);
    const double dx = 100.0 * randomUnit();
    const QPointF a(rb.x() + (toolBar ? toolBar->width() : 0), rb.y() + 18.0);
    const QPointF b(a.x() + 190.0 + dx, rb.y() + dy);
    showFromPoint(a, b, true);
    m_workingTextPill.reset();
    m_sharedPath = platform::Path();
    m_workingPill.reset();
}

void MRKODraw::showRectangle()
{
    m_hueFirstColor = OnOffColor::rainbowColorWithHue(m_mouseDownHue);
    const MRKOTools *toolBar = AppDelegate::shared() ? AppDelegate::shared()->activeToolBar() : nullptr;
    const QRectF rb = toolBar ? toolBar->buttonRectForToolType(m_toolType) : QRectF();
    const double dy = (60.0 + 70.0 * randomUnit()) * (randomUnit() < 0.5 ? -1 : 1);
    const double dx = 100.0 * randomUnit();
    const QPointF a(rb.x() + 60.0, rb.y() + 18.0);
    const QPointF b(rb.x() + 250.0 + dx, rb.y() + dy);
    showFromPoint(a, b, false);
    m_workingTextPill.reset();
    m_workingPill.reset();
}

void MRKODraw::showArrowStyles()
{
    m_hueFirstColor = OnOffColor::rainbowColorWithHue(m_mouseDownHue);
    inkora::LiveSettings &live = inkora::liveSettings();
    const qint64 saved = live.arrowStyle;
    for (int i = 0; i <= 4; ++i) {
        live.arrowStyle = i;
        showFromPoint(ellipticPointForItemAtIndex(i), ellipticSecPointForItemAtIndex(i), false);
    }
    live.arrowStyle = saved;
    m_workingTextPill.reset();
    m_workingPill.reset();
}

void MRKODraw::afterShow()
{
    m_isArrowShowing = false;
    m_showEllipse = false;
    m_toolType = MRKOToolTypeBrush;
}
