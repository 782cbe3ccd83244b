#pragma once

#include "platform/Layer.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace platform {
class UndoManager;
}

/// A canvas's finished drawings in z-order (index 0 at the bottom), mirrored in the sublayers of its layers
/// container, and the operations that change that order and register their own inverse on the shared undo
/// manager. The canvas owns one and forwards to it. Main thread only.
class MRKOLayerOrder final
{
public:
    static constexpr size_t kNotFound = static_cast<size_t>(-1);
    using IndexSet = std::vector<size_t>; // ascending

    /// Hooks into the canvas: the fade mode and the fade-out of a drawing brought back in fade mode, and what
    /// follows every change of the list (ending text editing, the selection, the controls).
    struct Hooks
    {
        std::function<bool()> isFadeMode;
        std::function<void(const platform::LayerPtr &)> fadeOutLayer;
        std::function<void()> didChange;
        std::function<void(const platform::Layer *)> willRemove;
        /// Adding or removing one drawing makes it the canvas's last drawing.
        std::function<void(const platform::LayerPtr &)> holdLayer;
    };

    MRKOLayerOrder(platform::Layer &container, platform::UndoManager &undoManager, Hooks hooks = {});
    ~MRKOLayerOrder();
    MRKOLayerOrder(const MRKOLayerOrder &) = delete;
    MRKOLayerOrder &operator=(const MRKOLayerOrder &) = delete;

    [[nodiscard]] const std::vector<platform::LayerPtr> &layers() const { return m_layers; }
    [[nodiscard]] bool redoFlag() const { return m_redoFlag; }
    [[nodiscard]] size_t indexOfLayer(const platform::Layer *layer) const;

    /// One user action as one undo step, whatever events are pending.
    void performUserAction(const QString &actionName, const std::function<void()> &action);

    void undoAddLayerToIndex(const platform::LayerPtr &layer, size_t index = kNotFound);
    void undoRemoveLayer(const platform::LayerPtr &layer);
    void undoAddLayers(const std::vector<platform::LayerPtr> &layers);
    void undoAddLayersToIndexes(const std::vector<platform::LayerPtr> &layers, const std::optional<IndexSet> &indexes);
    void undoRemoveLayers(const std::vector<platform::LayerPtr> &layers);
    /// Onto the top of the list, without undo; the layer is in the container already.
    void appendLayer(const platform::LayerPtr &layer);
    /// Out of the container and the list, without undo.
    void removeLayerFromCanvas(const platform::LayerPtr &layer);
    /// Out of the list only: a drawing that fades out leaves the container by itself.
    void forgetLayer(const platform::Layer *layer);
    /// Nothing when any of them is not in the list.
    [[nodiscard]] std::optional<IndexSet> indexSetOfLayers(const std::vector<platform::LayerPtr> &layers) const;

    bool undoLayerUp(const platform::LayerPtr &layer);
    bool undoLayerDown(const platform::LayerPtr &layer);
    bool undoMoveLayerFromIndexToIndex(const platform::LayerPtr &layer, size_t from, size_t to);
    bool moveLayerFromIndexToIndex(const platform::LayerPtr &layer, size_t from, size_t to);
    [[nodiscard]] bool layerCanMoveFromIndexToIndex(const platform::Layer *layer, size_t from, size_t to) const;
    [[nodiscard]] bool layerCanMoveUp(const platform::Layer *layer) const;
    [[nodiscard]] bool layerCanMoveDown(const platform::Layer *layer) const;
    bool bringLayerFront(const platform::LayerPtr &layer);
    bool bringLayerBack(const platform::LayerPtr &layer);

    void updateRedoFlag();

private:
    void registerInverse(const QString &name, std::function<void()> inverse);
    [[nodiscard]] bool inReplay() const;
    void insertAt(const platform::LayerPtr &layer, size_t index);
    void didChange();

    platform::Layer &m_container;
    platform::UndoManager &m_undoManager;
    Hooks m_hooks;
    std::vector<platform::LayerPtr> m_layers;
    bool m_redoFlag = false;
};
