// Finishing a drawing, freeze and fade, and clearing: the part of the canvas between the end of a press and the
// drawings that stay, fade or go.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/MultipleMove.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"
#include "objects/MRKOTextPill.h"
#include "platform/Animation.h"
#include "platform/BitmapContext.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"
#include "tools/MRKOToolButton.h"
#include "tools/MRKOTools.h"

#include <QPointer>

#include <cmath>

namespace {

constexpr double kFadedOpacity = 0.001; // a fade that got this far has finished

const QString kFadeOutKey = QStringLiteral("fadeOut");

} // namespace

void MRKODraw::addSublayerToContainerAllowAnim(const platform::LayerPtr &layer, bool allowAnim)
{
    if (!layer || !m_layersContainer)
        return;
    platform::TransactionScope transaction(!allowAnim);
    layer->setZPosition(-1);
    m_layersContainer->addSublayer(layer);
}

void MRKODraw::addSublayerToContainerAtIndex(const platform::LayerPtr &layer, size_t index)
{
    if (!layer || !m_layersContainer)
        return;
    platform::TransactionScope transaction(true);
    layer->setZPosition(-1);
    // The index travels as an unsigned 32-bit value; anything past the end appends.
    m_layersContainer->insertSublayer(layer, size_t(quint32(index)));
}

void MRKODraw::finalizeDrawWithLayerOrNil(const platform::LayerPtr &given)
{
    platform::LayerPtr layer = given;
    if (!layer) {
        layer = layerCutFromCache(true);
        if (!layer)
            return; // nothing was drawn: no layer, no step, the cache as it is
    } else {
        m_moveClipping.reset();
    }
    if (m_workingPill) {
        OpaqueContent::setPill(*layer, m_workingPill);
        m_workingPill.reset();
    }
    const bool isText = m_workingTextPill != nullptr;
    if (isText) {
        layer->setName(QStringLiteral("MRKOTypeText"));
        OpaqueContent::setTextPill(*layer, m_workingTextPill);
        m_workingTextPill.reset();
    }
    {
        platform::TransactionScope transaction(true);
        layer->setZPosition(-1);
        layer->setBorderColor(m_hueFirstColor.toQColor());
    }
    addSublayerToContainerAllowAnim(layer, false);
    MRKOHolder &holder = MRKOHolder::sharedHolder();
    holder.setLayer(layer);
    holder.setDraw(this);

    if (isText || m_dissolveMode == MRKODissolveModeFreeze) {
        if (m_layerOrder) {
            m_layerOrder->appendLayer(layer);
            m_layerOrder->performUserAction(QStringLiteral("Add Layer"), [this, layer] {
                registerCanvasUndo(QStringLiteral("Add Layer"), [this, layer] { undoRemoveLayer(layer); });
            });
        }
    } else {
        fadeOutLayerFullCleanUp(layer, false);
        const inkora::LiveSettings &live = inkora::liveSettings();
        const AppDelegate *delegate = AppDelegate::shared();
        const MRKOTools *toolBar = delegate ? delegate->activeToolBar() : nullptr;
        if (live.freezeModeHighlighting && toolBar && !delegate->isToolbarHidden())
            toolBar->dissolveButton()->animateFadeWithColor(colorForCurrentType());
    }
    AppDelegate::postUpdateUndoRedo();
    clearContextWithCurrentRectShouldDisplay(true);
}

void MRKODraw::repeatLayer(const platform::LayerPtr &layer)
{
    if (!layer)
        return;
    removeTextViewAndUndoActionsIfNeeded();
    layer->removeAllAnimations();
    if (m_dissolveMode == MRKODissolveModeFreeze) {
        // Toggles the last drawing: back after an undo, away otherwise.
        platform::UndoManager &manager = AppDelegate::undoManager();
        if (manager.canRedo() && !redoFlag())
            manager.redo();
        else
            manager.undo();
        AppDelegate::postUpdateUndoRedo();
        return;
    }
    addSublayerToContainerAllowAnim(layer, false);
    fadeOutLayerFullCleanUp(layer, false);
}

// ---------------------------------------------------------------------------------------------------------------
// Fading

void MRKODraw::fadeOutLayerFullCleanUp(const platform::LayerPtr &layer, bool fullCleanUp)
{
    if (!layer)
        return;
    // Weak, so a layer that goes away before its fade ends is not kept alive by its own completion.
    const std::weak_ptr<platform::Layer> weak = layer;
    const QPointer<MRKODraw> self(this);
    platform::Transaction::begin();
    platform::Transaction::setCompletionBlock([self, weak, fullCleanUp] {
        const platform::LayerPtr faded = weak.lock();
        if (!self || !faded)
            return;
        self->removeFadedLayerIfComplete(faded);
        if (fullCleanUp && self->m_layerOrder)
            self->m_layerOrder->forgetLayer(faded.get());
    });
    platform::BasicAnimation fade(QStringLiteral("opacity"));
    fade.setFromValue(1.0);
    fade.setToValue(0.0);
    fade.setDuration(inkora::liveSettings().fadeTime);
    fade.setFillMode(platform::Animation::FillMode::Forwards);
    fade.setRemovedOnCompletion(false);
    layer->addAnimation(fade, kFadeOutKey);
    platform::Transaction::commit();
}

