#include "canvas/MRKOLayerOrder.h"

#include "foundation/InkoraLog.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"

#include <algorithm>

using platform::LayerPtr;

MRKOLayerOrder::MRKOLayerOrder(platform::Layer &container, platform::UndoManager &undoManager, Hooks hooks)
    : m_container(container), m_undoManager(undoManager), m_hooks(std::move(hooks))
{}

MRKOLayerOrder::~MRKOLayerOrder()
{
    m_undoManager.removeAllActionsWithTarget(static_cast<const void *>(this));
}

size_t MRKOLayerOrder::indexOfLayer(const platform::Layer *layer) const
{
    const auto it =
        std::find_if(m_layers.begin(), m_layers.end(), [layer](const LayerPtr &l) { return l.get() == layer; });
    return it == m_layers.end() ? kNotFound : static_cast<size_t>(it - m_layers.begin());
}

void MRKOLayerOrder::performUserAction(const QString &actionName, const std::function<void()> &action)
{
    m_undoManager.setGroupsByEvent(false);
    m_undoManager.beginUndoGrouping();
    action();
    m_undoManager.setActionName(actionName);
    m_undoManager.endUndoGrouping();
    m_undoManager.setGroupsByEvent(true);
}

void MRKOLayerOrder::registerInverse(const QString &name, std::function<void()> inverse)
{
    m_undoManager.registerUndo(static_cast<const void *>(this), std::move(inverse));
    m_undoManager.setActionName(name);
    updateRedoFlag();
}

bool MRKOLayerOrder::inReplay() const
{
    return m_undoManager.isUndoing() || m_undoManager.isRedoing();
}

void MRKOLayerOrder::updateRedoFlag()
{
    if (inReplay())
        m_redoFlag = !m_undoManager.isUndoing();
}

void MRKOLayerOrder::didChange()
{
    if (m_hooks.didChange)
        m_hooks.didChange();
}

void MRKOLayerOrder::insertAt(const LayerPtr &given, size_t index)
{
    // A copy: the caller's reference may point into the list that changes below.
    const LayerPtr layer = given;
    layer->removeAllAnimations();
    // A drawing is in the list once: adding one that is there already moves it.
    if (const size_t present = indexOfLayer(layer.get()); present != kNotFound)
        m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(present));
    const bool append = index == kNotFound || index >= m_layers.size();
    {
        platform::TransactionScope scope(true);
        if (append)
            m_container.addSublayer(layer);
        else
            m_container.insertSublayer(layer, index);
    }
    if (inReplay() && m_hooks.isFadeMode && m_hooks.isFadeMode() && m_hooks.fadeOutLayer)
        m_hooks.fadeOutLayer(layer);
    if (append)
        m_layers.push_back(layer);
    else
        m_layers.insert(m_layers.begin() + static_cast<std::ptrdiff_t>(index), layer);
}

void MRKOLayerOrder::undoAddLayerToIndex(const LayerPtr &layer, size_t index)
{
    if (!layer)
        return;
    if (m_hooks.holdLayer)
        m_hooks.holdLayer(layer);
    registerInverse(QStringLiteral("Add Layer"), [this, layer] { undoRemoveLayer(layer); });
    insertAt(layer, index);
    didChange();
}

void MRKOLayerOrder::appendLayer(const LayerPtr &given)
{
    const LayerPtr layer = given; // the caller's reference may point into the list
    forgetLayer(layer.get());
    m_layers.push_back(layer);
}

void MRKOLayerOrder::removeLayerFromCanvas(const LayerPtr &given)
{
    const LayerPtr layer = given; // the caller's reference may point into the list that changes below
    {
        platform::TransactionScope scope(true);
        layer->removeFromSuperlayer();
    }
    forgetLayer(layer.get());
}

void MRKOLayerOrder::forgetLayer(const platform::Layer *layer)
{
    const size_t index = indexOfLayer(layer);
    if (index != kNotFound)
        m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(index));
}

