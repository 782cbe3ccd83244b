// Dragging a drawing to a new place or off as a copy, also onto another display, and the multiple move that
// carries gathered drawings with the pointer until a click drops them, glues them into one, or is cancelled.
#include "app/AppDelegate.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/MRKOTopUndoActionCutter.h"
#include "canvas/MultipleMove.h"
#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "foundation/MRKOUtils.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"
#include "objects/MRKOSelectedLayerControls.h"
#include "platform/CursorStack.h"
#include "platform/EventQueue.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"

#include <QGuiApplication>
#include <QLineF>
#include <QPointer>
#include <QStyleHints>

#include <cmath>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kMoveLoopMask =
    platform::eventMask(EventType::LeftMouseUp) | platform::eventMask(EventType::LeftMouseDragged);
static_assert(kMoveLoopMask == 68);

constexpr double kDragThreshold = 1.0; // points before a press becomes a drag

/// Seconds; a press held longer before the drag starts a rubber band instead.
double doubleClickInterval()
{
    return QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0;
}

QRectF roundedOrigin(const QRectF &frame)
{
    return QRectF(std::round(frame.x()), std::round(frame.y()), frame.width(), frame.height());
}

/// One user gesture as one undo step, whatever else the current event registers.
template <typename Action> void asOneStep(Action &&action)
{
    platform::UndoManager &manager = AppDelegate::undoManager();
    manager.setGroupsByEvent(false);
    manager.beginUndoGrouping();
    action();
    manager.endUndoGrouping();
    manager.setGroupsByEvent(true);
}

/// Takes back the step that added a copy: undone and dropped while it is the latest step, else taken off the
/// stack directly, so that no later step (made meanwhile on another display) is undone with it.
void takeBackCopyStep(quint64 step)
{
    if (step == 0)
        return;
    platform::UndoManager &manager = AppDelegate::undoManager();
    if (manager.currentStepId() == step)
        MRKOTopUndoActionCutter::cutter().cutAction();
    else
        manager.removeStep(step);
}

void removeFromSuperlayers(const std::vector<LayerPtr> &layers)
{
    platform::TransactionScope transaction(true);
    for (const LayerPtr &layer : layers)
        layer->removeFromSuperlayer();
}

} // namespace

size_t MRKODraw::indexOfLayer(const platform::Layer *layer) const
{
    return m_layerOrder ? m_layerOrder->indexOfLayer(layer) : MRKOLayerOrder::kNotFound;
}

void MRKODraw::setFrameToLayer(const QRectF &frame, const LayerPtr &layer)
{
    if (!layer)
        return;
    if (const std::shared_ptr<MRKOPill> pill = OpaqueContent::pill(*layer))
        pill->moveOriginWithDelta(frame.topLeft() - layer->frame().topLeft());
    {
        platform::TransactionScope transaction(true);
        layer->setFrame(frame);
    }
    if (m_selectedLayerControls && layer == staticSelectionLayer())
        m_selectedLayerControls->setBoundingBoxFrame(frame);
}

void MRKODraw::undoMoveLayerToOrigin(const LayerPtr &layer, QPointF origin)
{
    if (!layer)
        return;
    removeTextViewAndUndoActionsIfNeeded();
    const QPointF current = layer->frame().topLeft();
    registerCanvasUndo(QStringLiteral("Move Layer"), [this, layer, current] { undoMoveLayerToOrigin(layer, current); });
    setFrameToLayer(QRectF(origin, layer->frame().size()), layer);
    if (const platform::Event *event = platform::EventQueue::shared().currentEvent())
        selectWithEvent(*event);
}

void MRKODraw::undoMultipleMoveLayersToOrigins(const std::vector<LayerPtr> &layers, const std::vector<QPointF> &origins)
{
    removeTextViewAndUndoActionsIfNeeded();
    const std::vector<QPointF> current = OpaqueContent::originsOfLayers(layers);
    registerCanvasUndo(QStringLiteral("Multiple Move Layers"),
                       [this, layers, current] { undoMultipleMoveLayersToOrigins(layers, current); });
    for (size_t i = 0; i < layers.size() && i < origins.size(); ++i)
        setFrameToLayer(QRectF(origins[i], layers[i]->frame().size()), layers[i]);
    if (const platform::Event *event = platform::EventQueue::shared().currentEvent())
        selectWithEvent(*event);
}

// ---------------------------------------------------------------------------------------------------------------
// One drawing

