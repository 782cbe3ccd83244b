// Which drawing lies under the pointer, the hover highlight that marks it for the next click, the action the
// modifier keys choose, and the rubber band and select all that gather drawings into a multiple move.
#include "app/AppDelegate.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/MultipleMove.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSCursor+Resize.h"
#include "objects/CALayer+OpaqueContent.h"
#include "platform/Animation.h"
#include "platform/CursorStack.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"

#include <algorithm>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kRubberBandMask = platform::eventMask(EventType::LeftMouseUp) |
                                    platform::eventMask(EventType::LeftMouseDragged) |
                                    platform::eventMask(EventType::KeyDown);
static_assert(kRubberBandMask == 1092);

constexpr double kHighlightFadeIn = 0.15; // seconds
constexpr double kOverlayFadeOut = 0.3;   // seconds

/// The first rule that matches wins: the pen's eraser end and Super+Alt erase, Super cuts, Ctrl+Alt copies, Ctrl
/// moves, Shift leaves the pointer to drawing; without those the tool bar's action, which Alt turns from moving
/// into copying and from cutting into erasing.
quint64 actionForModifierFlags(quint64 flags, quint64 auxAction, bool penEraser)
{
    const bool shift = flags & platform::kShiftFlag;
    const bool control = flags & platform::kControlFlag;
    const bool option = flags & platform::kOptionFlag;
    const bool command = flags & platform::kCommandFlag;
    if (penEraser || (control && option && !command))
        return MRKOAuxActionEraser;
    if (control && !command)
        return MRKOAuxActionScissors;
    if (option && command && !shift)
        return MRKOAuxActionCopy;
    if (command && !shift)
        return MRKOAuxActionMove;
    if (shift)
        return MRKOAuxActionNone;
    if (option && auxAction == MRKOAuxActionMove)
        return MRKOAuxActionCopy;
    if (option && auxAction == MRKOAuxActionScissors)
        return MRKOAuxActionEraser;
    return auxAction;
}

QCursor cursorForBandAction(quint64 action)
{
    switch (action) {
    case MRKOAuxActionScissors:
        return Resize::scissorsCut();
    case MRKOAuxActionCopy:
        return QCursor(Qt::DragCopyCursor);
    default:
        return QCursor(Qt::OpenHandCursor);
    }
}

