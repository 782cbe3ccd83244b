// The eraser, which flattens the drawings its stroke meets into one bitmap with the painted area cut out, its
// size by scroll and pinch, and the scissors, which remove whole drawings.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOFPSLimiter.h"
#include "canvas/StrokeCache.h"
#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSArray+VariFilters.h"
#include "foundation/NSCursor+Resize.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/BitmapContext.h"
#include "platform/CursorStack.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Keys.h"
#include "platform/NotificationCenter.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"
#include "tools/MRKOColorType.h"

#include <QLineF>
#include <QPainterPath>

#include <cmath>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kEraserLoopMask =
    platform::eventMask(EventType::LeftMouseUp) | platform::eventMask(EventType::RightMouseDown) |
    platform::eventMask(EventType::MouseMoved) | platform::eventMask(EventType::LeftMouseDragged) |
    platform::eventMask(EventType::KeyDown);
static_assert(kEraserLoopMask == 1132);

constexpr quint64 kScissorsLoopMask =
    platform::eventMask(EventType::LeftMouseUp) | platform::eventMask(EventType::LeftMouseDragged);

constexpr double kScissorsDragDistance = 4.0;  // points before a scissors press becomes a rubber band
constexpr double kMagnificationFactor = 150.0; // eraser points per unit of pinch
constexpr qint64 kMinEraserSize = 2;
constexpr qint64 kMaxEraserSize = 400;

const QString kEmptyCompositeName = QStringLiteral("Empty");

constexpr inkora::SrgbColor kEraserColor(1.0, 0.0, 0.3, 1.0);

} // namespace

void MRKODraw::eraserWithEvent(const platform::Event &event)
{
    inkora::LiveSettings &live = inkora::liveSettings();
    m_isEraser = true;
    resetSelectionLayer();
    // The stroke shows in a plain colour at the drawing opacity.
    const qint64 savedColorType = m_colorType;
    const bool savedSemitransparent = live.needSemitransparent;
    m_colorType = MRKOColorTypeCustom;
    live.needSemitransparent = true;
    auto cleanUp = [&] {
        m_colorType = savedColorType;
        live.needSemitransparent = savedSemitransparent;
        clearContextWithCurrentRectShouldDisplay(true);
        cleanUpAfterMouseDown();
        updateColorBall();
    };

    const QPointF start = convertPointFromWindow(event.locationInWindow);
    resetPointsAndRectsWithCurrentLocation(start);
    const double diameter = brushSizeUsingPressure();
    m_hueColor = kEraserColor;
    m_hueFirstColor = m_hueColor;
    const QRectF dot(start - QPointF(diameter / 2, diameter / 2), QSizeF(diameter, diameter));
    if (m_cache) {
        platform::BitmapContext &context = m_cache->context();
        context.saveGState();
        context.setFillColor(m_hueColor.toQColor());
        QPainterPath ellipse;
        ellipse.addEllipse(dot);
        context.fillPath(ellipse);
        context.restoreGState();
    }
    const QRectF dirty = platform::alignedRect(dot, platform::EdgeAlignment::Outward);
    setNeedsDisplayInRect(dirty);
    m_currentRect = dirty;
    const std::unique_ptr<MRKOFPSLimiter> limiter =
        live.limitMouseFPS ? MRKOFPSLimiter::limiterWithFPS(live.mouseFPSRate) : nullptr;

    platform::EventQueue &queue = platform::EventQueue::shared();
    platform::Event last = event;
    {
        platform::EventQueue::TrackingScope tracking;
        bool running = true;
        while (running) {
            const std::optional<platform::Event> next = queue.nextEventMatchingMask(kEraserLoopMask);
            if (!next)
                break;
            last = *next;
            switch (next->type) {
            case EventType::LeftMouseDragged: {
                AppDelegate *delegate = AppDelegate::shared();
                if ((next->modifierFlags & platform::kShiftFlag) && !flashlightShown() && delegate)
                    delegate->setShiftWasPressdDuringDraw(true);
                m_point0 = m_point1;
                m_point1 = m_point2;
                m_point2 = m_point3;
                m_point3 = convertPointFromWindow(next->locationInWindow);
                updateColorBall();
                const bool tooFast =
                    limiter && limiter->shouldStopWithBlock([this] { collectPointAccordingFPSAction(); });
                if (!tooFast) {
                    drawBrushV2ToCache();
                    updateFlashlightIfNeeded();
                    m_discardedPoints.clear();
                }
                break;
            }
            case EventType::RightMouseDown:
                qCInfo(lcCanvas) << "Right Mouse Down in MouseDown cycle. Ignore it";
                break;
            case EventType::MouseMoved:
                qCInfo(lcCanvas)
                    << "Incorrect Behavior: Mouse was Moved instead of Dragged in MouseDown cycle. Force End Draw";
                running = false;
                break;
            case EventType::KeyDown:
                if (next->keyCode == platform::kKeyEscape) {
                    // Abandoned: nothing is erased.
                    updateCursorRectsAndTracking();
                    AppDelegate::postUpdateUndoRedo();
                    cleanUp();
                    return;
                }
                break;
            default:
                running = false; // the button went up
                break;
            }
        }
    }
    queue.discardEventsMatchingMask(kEraserLoopMask);
    if (MRKOUtils::cachedLogToDocuments())
        qCInfo(lcCanvas).noquote() << "Eraser End RAW coordinates:"
                                   << platform::pointToString(convertPointFromWindow(last.locationInWindow));

    // Every drawing whose frame the stroke's rectangle meets is flattened, painted over or not.
    std::vector<LayerPtr> touched;
    if (m_dissolveMode != MRKODissolveModeFade)
        touched = selectedLayersWithRect(m_currentRect);
    if (!touched.empty() && shouldFilterLayersForEraser())
        touched = VariFilters::filteredLayersWithExcludedToolGroups(touched);
    if (touched.empty()) {
        updateCursorRectsAndTracking();
        AppDelegate::postUpdateUndoRedo();
        cleanUp();
        return;
    }
    deselectLayersAnimated(touched, false);
    const std::vector<LayerPtr> sorted = sortedLayersArrayAscending(touched);
    const size_t insertionIndex = indexOfLayer(sorted.front().get());
    const QRectF integral = platform::integralRect(m_currentRect);
    const QRectF maskRect =
        integral.intersects(m_contextRect) ? integral.intersected(m_contextRect) : QRectF(integral.topLeft(), QSizeF());
    if (maskRect.width() == 0 && maskRect.height() == 0) {
        cleanUp();
        return;
    }
    const LayerPtr mask = platform::Layer::create();
    {
        platform::TransactionScope transaction(true);
        mask->setFrame(maskRect);
        mask->setContentsScale(m_displayScale);
        if (m_cache)
            mask->setContents(std::make_shared<const QImage>(m_cache->copyOfRect(maskRect, m_displayScale)));
    }
    // The composite first: when it cannot be made, every drawing stays as it was and nothing is registered.
    const LayerPtr result = inkora::compositeOfLayers(sorted, mask);
    if (result) {
        platform::UndoManager &manager = AppDelegate::undoManager();
        manager.setGroupsByEvent(false);
        manager.beginUndoGrouping();
        undoRemoveLayers(sorted);
        if (result->name() != kEmptyCompositeName)
            undoAddLayerToIndex(result, insertionIndex);
        manager.endUndoGrouping();
        manager.setGroupsByEvent(true);
    }
    updateCursorRectsAndTracking();
    AppDelegate::postUpdateUndoRedo();
    cleanUp();
}