void MRKODraw::handleMoveCopyLayerWithEvent(const LayerPtr &layer, const platform::Event &event)
{
    handleMoveLayerWithEventCopy(layer, event, true);
}

void MRKODraw::handleMoveLayerWithEventCopy(const LayerPtr &source, const platform::Event &event, bool copy)
{
    if (!source)
        return;
    const QPointF pressPoint = convertPointFromWindow(event.locationInWindow);
    if (event.type == EventType::LeftMouseDown && event.clickCount == 2) {
        shouldAppearTextViewWithPoint(pressPoint); // a double click opens a text for editing
        return;
    }
    platform::CursorStack &cursors = *platform::services().cursorStack;
    cursors.push(QCursor(Qt::ClosedHandCursor));
    LayerPtr layer = source; // the copy, once a copy drag has started
    const QRectF startFrame = layer->frame();
    m_isMouseDraggedEnough = false;
    const double interval = doubleClickInterval();
    QPointF last = pressPoint;
    bool started = false;
    quint64 copyStep = 0;
    LayerPtr visitor; // the drawing as shown on another display
    QPointer<MRKODraw> visiting;
    platform::Event up = event;
    platform::EventQueue &queue = platform::EventQueue::shared();
    {
        platform::EventQueue::TrackingScope tracking;
        for (;;) {
            const std::optional<platform::Event> next = queue.nextEventMatchingMask(kMoveLoopMask);
            if (!next)
                break;
            up = *next;
            if (next->type == EventType::LeftMouseUp)
                break;
            const QPointF point = convertPointFromWindow(next->locationInWindow);
            if (!m_isMouseDraggedEnough) {
                if (QLineF(pressPoint, point).length() <= kDragThreshold)
                    continue;
                m_isMouseDraggedEnough = true;
            }
            if (!started) {
                if (next->timestamp - event.timestamp > interval) {
                    // A press held before dragging gathers drawings instead.
                    MRKOUtils::hapticFeedbackGeneric();
                    selectingWithEvent(event, point, copy ? MRKOAuxActionCopy : MRKOAuxActionMove);
                    return;
                }
                if (copy) {
                    layer = OpaqueContent::layerCopyWithPill(*source);
                    addMovedDrawing(layer);
                    copyStep = AppDelegate::undoManager().currentStepId();
                }
            }
            const QPointF delta = point - last;
            const QRectF frame = layer->frame().translated(delta);
            if (!bounds().adjusted(-1, -1, 1, 1).contains(point)) {
                AppDelegate *delegate = AppDelegate::shared();
                MRKODraw *other = delegate ? delegate->drawViewForMouseLocation() : nullptr;
                if (other && other != this && !(visitor && visiting == other)) {
                    if (visitor) {
                        platform::TransactionScope transaction(true);
                        visitor->removeFromSuperlayer();
                    }
                    if (layer == staticSelectionLayer())
                        removeStaticSelectionIfNeeded();
                    visitor = OpaqueContent::layerCopyWithPill(*layer);
                    const QPointF origin = other->mouseLocation() + (layer->frame().topLeft() - last);
                    other->setFrameToLayer(QRectF(origin, visitor->frame().size()), visitor);
                    {
                        platform::TransactionScope transaction(true);
                        visitor->setContentsScale(other->displayScale());
                        other->viewLayer().addSublayer(visitor);
                    }
                    OpaqueContent::updatePillLayer(*visitor);
                    visiting = other;
                } else if (other && visitor && visiting) {
                    visiting->setFrameToLayer(visitor->frame().translated(delta), visitor);
                }
            } else if (visitor) {
                platform::TransactionScope transaction(true);
                visitor->removeFromSuperlayer();
                visitor.reset();
                visiting.clear();
            }
            // The drawing follows the pointer here also while it is shown on another display.
            setFrameToLayer(frame, layer);
            updateColorBall();
            started = true;
            updateFlashlightIfNeeded();
            last = point;
        }
    }
    queue.discardEventsMatchingMask(kMoveLoopMask);
    cursors.pop();

    if (m_isMouseDraggedEnough) {
        if (!visitor) {
            setFrameToLayer(roundedOrigin(layer->frame()), layer);
            if (!copy) {
                const QPointF origin = startFrame.topLeft();
                registerCanvasUndo(QStringLiteral("Move Layer"),
                                   [this, layer, origin] { undoMoveLayerToOrigin(layer, origin); });
            }
        } else {
            dropOnOtherDisplay(layer, startFrame, copy, copyStep, visitor, visiting);
        }
    }
    updateCursorRectsAndTracking();
    selectWithEvent(up);
    AppDelegate::postUpdateUndoRedo();
}

