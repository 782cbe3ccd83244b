// The static selection: one finished drawing, in freeze mode, framed by a box and handed to the selected-object
// controls until another press, command or change ends it.
#include "app/AppDelegate.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSColor+OnOffColor.h"
#include "objects/MRKOSelectedLayerControls.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"

using platform::LayerPtr;

bool MRKODraw::tryToMakeStaticSelection()
{
    const QPointF pointer = mouseLocation();
    const LayerPtr layer = selectedLayerWithPointInLayer(pointer, m_layersContainer);
    if (!layer || layer == staticSelectionLayer() || !isTimerInactive(*layer))
        return false;
    if (m_dissolveMode == MRKODissolveModeFade)
        return false;
    removeTextViewAndUndoActionsIfNeeded();
    setStaticSelectionLayer(layer);
    shouldAppearTextViewWithPoint(pointer); // a text opens for editing
    return true;
}

void MRKODraw::setStaticSelectionLayer(const LayerPtr &layer)
{
    if (m_selectedLayerControls) {
        // What the controls changed is recorded before they go.
        m_selectedLayerControls->closePopoverIfNeeded();
        makeSelectedLayerContentUndoIfNeeded();
    }
    m_staticSelectionLayer = layer;
    if (!layer) {
        setStaticSelectionBoundingBox(nullptr);
        setSelectedLayerControls(nullptr);
        return;
    }
    const LayerPtr box = platform::Layer::create();
    setStaticSelectionBoundingBox(box);
    {
        platform::TransactionScope transaction(true);
        box->setBorderColor(OnOffColor::iconOnColor());
        box->setBorderWidth(1.0);
        box->setCornerRadius(2.0);
    }
    auto controls = std::make_unique<MRKOSelectedLayerControls>(this, layer, box);
    MRKOSelectedLayerControls *installed = controls.get();
    setSelectedLayerControls(std::move(controls));
    installed->setBoundingBoxFrame(layer->frame());
}

void MRKODraw::removeStaticSelectionIfNeeded()
{
    if (m_selectedLayerControls || staticSelectionLayer())
        setStaticSelectionLayer(nullptr);
}

void MRKODraw::setStaticSelectionBoundingBox(const LayerPtr &box)
{
    platform::TransactionScope transaction(true);
    if (const LayerPtr previous = m_staticSelectionBoundingBox.lock())
        previous->removeFromSuperlayer();
    m_staticSelectionBoundingBox = box;
    if (box)
        m_viewLayer->addSublayer(box);
}

void MRKODraw::setSelectedLayerControls(std::unique_ptr<MRKOSelectedLayerControls> controls)
{
    if (m_selectedLayerControls)
        m_selectedLayerControls->cleanUpAllUndoActions();
    m_selectedLayerControls = std::move(controls);
    if (m_selectedLayerControls)
        m_selectedLayerControls->loadView();
}

void MRKODraw::updateStaticSelectionUIIfNeeded()
{
    if (m_selectedLayerControls)
        m_selectedLayerControls->updateUI();
}

void MRKODraw::openColorPopoverForStaticSelection()
{
    if (m_selectedLayerControls)
        m_selectedLayerControls->forceShowHideColorPopover();
}

void MRKODraw::prepareColorPopoverForStaticSelection()
{
    if (m_selectedLayerControls)
        m_selectedLayerControls->prepareColorPopover();
}

void MRKODraw::makeSelectedLayerContentUndoIfNeeded()
{
    if (!m_selectedLayerControls || !m_selectedLayerControls->shouldMakeContentUndo())
        return;
    const LayerPtr target = m_selectedLayerControls->selectedLayer();
    if (!target)
        return;
    const LayerPtr capsule = m_selectedLayerControls->capsuleLayer();
    platform::UndoManager &manager = AppDelegate::undoManager();
    manager.setGroupsByEvent(false);
    manager.beginUndoGrouping();
    registerCanvasUndo(QStringLiteral("Change Layer"),
                       [this, target, capsule] { undoLayerContentWithCapsuleLayer(target, capsule); });
    manager.endUndoGrouping();
    manager.setGroupsByEvent(true);
    AppDelegate::postUpdateUndoRedo();
}
