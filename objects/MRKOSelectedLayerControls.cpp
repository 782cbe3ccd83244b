#include "objects/MRKOSelectedLayerControls.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "objects/CALayer+OpaqueContent.h"
#include "platform/Dispatch.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"
#include "tools/MRKOToolColor.h"

MRKOSelectedLayerControls::MRKOSelectedLayerControls(MRKODraw *draw, const platform::LayerPtr &layer,
                                                     const platform::LayerPtr &boundingBox)
    : m_parentDraw(draw), m_selectedLayer(layer), m_boundingBoxLayer(boundingBox)
{
    if (layer && layer->contents()) {
        m_initialImage = layer->contents();
        m_initialRect = layer->frame();
        m_initialColor =
            layer->borderColor().isValid() ? layer->borderColor() : MRKOToolColor::defaultColor().toQColor();
    }
}

void MRKOSelectedLayerControls::cleanUpAllUndoActions()
{
    platform::UndoManager &manager = AppDelegate::undoManager();
    const void *target = this;
    if (manager.groupingLevel() == 0) {
        manager.removeAllActionsWithTarget(target);
        return;
    }
    // Removing from a group that is still open would unbalance it.
    platform::RunLoop::main().schedule(
        0, [target] { AppDelegate::undoManager().removeAllActionsWithTarget(target); }, platform::RunLoop::DefaultMode);
}

void MRKOSelectedLayerControls::setBoundingBoxFrame(const QRectF &rect)
{
    if (const platform::LayerPtr box = m_boundingBoxLayer.lock()) {
        platform::TransactionScope transaction(true);
        box->setFrame(rect);
    }
    updateAfterMoving();
}

void MRKOSelectedLayerControls::updateAfterMoving()
{
    if (const platform::LayerPtr layer = m_selectedLayer.lock())
        m_initialRect = layer->frame();
}

bool MRKOSelectedLayerControls::shouldMakeContentUndo() const
{
    const platform::LayerPtr layer = m_selectedLayer.lock();
    return layer && !OpaqueContent::pill(*layer) && layer->contents() != m_initialImage;
}

platform::LayerPtr MRKOSelectedLayerControls::capsuleLayer() const
{
    const platform::LayerPtr capsule = platform::Layer::create();
    platform::TransactionScope transaction(true);
    capsule->setContents(m_initialImage);
    capsule->setFrame(m_initialRect);
    capsule->setBorderColor(m_initialColor);
    return capsule;
}