/// Whether two rectangles share a point; edges that touch count.
bool meets(const QRectF &a, const QRectF &b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

bool contains(const std::vector<LayerPtr> &layers, const LayerPtr &layer)
{
    return std::find(layers.begin(), layers.end(), layer) != layers.end();
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Hit testing

const LayerPtr &MRKODraw::timersContainer()
{
    if (!m_timersContainer) {
        m_timersContainer = platform::Layer::create();
        platform::TransactionScope transaction(true);
        m_timersContainer->setFrame(bounds());
        m_viewLayer->insertSublayer(m_timersContainer, 0);
    }
    return m_timersContainer;
}

LayerPtr MRKODraw::selectedLayerWithPoint(QPointF point)
{
    if (m_timersContainer)
        if (LayerPtr timer = selectedLayerWithPointInLayer(point, m_timersContainer))
            return timer;
    return selectedLayerWithPointInLayer(point, m_layersContainer);
}

LayerPtr MRKODraw::selectedLayerWithPointInLayer(QPointF point, const LayerPtr &container)
{
    if (!container)
        return nullptr;
    const std::vector<LayerPtr> &drawings = container->sublayers();
    for (auto it = drawings.rbegin(); it != drawings.rend(); ++it) {
        const QPointF local = (*it)->convertPointFromLayer(point, nullptr);
        if (OpaqueContent::isContentHasOpaquePixelAtPoint(**it, local))
            return *it;
    }
    // A selected drawing stays selected anywhere inside its frame; only when nothing is selected does a frame
    // alone select.
    if (m_selectedLayer) {
        if (m_selectedLayer->superlayer() && m_selectedLayer->frame().contains(point))
            return m_selectedLayer;
        return nullptr;
    }
    platform::Layer *hit = container->hitTest(point);
    while (hit && hit->superlayer() && hit->superlayer() != container.get())
        hit = hit->superlayer();
    if (!hit || hit == container.get())
        return nullptr;
    const auto found =
        std::find_if(drawings.begin(), drawings.end(), [hit](const LayerPtr &layer) { return layer.get() == hit; });
    return found == drawings.end() ? nullptr : *found;
}

// ---------------------------------------------------------------------------------------------------------------
// Hover

void MRKODraw::selectWithEvent(const platform::Event &event)
{
    if (hasMultipleMove())
        return; // the gathered drawings follow the pointer; nothing else is selected meanwhile
    selectObjectForAction(actionForModifierFlags(event.modifierFlags, m_auxAction, penEraserFlag()));
}

void MRKODraw::selectObjectForAction(quint64 action)
{
    setQuickAuxAction(action);
    if (action == MRKOAuxActionEraser) {
        if (m_selectedLayer)
            resetSelectionLayer();
        updateCursorForAction(action);
        return;
    }
    if (action == MRKOAuxActionNone) {
        deselectObject();
        return;
    }
    const LayerPtr hit = selectedLayerWithPoint(mouseLocation());
    if (hit != m_selectedLayer) {
        if (m_selectedLayer)
            resetSelectionLayer();
        m_selectedLayer = hit;
        if (hit) {
            double opacity = 0;
            {
                platform::TransactionScope transaction(true);
                opacity = prepareLayerForSelection(*hit);
            }
            platform::Transaction::begin();
            platform::Transaction::setAnimationDuration(kHighlightFadeIn);
            hit->setShadowOpacity(opacity);
            platform::Transaction::commit();
        }
    }
    updateCursorForAction(action);
}

void MRKODraw::updateSelection()
{
    deselectObject();
    if (const platform::Event *current = platform::EventQueue::shared().currentEvent())
        selectWithEvent(*current);
}

void MRKODraw::deselectObject()
{
    if (m_selectedLayer) {
        platform::TransactionScope transaction(true);
        m_selectedLayer->setShadowOpacity(0);
    }
    m_selectedLayer.reset();
    supressOpenHandIfNeeded();
}

void MRKODraw::resetSelectionLayer()
{
    if (m_selectedLayer) {
        platform::TransactionScope transaction(true);
        m_selectedLayer->setShadowOpacity(0);
    }
    m_selectedLayer.reset();
}

double MRKODraw::prepareLayerForSelection(platform::Layer &layer)
{
    layer.setShadowColor(Qt::black);
    layer.setShadowOffset(QPointF(0, -1));
    layer.setShadowRadius(2.0);
    return layer.shadowPath() ? 0.5 : 1.0;
}

void MRKODraw::selectLayersAnimated(const std::vector<LayerPtr> &layers, bool animated)
{
    platform::TransactionScope transaction(!animated);
    for (const LayerPtr &layer : layers)
        layer->setShadowOpacity(prepareLayerForSelection(*layer));
}

void MRKODraw::deselectLayersAnimated(const std::vector<LayerPtr> &layers, bool animated)
{
    platform::TransactionScope transaction(!animated);
    for (const LayerPtr &layer : layers)
        layer->setShadowOpacity(0);
}

// ---------------------------------------------------------------------------------------------------------------
// Rubber band

QRectF MRKODraw::rectWithPoint1Point2(QPointF point1, QPointF point2)
{
    // Single precision, as the band's rectangle always was.
    const float x1 = float(point1.x()), y1 = float(point1.y());
    const float x2 = float(point2.x()), y2 = float(point2.y());
    const float width = std::abs(x2 - x1), height = std::abs(y2 - y1);
    if (!(platform::EventQueue::shared().currentModifierFlags() & platform::kShiftFlag))
        return QRectF(std::min(x1, x2), std::min(y1, y2), width, height);
    const float side = std::max(width, height);
    return QRectF(x2 < x1 ? x1 - side : x1, y2 < y1 ? y1 - side : y1, side, side);
}

std::vector<LayerPtr> MRKODraw::selectedLayersWithRect(const QRectF &rect) const
{
    std::vector<LayerPtr> hits;
    if (!m_layersContainer)
        return hits;
    const std::vector<LayerPtr> &drawings = m_layersContainer->sublayers();
    for (auto it = drawings.rbegin(); it != drawings.rend(); ++it)
        if (meets((*it)->frame(), rect))
            hits.push_back(*it);
    return hits;
}

std::vector<LayerPtr> MRKODraw::sortedLayersArrayAscending(const std::vector<LayerPtr> &layers) const
{
    std::vector<LayerPtr> sorted = layers;
    std::stable_sort(sorted.begin(), sorted.end(), [this](const LayerPtr &a, const LayerPtr &b) {
        return indexOfLayer(a.get()) < indexOfLayer(b.get()); // absent ones have the largest index
    });
    return sorted;
}

void MRKODraw::removeSelectionOverlayAnimated(const LayerPtr &overlay)
{
    if (!overlay)
        return;
    platform::Transaction::begin();
    // Weak: the overlay's own animation keeps this block, so a strong hold would keep both forever.
    platform::Transaction::setCompletionBlock([weak = std::weak_ptr<platform::Layer>(overlay)] {
        if (const LayerPtr faded = weak.lock()) {
            platform::TransactionScope transaction(true);
            faded->removeFromSuperlayer();
        }
    });
    platform::BasicAnimation fade(QStringLiteral("opacity"));
    fade.setFromValue(1.0);
    fade.setToValue(0.0);
    fade.setDuration(kOverlayFadeOut);
    fade.setFillMode(platform::Animation::FillMode::Forwards);
    fade.setRemovedOnCompletion(false);
    overlay->addAnimation(fade, QStringLiteral("fadeOut"));
    platform::Transaction::commit();
}

void MRKODraw::selectingWithEvent(const platform::Event &event, QPointF actualPoint, quint64 action)
{
    platform::CursorStack &cursors = *platform::services().cursorStack;
    removeStaticSelectionIfNeeded();
    cursors.pop(); // what the press pushed
    updateCursorRectsAndTracking();
    cursors.push(cursorForBandAction(action));

    const QPointF start = convertPointFromWindow(event.locationInWindow);
    const LayerPtr overlay = platform::Layer::create();
    {
        platform::TransactionScope transaction(true);
        overlay->setBackgroundColor(QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.15f));
        overlay->setBorderWidth(1.0);
        overlay->setBorderColor(QColor::fromRgbF(1, 1, 1, 0.5f));
        overlay->setFrame(platform::integralRect(rectWithPoint1Point2(start, actualPoint)));
        m_viewLayer->addSublayer(overlay);
    }

    std::vector<LayerPtr> selected;
    platform::Event last = event;
    platform::EventQueue &queue = platform::EventQueue::shared();
    {
        platform::EventQueue::TrackingScope tracking;
        for (;;) {
            const std::optional<platform::Event> next = queue.nextEventMatchingMask(kRubberBandMask);
            if (!next)
                break;
            last = *next;
            if (next->type == EventType::LeftMouseUp)
                break;
            if (next->type == EventType::KeyDown) {
                if (next->keyCode != platform::kKeyEscape)
                    continue;
                // Escape leaves everything as it was.
                deselectLayersAnimated(selected, false);
                cursors.pop();
                updateCursorRectsAndTracking();
                selectWithEvent(*next);
                removeSelectionOverlayAnimated(overlay);
                return;
            }
            AppDelegate *delegate = AppDelegate::shared();
            if ((next->modifierFlags & platform::kShiftFlag) && !flashlightShown() && delegate)
                delegate->setShiftWasPressdDuringDraw(true);
            const QPointF point = convertPointFromWindow(next->locationInWindow);
            const QRectF band = rectWithPoint1Point2(start, point);
            {
                platform::TransactionScope transaction(true);
                overlay->setFrame(platform::integralRect(band));
            }
            const std::vector<LayerPtr> hits = selectedLayersWithRect(band);
            std::vector<LayerPtr> toSelect, toDeselect;
            for (const LayerPtr &hit : hits)
                if (!contains(selected, hit))
                    toSelect.push_back(hit);
            for (const LayerPtr &layer : selected)
                if (!contains(hits, layer))
                    toDeselect.push_back(layer);
            selected = hits;
            deselectLayersAnimated(toDeselect, false);
            selectLayersAnimated(toSelect, false);
            updateFlashlightIfNeeded();
        }
    }
    queue.discardEventsMatchingMask(kRubberBandMask);

    if (!selected.empty()) {
        deselectLayersAnimated(selected, false);
        const std::vector<LayerPtr> sorted = sortedLayersArrayAscending(selected);
        if (action == MRKOAuxActionScissors) {
            undoRemoveLayers(sorted);
        } else {
            inkora::MultipleMove &move = inkora::multipleMove();
            move.moving = sorted;
            move.origins = OpaqueContent::originsOfLayers(sorted);
            move.lastPointer = convertPointFromWindow(last.locationInWindow);
        }
    }
    cursors.pop();
    updateCursorRectsAndTracking();
    selectWithEvent(last);
    AppDelegate::postUpdateUndoRedo();
    showBallIfNeeded();
    showBigBall();
    prepareMultipleSelectionWithAction(action);
    removeSelectionOverlayAnimated(overlay);
}

// ---------------------------------------------------------------------------------------------------------------
// Select all and the multiple selection

bool MRKODraw::hasMultipleMove()
{
    return inkora::multipleMove().exists();
}

void MRKODraw::selectAllLayers()
{
    if (!hasLayers())
        return;
    if (hasMultipleMove()) {
        cancelMultipleMoveIfNeeded(); // the command toggles
        return;
    }
    removeStaticSelectionIfNeeded();
    removeTextViewAndUndoActionsIfNeeded();
    deselectObject(); // the hover gives way to the multiple move
    inkora::MultipleMove &move = inkora::multipleMove();
    move.moving = m_layersContainer->sublayers();
    move.origins = OpaqueContent::originsOfLayers(move.moving);
    move.lastPointer = mouseLocation();
    deselectLayersAnimated(move.moving, false);
    prepareMultipleSelectionWithAction(MRKOAuxActionMove);
}

void MRKODraw::prepareMultipleSelectionWithAction(quint64 action)
{
    inkora::MultipleMove &move = inkora::multipleMove();
    if (!move.exists())
        return;
    move.owner = this;
    if (action != MRKOAuxActionCopy) {
        move.copy = false;
        makeSelectionBoundingBoxForLayers(move.moving);
        return;
    }
    // The copies lie over their sources until the pointer moves; they are what travels.
    move.moving = OpaqueContent::layersCopyFromArray(move.moving);
    move.copy = true;
    if (m_layerOrder) {
        m_layerOrder->performUserAction(QStringLiteral("Add Layers"), [this, &move] {
            move.copyStep = AppDelegate::undoManager().currentStepId();
            undoAddLayers(move.moving);
        });
    }
    makeSelectionBoundingBoxForLayers(move.moving);
}

void MRKODraw::makeSelectionBoundingBoxForLayers(const std::vector<LayerPtr> &layers)
{
    if (layers.empty())
        return;
    QRectF united = layers.front()->frame();
    for (const LayerPtr &layer : layers)
        united = united.united(layer->frame());
    makeSelectionBoundingBoxWithRect(platform::floorOriginCeilSize(united));
}

void MRKODraw::makeSelectionBoundingBoxWithRect(const QRectF &rect)
{
    inkora::MultipleMove &move = inkora::multipleMove();
    platform::TransactionScope transaction(true);
    if (move.boundingBox)
        move.boundingBox->removeFromSuperlayer();
    move.boundingBox = platform::Layer::create();
    move.boundingBox->setBorderColor(OnOffColor::iconOnColor());
    move.boundingBox->setBorderWidth(1.0);
    move.boundingBox->setCornerRadius(2.0);
    move.boundingBox->setFrame(rect);
    m_viewLayer->addSublayer(move.boundingBox);
}