namespace {
// A drawing removed by undo or redo in fade mode fades out instead of vanishing.
void removeOrFade(MRKOLayerOrder &order, platform::Layer &container, const LayerPtr &layer, bool fading,
                  const std::function<void(const LayerPtr &)> &fadeOut)
{
    layer->removeAllAnimations();
    if (!fading) {
        order.removeLayerFromCanvas(layer);
        return;
    }
    // Out of the list at once, so the list holds only drawings that stay; the fade-out takes it off screen.
    if (!layer->superlayer()) {
        platform::TransactionScope scope(true);
        container.addSublayer(layer);
    }
    order.forgetLayer(layer.get());
    fadeOut(layer);
}
} // namespace

void MRKOLayerOrder::undoRemoveLayer(const LayerPtr &layer)
{
    if (!layer)
        return;
    if (m_hooks.willRemove)
        m_hooks.willRemove(layer.get());
    if (m_hooks.holdLayer)
        m_hooks.holdLayer(layer);
    const size_t index = indexOfLayer(layer.get());
    registerInverse(QStringLiteral("Remove Layer"), [this, layer, index] { undoAddLayerToIndex(layer, index); });
    const bool fading = inReplay() && m_hooks.isFadeMode && m_hooks.isFadeMode() && m_hooks.fadeOutLayer;
    removeOrFade(*this, m_container, layer, fading, m_hooks.fadeOutLayer);
    didChange();
}

void MRKOLayerOrder::undoAddLayers(const std::vector<LayerPtr> &layers)
{
    registerInverse(QStringLiteral("Add Layers"), [this, layers] { undoRemoveLayers(layers); });
    for (const LayerPtr &layer : layers)
        insertAt(layer, kNotFound);
    didChange();
}

void MRKOLayerOrder::undoAddLayersToIndexes(const std::vector<LayerPtr> &layers, const std::optional<IndexSet> &indexes)
{
    if (!indexes || indexes->size() != layers.size()) {
        if (indexes)
            qCWarning(lcCanvas) << "undoAddLayers:toIndexes: layers.count and indexes.count mismatch";
        undoAddLayers(layers);
        return;
    }
    registerInverse(QStringLiteral("Add Layers"), [this, layers] { undoRemoveLayers(layers); });
    IndexSet sorted = *indexes;
    std::sort(sorted.begin(), sorted.end());
    for (size_t k = 0; k < layers.size(); ++k)
        insertAt(layers[k], sorted[k]);
    didChange();
}