void MRKODraw::removeFadedLayerIfComplete(const platform::LayerPtr &layer)
{
    // An interrupted fade (repeat, undo) leaves the drawing where it is.
    if (inkora::liveSettings().blinkingRepeat || layer->presentationOpacity() < kFadedOpacity) {
        platform::TransactionScope transaction(true);
        layer->removeFromSuperlayer();
    }
    if (const platform::Event *current = platform::EventQueue::shared().currentEvent())
        selectWithEvent(*current);
}

void MRKODraw::animateLayersFade(const std::vector<platform::LayerPtr> &layers)
{
    if (layers.empty() || !m_drawingsRoot)
        return;
    const platform::LayerPtr image = MRKOUtils::compositeOfLayers(layers);
    if (!image)
        return;
    {
        platform::TransactionScope transaction(true);
        image->setZPosition(0);
        m_drawingsRoot->insertSublayerBelow(image, m_layersContainer.get());
    }
    fadeOutLayerFullCleanUp(image, false);
}

// ---------------------------------------------------------------------------------------------------------------
// Freeze and fade

void MRKODraw::setDissolveMode(qint64 mode)
{
    removeStaticSelectionIfNeeded();
    removeTextViewAndUndoActionsIfNeeded();
    m_dissolveMode = mode;
    if (mode == MRKODissolveModeFade && hasLayers()) {
        makeCompositeAnimated(true);
        return;
    }
    MRKOHolder &holder = MRKOHolder::sharedHolder();
    const platform::LayerPtr last = holder.layer();
    // Only the canvas that holds the last drawing makes it recoverable; every canvas is switched in turn.
    if (mode == MRKODissolveModeFreeze && last && holder.draw() == this && !OpaqueContent::isCompositeLayer(*last)) {
        OpaqueContent::assingCompositeName(*last);
        platform::UndoManager &manager = AppDelegate::undoManager();
        manager.setGroupsByEvent(false);
        manager.beginUndoGrouping();
        registerCanvasUndo(QStringLiteral("Add Layer"), [this, last] { undoRemoveLayer(last); });
        manager.endUndoGrouping();
        manager.beginUndoGrouping();
        registerCanvasUndo(QStringLiteral("Remove Layer"),
                           [this, last] { undoAddLayerToIndex(last, MRKOLayerOrder::kNotFound); });
        manager.endUndoGrouping();
        manager.setGroupsByEvent(true);
    }
    AppDelegate::postUpdateUndoRedo();
}

void MRKODraw::makeCompositeAnimated(bool animated)
{
    if (!m_layerOrder)
        return;
    const std::vector<platform::LayerPtr> drawings = layers();
    // The composite comes first: without it the drawings stay as they are.
    const platform::LayerPtr composite = compositeLayer(drawings);
    if (!composite) {
        AppDelegate::postUpdateUndoRedo();
        return;
    }
    for (const platform::LayerPtr &layer : drawings)
        m_layerOrder->forgetLayer(layer.get());
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->resetCounterOnProxyDoc();

    platform::UndoManager &manager = AppDelegate::undoManager();
    manager.setGroupsByEvent(false);
    manager.beginUndoGrouping();
    registerCanvasUndo(QStringLiteral("Add Layer"), [this, composite] { undoRemoveLayer(composite); });
    manager.endUndoGrouping();
    manager.beginUndoGrouping();
    registerCanvasUndo(QStringLiteral("Remove Layer"),
                       [this, composite] { undoAddLayerToIndex(composite, MRKOLayerOrder::kNotFound); });
    manager.endUndoGrouping();
    manager.setGroupsByEvent(true);

    MRKOHolder &holder = MRKOHolder::sharedHolder();
    holder.setLayer(composite);
    holder.setDraw(this);
    if (animated) {
        addSublayerToContainerAllowAnim(composite, false);
        fadeOutLayerFullCleanUp(composite, false);
    } else {
        platform::TransactionScope transaction(true);
        composite->removeFromSuperlayer();
    }
    AppDelegate::postUpdateUndoRedo();
}