void MRKODraw::dropOnOtherDisplay(const LayerPtr &layer, const QRectF &startFrame, bool copy, quint64 copyStep,
                                  const LayerPtr &visitor, const QPointer<MRKODraw> &visiting)
{
    if (copy) {
        takeBackCopyStep(copyStep);
        removeLayerFromCanvas(layer);
    }
    // Leaving this display and arriving on the other are one step.
    asOneStep([&] {
        if (!copy) {
            setFrameToLayer(startFrame, layer); // undo brings it back where it was
            undoRemoveLayer(layer);
        }
        if (!visiting)
            return;
        if (visiting->screenDisabled()) {
            visiting->fadeOutLayerFullCleanUp(visitor, false);
            return;
        }
        visiting->setFrameToLayer(roundedOrigin(visitor->frame()), visitor);
        visiting->addMovedDrawing(visitor);
    });
}

void MRKODraw::addMovedDrawing(const LayerPtr &layer)
{
    // Finishing gives a drawing the colour of the stroke just drawn; a moved drawing keeps its own.
    const QColor color = layer->borderColor();
    finalizeDrawWithLayerOrNil(layer);
    platform::TransactionScope transaction(true);
    layer->setBorderColor(color);
}

// ---------------------------------------------------------------------------------------------------------------
// The multiple move

void MRKODraw::moveMultipleLayersWithEvent(const platform::Event &event)
{
    inkora::MultipleMove &move = inkora::multipleMove();
    if (!move.exists())
        return;
    const QPointF point = convertPointFromWindow(event.locationInWindow);
    QPointF delta = point - move.lastPointer;
    if (move.owner == this) {
        if (move.isTravelling()) {
            // Back home: the copies go, the sources that kept in step are what moves again.
            removeFromSuperlayers(move.moving);
            move.moving = move.leftBehind;
            move.leftBehind.clear();
            move.visiting.clear();
            makeSelectionBoundingBoxForLayers(move.moving);
            delta = QPointF();
        }
    } else if (!(move.isTravelling() && move.visiting == this)) {
        if (move.isTravelling())
            removeFromSuperlayers(move.moving); // copies on a third display
        else
            move.leftBehind = move.moving;
        move.visiting = this;
        std::vector<LayerPtr> copies;
        copies.reserve(move.moving.size());
        for (const LayerPtr &layer : move.moving) {
            const LayerPtr copy = OpaqueContent::layerCopyWithPill(*layer);
            const QPointF origin = point + (layer->frame().topLeft() - move.lastPointer);
            setFrameToLayer(QRectF(origin, copy->frame().size()), copy);
            {
                platform::TransactionScope transaction(true);
                copy->setContentsScale(m_displayScale);
                m_viewLayer->addSublayer(copy);
            }
            OpaqueContent::updatePillLayer(*copy);
            copies.push_back(copy);
        }
        move.moving = copies;
        makeSelectionBoundingBoxForLayers(move.moving);
        delta = QPointF();
    }
    for (const LayerPtr &layer : move.moving)
        setFrameToLayer(layer->frame().translated(delta), layer);
    for (const LayerPtr &layer : move.leftBehind)
        setFrameToLayer(layer->frame().translated(delta), layer);
    if (move.boundingBox) {
        platform::TransactionScope transaction(true);
        move.boundingBox->setFrame(move.boundingBox->frame().translated(delta));
    }
    move.lastPointer = point;
}