std::optional<MRKOLayerOrder::IndexSet> MRKOLayerOrder::indexSetOfLayers(const std::vector<LayerPtr> &layers) const
{
    IndexSet indexes;
    for (const LayerPtr &layer : layers) {
        const size_t index = indexOfLayer(layer.get());
        if (index == kNotFound) {
            qCWarning(lcCanvas) << "indexSetOfLayers: Can't create index set. Some items are Not Found";
            return std::nullopt;
        }
        indexes.push_back(index);
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

void MRKOLayerOrder::undoRemoveLayers(const std::vector<LayerPtr> &layers)
{
    if (m_hooks.willRemove)
        for (const LayerPtr &layer : layers)
            m_hooks.willRemove(layer.get());
    // Bottom first, so that re-inserting at ascending indexes restores the order.
    std::vector<LayerPtr> ordered = layers;
    std::stable_sort(ordered.begin(), ordered.end(), [this](const LayerPtr &a, const LayerPtr &b) {
        return indexOfLayer(a.get()) < indexOfLayer(b.get());
    });
    const std::optional<IndexSet> indexes = indexSetOfLayers(ordered);
    registerInverse(QStringLiteral("Remove Layers"),
                    [this, ordered, indexes] { undoAddLayersToIndexes(ordered, indexes); });
    const bool fading = inReplay() && m_hooks.isFadeMode && m_hooks.isFadeMode() && m_hooks.fadeOutLayer;
    for (const LayerPtr &layer : ordered)
        removeOrFade(*this, m_container, layer, fading, m_hooks.fadeOutLayer);
    didChange();
}

bool MRKOLayerOrder::layerCanMoveUp(const platform::Layer *layer) const
{
    const size_t index = indexOfLayer(layer);
    return index != kNotFound && m_layers.size() >= 2 && index + 1 < m_layers.size();
}

bool MRKOLayerOrder::layerCanMoveDown(const platform::Layer *layer) const
{
    const size_t index = indexOfLayer(layer);
    return index != kNotFound && m_layers.size() >= 2 && index >= 1;
}

bool MRKOLayerOrder::layerCanMoveFromIndexToIndex(const platform::Layer *layer, size_t from, size_t to) const
{
    if (from >= m_layers.size()) {
        qCWarning(lcCanvas) << "layer:canMoveFromIndex:toIndex: fromIndex can't be grater or equal than layers count.";
        return false;
    }
    if (to >= m_layers.size()) {
        qCWarning(lcCanvas) << "layer:canMoveFromIndex:toIndex: toIndex can't be grater or equal than layers count.";
        return false;
    }
    if (m_layers[from].get() != layer) {
        qCWarning(lcCanvas) << "layer:canMoveFromIndex:toIndex: wrong fromIndex for CALayer";
        return false;
    }
    return true;
}

bool MRKOLayerOrder::moveLayerFromIndexToIndex(const LayerPtr &given, size_t from, size_t to)
{
    const LayerPtr layer = given; // the caller's reference may point into the list that changes below
    if (!layer || !layerCanMoveFromIndexToIndex(layer.get(), from, to))
        return false;
    m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(from));
    m_layers.insert(m_layers.begin() + static_cast<std::ptrdiff_t>(to), layer);
    platform::TransactionScope scope(true);
    layer->removeFromSuperlayer();
    m_container.insertSublayer(layer, to);
    return true;
}

bool MRKOLayerOrder::undoLayerUp(const LayerPtr &layer)
{
    if (!layer || !layerCanMoveUp(layer.get()))
        return false;
    registerInverse(QStringLiteral("Move Up Layer"), [this, layer] { undoLayerDown(layer); });
    const size_t index = indexOfLayer(layer.get());
    moveLayerFromIndexToIndex(layer, index, index + 1);
    didChange();
    return true;
}

bool MRKOLayerOrder::undoLayerDown(const LayerPtr &layer)
{
    if (!layer || !layerCanMoveDown(layer.get()))
        return false;
    registerInverse(QStringLiteral("Move Down Layer"), [this, layer] { undoLayerUp(layer); });
    const size_t index = indexOfLayer(layer.get());
    moveLayerFromIndexToIndex(layer, index, index - 1);
    didChange();
    return true;
}

bool MRKOLayerOrder::undoMoveLayerFromIndexToIndex(const LayerPtr &layer, size_t from, size_t to)
{
    // A move that cannot happen leaves no undo step behind.
    if (!layer || !layerCanMoveFromIndexToIndex(layer.get(), from, to))
        return false;
    registerInverse(QStringLiteral("Move Layer To Index"),
                    [this, layer, from, to] { undoMoveLayerFromIndexToIndex(layer, to, from); });
    moveLayerFromIndexToIndex(layer, from, to);
    didChange();
    return true;
}

bool MRKOLayerOrder::bringLayerFront(const LayerPtr &layer)
{
    if (!layer || !layerCanMoveUp(layer.get()))
        return false;
    return undoMoveLayerFromIndexToIndex(layer, indexOfLayer(layer.get()), m_layers.size() - 1);
}

bool MRKOLayerOrder::bringLayerBack(const LayerPtr &layer)
{
    if (!layer || !layerCanMoveDown(layer.get()))
        return false;
    return undoMoveLayerFromIndexToIndex(layer, indexOfLayer(layer.get()), 0);
}
