#pragma once

#include "platform/Layer.h"

#include <QColor>
#include <QPointer>
#include <QRectF>

#include <memory>

class MRKODraw;

/// Stand-in for the controls of a statically selected drawing until their panel exists: it keeps the box around
/// the drawing in place and remembers the drawing as it was selected, so that a change of its pixels can be undone
/// as one step when the selection ends. It shows no panel, so it has no popover to close and nothing to refresh.
/// Main thread only.
class MRKOSelectedLayerControls final
{
public:
    MRKOSelectedLayerControls(MRKODraw *draw, const platform::LayerPtr &layer, const platform::LayerPtr &boundingBox);
    MRKOSelectedLayerControls(const MRKOSelectedLayerControls &) = delete;
    MRKOSelectedLayerControls &operator=(const MRKOSelectedLayerControls &) = delete;

    void loadView() {}
    /// Whether a colour popover of the controls was shown and is now closed.
    bool closePopoverIfNeeded() { return false; }
    /// Takes every undo action that targets the controls off the shared undo manager.
    void cleanUpAllUndoActions();
    void updateUI() {}
    void validateUI() {}
    void forceShowHideColorPopover() {}
    void prepareColorPopover() {}

    /// The box takes the rectangle (view points) without animation; the drawing's rectangle is remembered.
    void setBoundingBoxFrame(const QRectF &rect);
    void updateAfterMoving();
    /// A drawing without a model whose pixels are no longer those it had when it was selected.
    [[nodiscard]] bool shouldMakeContentUndo() const;
    /// A layer with the pixels, frame and colour the drawing had when it was selected.
    [[nodiscard]] platform::LayerPtr capsuleLayer() const;
    [[nodiscard]] platform::LayerPtr selectedLayer() const { return m_selectedLayer.lock(); }

private:
    QPointer<MRKODraw> m_parentDraw;
    std::weak_ptr<platform::Layer> m_selectedLayer;
    std::weak_ptr<platform::Layer> m_boundingBoxLayer;
    platform::ImagePtr m_initialImage;
    QRectF m_initialRect;
    QColor m_initialColor;
};