bool MRKODraw::shouldFilterLayersForEraser()
{
    const inkora::LiveSettings &live = inkora::liveSettings();
    return live.eraserPreserveText || live.eraserPreserveArrowLine || live.eraserPreserveRectEllipse;
}

void MRKODraw::performEraserSizeChangeWithEvent(const platform::Event &event)
{
    double delta = 0;
    if (event.type == EventType::ScrollWheel)
        delta = MouseEvent::scrollingDeltaForEraserSize(event);
    else if (event.type == EventType::Magnify)
        delta = event.magnification * kMagnificationFactor;
    const double size = std::trunc(double(inkora::liveSettings().eraserSize) + delta);
    if (!std::isfinite(size)) {
        qCWarning(lcCanvas) << "performEraserSizeChangeWithEvent: the gesture's delta is not a finite number; eraser "
                               "size kept";
        return;
    }
    // Clamped as a double, so that no size out of an integer's range is ever converted.
    inkora::liveSettings().eraserSize = size < kMinEraserSize + 1 ? kMinEraserSize
                                        : size > kMaxEraserSize   ? kMaxEraserSize
                                                                  : qint64(size);
    updateColorBall();
    saveEraserSize();
}

void MRKODraw::saveEraserSize()
{
    MRKOUtils::userDefaults().setInteger(inkora::liveSettings().eraserSize, QStringLiteral("EraserSize"));
    platform::NotificationCenter::defaultCenter().post(QStringLiteral("MRKOUpdateEraserSizeSliderNotification"));
}

void MRKODraw::handleDeleteLayerWithEvent(const LayerPtr &layer, const platform::Event &event)
{
    if (!layer)
        return;
    platform::CursorStack &cursors = *platform::services().cursorStack;
    cursors.push(Resize::scissorsCut());
    const QPointF start = convertPointFromWindow(event.locationInWindow);
    platform::EventQueue &queue = platform::EventQueue::shared();
    std::optional<QPointF> bandPoint;
    {
        platform::EventQueue::TrackingScope tracking;
        for (;;) {
            const std::optional<platform::Event> next = queue.nextEventMatchingMask(kScissorsLoopMask);
            if (!next)
                break;
            if (next->type == EventType::LeftMouseDragged) {
                const QPointF point = convertPointFromWindow(next->locationInWindow);
                if (QLineF(start, point).length() > kScissorsDragDistance) {
                    resetSelectionLayer();
                    bandPoint = point;
                    break;
                }
                updateFlashlightIfNeeded();
                continue;
            }
            queue.discardEventsMatchingMask(kScissorsLoopMask);
            cursors.pop();
            resetSelectionLayer();
            undoRemoveLayer(layer);
            updateCursorRectsAndTracking();
            selectWithEvent(*next);
            AppDelegate::postUpdateUndoRedo();
            return;
        }
    }
    if (bandPoint)
        selectingWithEvent(event, *bandPoint, MRKOAuxActionScissors);
    else
        cursors.pop(); // no button-up can come any more
}

void MRKODraw::removeSelectedLayerWithEvent(const platform::Event &event)
{
    if (m_selectedLayer)
        handleDeleteLayerWithEvent(m_selectedLayer, event);
}
