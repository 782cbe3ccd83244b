// The canvas's drawing list and its undoable changes: adding, removing and reordering drawings (kept by the layer
// order), content and model changes, and the redo flag that repeat-last-drawing reads.
#include "app/AppDelegate.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOLayerOrder.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"
#include "platform/EventQueue.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"

void MRKODraw::makeLayerOrder()
{
    MRKOLayerOrder::Hooks hooks;
    hooks.isFadeMode = [this] { return m_dissolveMode == MRKODissolveModeFade; };
    hooks.fadeOutLayer = [this](const platform::LayerPtr &layer) { fadeOutLayerFullCleanUp(layer, true); };
    hooks.didChange = [this] {
        removeTextViewAndUndoActionsIfNeeded();
        if (const platform::Event *current = platform::EventQueue::shared().currentEvent())
            selectWithEvent(*current);
    };
    hooks.willRemove = [this](const platform::Layer *) { removeStaticSelectionIfNeeded(); };
    hooks.holdLayer = [this](const platform::LayerPtr &layer) {
        MRKOHolder &holder = MRKOHolder::sharedHolder();
        holder.setDraw(this);
        holder.setLayer(layer);
    };
    m_layerOrder = std::make_unique<MRKOLayerOrder>(*m_layersContainer, AppDelegate::undoManager(), std::move(hooks));
}

void MRKODraw::registerCanvasUndo(const QString &name, std::function<void()> action)
{
    platform::UndoManager &manager = AppDelegate::undoManager();
    manager.registerUndo(static_cast<QObject *>(this), std::move(action));
    manager.setActionName(name);
    updateRedoFlag();
}

const std::vector<platform::LayerPtr> &MRKODraw::layers() const
{
    static const std::vector<platform::LayerPtr> kNone;
    return m_layerOrder ? m_layerOrder->layers() : kNone;
}

// Without a container (a canvas that never had a superview) there is nothing to add to or remove from.

void MRKODraw::undoAddLayerToIndex(const platform::LayerPtr &layer, size_t index)
{
    if (m_layerOrder)
        m_layerOrder->undoAddLayerToIndex(layer, index);
}

void MRKODraw::undoRemoveLayer(const platform::LayerPtr &layer)
{
    if (m_layerOrder)
        m_layerOrder->undoRemoveLayer(layer);
}

void MRKODraw::undoAddLayers(const std::vector<platform::LayerPtr> &layers)
{
    if (m_layerOrder)
        m_layerOrder->undoAddLayers(layers);
}

void MRKODraw::undoRemoveLayers(const std::vector<platform::LayerPtr> &layers)
{
    if (m_layerOrder)
        m_layerOrder->undoRemoveLayers(layers);
}

void MRKODraw::removeLayerFromCanvas(const platform::LayerPtr &layer)
{
    if (m_layerOrder && layer)
        m_layerOrder->removeLayerFromCanvas(layer);
}

bool MRKODraw::undoLayerUp(const platform::LayerPtr &layer)
{
    return m_layerOrder && m_layerOrder->undoLayerUp(layer);
}

bool MRKODraw::undoLayerDown(const platform::LayerPtr &layer)
{
    return m_layerOrder && m_layerOrder->undoLayerDown(layer);
}

bool MRKODraw::undoMoveLayerFromIndexToIndex(const platform::LayerPtr &layer, size_t from, size_t to)
{
    return m_layerOrder && m_layerOrder->undoMoveLayerFromIndexToIndex(layer, from, to);
}

bool MRKODraw::bringLayerFront(const platform::LayerPtr &layer)
{
    return m_layerOrder && m_layerOrder->bringLayerFront(layer);
}

bool MRKODraw::bringLayerBack(const platform::LayerPtr &layer)
{
    return m_layerOrder && m_layerOrder->bringLayerBack(layer);
}

bool MRKODraw::layerCanMoveUp(const platform::Layer *layer) const
{
    return m_layerOrder && m_layerOrder->layerCanMoveUp(layer);
}

bool MRKODraw::layerCanMoveDown(const platform::Layer *layer) const
{
    return m_layerOrder && m_layerOrder->layerCanMoveDown(layer);
}

bool MRKODraw::redoFlag() const
{
    return m_layerOrder && m_layerOrder->redoFlag();
}

void MRKODraw::updateRedoFlag()
{
    if (m_layerOrder)
        m_layerOrder->updateRedoFlag();
}

void MRKODraw::undoLayerContentWithCapsuleLayer(const platform::LayerPtr &target, const platform::LayerPtr &capsule)
{
    if (!target || !capsule)
        return;
    const platform::LayerPtr before = platform::Layer::create();
    {
        platform::TransactionScope transaction(true);
        before->setContents(target->contents());
        before->setFrame(target->frame());
        before->setBorderColor(target->borderColor());
    }
    registerCanvasUndo(QStringLiteral("Change Layer"),
                       [this, target, before] { undoLayerContentWithCapsuleLayer(target, before); });
    platform::TransactionScope transaction(true);
    target->setContents(capsule->contents());
    target->setFrame(capsule->frame());
    target->setBorderColor(capsule->borderColor());
}

void MRKODraw::undoGraphicPillForLayer(const std::shared_ptr<MRKOPill> &pill, const platform::LayerPtr &layer)
{
    if (!layer)
        return;
    const std::shared_ptr<MRKOPill> current = OpaqueContent::pill(*layer);
    const std::shared_ptr<MRKOPill> previous = current ? current->copy() : nullptr;
    registerCanvasUndo(QStringLiteral("Change Graphic Object"),
                       [this, previous, layer] { undoGraphicPillForLayer(previous, layer); });
    OpaqueContent::setPill(*layer, pill);
    OpaqueContent::updateGraphicLayer(*layer);
}