platform::LayerPtr MRKODraw::compositeLayer(const std::vector<platform::LayerPtr> &layers)
{
    if (layers.empty())
        return nullptr;
    if (layers.size() == 1 && OpaqueContent::isCompositeLayer(*layers.front())) {
        qCDebug(lcCanvas) << "compositeLayer: Layer already is composite";
        return layers.front();
    }
    QRectF united = layers.front()->frame();
    for (const platform::LayerPtr &layer : layers)
        united = united.united(layer->frame());
    const QRectF rect = platform::floorOriginCeilSize(united);
    const double scale = m_displayScale;
    const double width = std::ceil(rect.width() * scale), height = std::ceil(rect.height() * scale);
    // The bitmap first: when it cannot be made the drawings have not moved yet.
    std::unique_ptr<platform::BitmapContext> context;
    if (width >= 1 && height >= 1 && width <= INT_MAX && height <= INT_MAX)
        context = platform::BitmapContext::create(int(width), int(height));
    if (!context) {
        qCWarning(lcCanvas) << "compositeLayer: CGContextRef Create Failed";
        return nullptr;
    }
    const platform::LayerPtr composite = platform::Layer::create();
    platform::TransactionScope transaction(true);
    composite->setFrame(rect);
    composite->setContentsScale(scale);
    for (const platform::LayerPtr &layer : layers) {
        composite->addSublayer(layer);
        layer->removeAllAnimations();
    }
    context->scaleCTM(scale, scale);
    context->translateCTM(-rect.x(), -rect.y());
    context->draw([&composite](QPainter &painter) { composite->renderInContext(painter); });
    composite->setContents(std::make_shared<const QImage>(context->makeImage()));
    composite->setSublayers({});
    composite->setZPosition(-1);
    OpaqueContent::assingCompositeName(*composite);
    return composite;
}

// ---------------------------------------------------------------------------------------------------------------
// Clearing

bool MRKODraw::layerContainerHasLayers() const
{
    return m_layersContainer && !m_layersContainer->sublayers().empty();
}

bool MRKODraw::shouldCancelClearAction()
{
    if (const platform::LayerPtr selected = staticSelectionLayer()) {
        undoRemoveLayer(selected);
        return true;
    }
    inkora::MultipleMove &move = inkora::multipleMove();
    if (!move.exists() || move.owner != this)
        return false;
    if (move.isTravelling()) {
        // The sources come home first; a copy's copies just go.
        const std::vector<platform::LayerPtr> sources = move.copy ? std::vector<platform::LayerPtr>() : move.leftBehind;
        cancelMultipleMoveIfNeeded();
        if (!sources.empty())
            undoRemoveLayers(sources);
        return true;
    }
    undoRemoveLayers(move.moving);
    finalizeMultipleMove();
    return true;
}

void MRKODraw::clearCanvas()
{
    if (shouldCancelClearAction())
        return;
    const inkora::LiveSettings &live = inkora::liveSettings();
    if (hasLayers() && live.takeSnapshotOnClearCanvas)
        inkora::addSnapshotOfCanvasBeforeClear(*this);
    if (m_dissolveMode == MRKODissolveModeFreeze && hasLayers()) {
        if (live.fadeClearScreenInFreezeMode) {
            const std::vector<platform::LayerPtr> source =
                m_layersToFade.empty() ? m_layersContainer->sublayers() : m_layersToFade;
            animateLayersFade(OpaqueContent::layersCopyFromArray(source));
            m_layersToFade.clear();
        }
        // The drawings that stay; one still fading from fade mode goes by itself.
        const std::vector<platform::LayerPtr> drawings = layers();
        m_layerOrder->performUserAction(QStringLiteral("Remove Layers"),
                                        [this, &drawings] { undoRemoveLayers(drawings); });
    } else if (m_dissolveMode == MRKODissolveModeFade) {
        clearLayerContainerIfNeeded();
    }
    if (const platform::Event *current = platform::EventQueue::shared().currentEvent())
        selectWithEvent(*current);
}

void MRKODraw::clearCanvasAuxillary()
{
    if (inkora::liveSettings().removeTimersWhenClearCanvas)
        removeAllTimersIfNeeded();
}

void MRKODraw::clearLayerContainerIfNeeded()
{
    if (layerContainerHasLayers())
        removeAllLayersFromLayerContainer();
    if (hasLayers()) {
        qCDebug(lcCanvas) << "m_layers removeAllObjects";
        const std::vector<platform::LayerPtr> drawings = layers();
        for (const platform::LayerPtr &layer : drawings)
            m_layerOrder->forgetLayer(layer.get());
    }
}

void MRKODraw::removeAllLayersFromLayerContainer()
{
    if (!m_layersContainer)
        return;
    const std::vector<platform::LayerPtr> all = m_layersContainer->sublayers();
    platform::TransactionScope transaction(true);
    for (const platform::LayerPtr &layer : all)
        layer->removeFromSuperlayer();
}

void MRKODraw::forceClearCanvasAndCleanUpUndo()
{
    if (shouldCancelClearAction())
        return;
    clearCanvas();
    clearCanvasAuxillary();
    platform::UndoManager &manager = AppDelegate::undoManager();
    const QPointer<MRKODraw> self(this);
    auto removeActions = [self] {
        if (!self)
            return;
        AppDelegate::undoManager().removeAllActionsWithTarget(static_cast<QObject *>(self.data()));
        if (self->m_layerOrder)
            AppDelegate::undoManager().removeAllActionsWithTarget(static_cast<const void *>(self->m_layerOrder.get()));
    };
    // Removing actions from a group that is still open would unbalance it: wait until it has closed.
    if (manager.groupingLevel() == 0)
        removeActions();
    else
        platform::RunLoop::main().performAfterDelay(this, QStringLiteral("removeAllActionsWithTarget"), 0,
                                                    removeActions);
}