void MRKODraw::finalizeMultipleMove()
{
    inkora::MultipleMove &move = inkora::multipleMove();
    if (!move.exists())
        return;
    for (const LayerPtr &layer : move.moving)
        setFrameToLayer(roundedOrigin(layer->frame()), layer);
    const QPointer<MRKODraw> owner = move.owner;
    if (move.isTravelling()) {
        if (move.copy) {
            takeBackCopyStep(move.copyStep);
            if (owner)
                for (const LayerPtr &layer : move.leftBehind)
                    owner->removeLayerFromCanvas(layer);
        }
        // Leaving the owner and arriving here are one step.
        asOneStep([&] {
            if (!move.copy && owner) {
                for (size_t i = 0; i < move.leftBehind.size() && i < move.origins.size(); ++i)
                    owner->setFrameToLayer(QRectF(move.origins[i], move.leftBehind[i]->frame().size()),
                                           move.leftBehind[i]);
                owner->undoRemoveLayers(move.leftBehind);
            }
            if (screenDisabled()) {
                for (const LayerPtr &layer : move.moving)
                    fadeOutLayerFullCleanUp(layer, false);
            } else {
                removeFromSuperlayers(move.moving); // from the canvas's own layer into its drawings
                undoAddLayers(move.moving);
            }
        });
    } else if (!move.copy) {
        MRKODraw *canvas = owner ? owner.data() : this;
        const std::vector<LayerPtr> layers = move.moving;
        const std::vector<QPointF> origins = move.origins;
        canvas->registerCanvasUndo(QStringLiteral("Multiple Move Layers"), [canvas, layers, origins] {
            canvas->undoMultipleMoveLayersToOrigins(layers, origins);
        });
    }
    resetMultipleMoveExtras();
}

bool MRKODraw::cancelMultipleMoveIfNeeded()
{
    inkora::MultipleMove &move = inkora::multipleMove();
    if (!move.exists())
        return false;
    if (move.isTravelling()) {
        removeFromSuperlayers(move.moving);
        move.moving = move.leftBehind;
    }
    const QPointer<MRKODraw> owner = move.owner;
    if (move.copy) {
        takeBackCopyStep(move.copyStep);
        if (owner)
            for (const LayerPtr &layer : move.moving)
                owner->removeLayerFromCanvas(layer);
    } else if (owner) {
        for (size_t i = 0; i < move.moving.size() && i < move.origins.size(); ++i)
            owner->setFrameToLayer(QRectF(move.origins[i], move.moving[i]->frame().size()), move.moving[i]);
    }
    resetMultipleMoveExtras();
    return true;
}

void MRKODraw::resetMultipleMoveExtras()
{
    inkora::multipleMove().reset();
    AppDelegate::postUpdateUndoRedo();
}

bool MRKODraw::canGlueLayers()
{
    const inkora::MultipleMove &move = inkora::multipleMove();
    return move.owner && move.moving.size() >= 2;
}

bool MRKODraw::createGlueLayer()
{
    const inkora::MultipleMove &move = inkora::multipleMove();
    return move.owner && move.owner->glueLayersOutOfMultipleMove();
}

bool MRKODraw::glueLayersOutOfMultipleMove()
{
    if (!canGlueLayers())
        return false;
    inkora::MultipleMove &move = inkora::multipleMove();
    // A move is glued from its sources, where they were; a copy from its copies, where they are.
    const std::vector<LayerPtr> layers = !move.copy && move.isTravelling() ? move.leftBehind : move.moving;
    MRKODraw *target = move.copy && move.isTravelling() && move.visiting ? move.visiting.data() : this;
    const std::vector<QPointF> current = OpaqueContent::originsOfLayers(layers);
    if (!move.copy)
        for (size_t i = 0; i < layers.size() && i < move.origins.size(); ++i)
            target->setFrameToLayer(QRectF(move.origins[i], layers[i]->frame().size()), layers[i]);
    const size_t index = target->indexOfLayer(layers.front().get());
    const LayerPtr composite = inkora::compositeOfLayers(layers, nullptr);
    if (!composite) {
        // The multiple move goes on as it was.
        if (!move.copy)
            for (size_t i = 0; i < layers.size(); ++i)
                target->setFrameToLayer(QRectF(current[i], layers[i]->frame().size()), layers[i]);
        return false;
    }
    if (!move.copy && move.isTravelling())
        removeFromSuperlayers(move.moving);
    if (move.copy) {
        takeBackCopyStep(move.copyStep);
        for (const LayerPtr &layer : move.isTravelling() ? move.leftBehind : move.moving)
            removeLayerFromCanvas(layer);
        if (target->screenDisabled()) {
            target->addSublayerToContainerAllowAnim(composite, false);
            target->fadeOutLayerFullCleanUp(composite, false);
        } else {
            asOneStep([&] { target->undoAddLayerToIndex(composite, index); });
        }
    } else {
        asOneStep([&] {
            undoRemoveLayers(layers);
            undoAddLayerToIndex(composite, index);
        });
    }
    resetMultipleMoveExtras();
    return true;
}
