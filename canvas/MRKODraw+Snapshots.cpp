// What the canvas hands to the snapshot roll and what it does when a snapshot comes back.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/MRKOWhiteBoardColorController.h"
#include "canvas/MRKOWindow.h"
#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "foundation/MRKOUtils.h"
#include "objects/CALayer+OpaqueContent.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/UndoManager.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QClipboard>
#include <QGuiApplication>

#include <optional>

namespace {

const QString kApplySnapshot = QStringLiteral("Apply Snapshot");

} // namespace

std::vector<platform::LayerPtr> MRKODraw::activeLayersCopy() const
{
    return m_layersContainer ? OpaqueContent::subLayersCopy(*m_layersContainer) : std::vector<platform::LayerPtr>();
}

std::shared_ptr<MRKOSnapshot> MRKODraw::semiSnapshot() const
{
    const std::vector<platform::LayerPtr> drawings =
        m_layersContainer ? m_layersContainer->sublayers() : std::vector<platform::LayerPtr>();
    return MRKOSnapshot::snapshotWithLayers(drawings, QImage(), bounds(), m_index);
}

namespace {

/// The display of the canvas's window as the screen captures need it; none without a window.
std::optional<inkora::CaptureDisplay> captureDisplayOf(const QWidget &canvas, double scale)
{
    const auto *window = qobject_cast<const MRKOWindow *>(canvas.window());
    if (!window)
        return std::nullopt;
    const QList<platform::ScreenInfo> screens = platform::services().screens->screens();
    const QRectF frame = window->currentScreenFrame();
    return inkora::CaptureDisplay{frame, screens.isEmpty() ? frame : screens.first().frame, scale};
}

quint64 windowNumberOf(const QWidget &canvas)
{
    const auto *window = qobject_cast<const MRKOWindow *>(canvas.window());
    return window ? quint64(window->windowNumber()) : 0;
}

} // namespace

std::shared_ptr<MRKOSnapshot> MRKODraw::snapshot()
{
    QImage screen;
    if (const auto display = captureDisplayOf(*this, m_displayScale))
        screen = inkora::fullScreenRepWithWindowID(windowNumberOf(*this), *display, false);
    std::shared_ptr<MRKOSnapshot> shot =
        MRKOSnapshot::snapshotWithLayers(activeLayersCopy(), screen, bounds(), m_index);
    if (screen.isNull()) {
        // Without a screen image it is still a shot of the drawings, and is named as one.
        shot->setName(MRKOSnapshotManager::sharedSnapshotManager().snapshotName());
        shot->setDisplayScale(m_displayScale);
    }
    if (hasWhiteBack()) {
        const qint64 colorType = inkora::liveSettings().whiteBoardColorType;
        shot->setWhiteboard(true);
        shot->setWhiteboardColorType(colorType);
        shot->setWhiteboardLayout(quint64(m_wbLayout));
        if (colorType == 3)
            shot->setWhiteboardCustomColor(MRKOWhiteBoardColorController::colorController().whiteboardColor());
    }
    if (inkora::liveSettings().overallShadow)
        shot->setOverallShadow(true);
    return shot;
}

std::shared_ptr<MRKOSnapshot> MRKODraw::dazadUdiz()
{
    // The flashlight's portion is taken by the flashlight itself; here the whole screen with the drawings.
    const auto display = captureDisplayOf(*this, m_displayScale);
    QImage screen = display ? inkora::fullScreenRepWithWindowID(windowNumberOf(*this), *display, true) : QImage();
    if (screen.isNull()) {
        qCWarning(lcCanvas) << "dazadUdiz: the screen could not be captured; no DazadUdiz";
        return nullptr;
    }
    screen.setDevicePixelRatio(m_displayScale > 0 ? m_displayScale : 1.0);
    if (inkora::liveSettings().takeCopyDazadUdizToClipboard)
        QGuiApplication::clipboard()->setImage(screen);
    return MRKOSnapshot::snapshotWithLayers({}, screen, bounds(), m_index);
}

void MRKODraw::loadSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    if (!snapshot || snapshot->screenIndex() != m_index || !snapshot->hasLayers())
        return;
    removeStaticSelectionIfNeeded();
    if (m_dissolveMode == MRKODissolveModeFreeze) {
        undoSnapshot(snapshot);
    } else {
        clearLayerContainerIfNeeded();
        for (const platform::LayerPtr &layer : snapshot->layers()) {
            platform::LayerPtr copy = OpaqueContent::layerCopyWithPill(*layer);
            addSublayerToContainerAllowAnim(copy, true);
            fadeOutLayerFullCleanUp(copy, false);
        }
        fillHolderWithLastLayer();
    }
    AppDelegate::postUpdateUndoRedo();
}

void MRKODraw::undoSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    if (!snapshot || snapshot->isEqualToSnapshot(currentSnapshot().get()))
        return;
    prepareUndoSnapshot();
    applySnapshot(snapshot);
}

void MRKODraw::prepareUndoSnapshot()
{
    const std::shared_ptr<MRKOSnapshot> before = semiSnapshot();
    if (m_layerOrder) {
        const std::vector<platform::LayerPtr> drawings = layers();
        for (const platform::LayerPtr &layer : drawings)
            m_layerOrder->forgetLayer(layer.get());
    }
    // Undo and redo swap whole sets of drawings: the inverse of applying one is applying what was there before.
    registerCanvasUndo(kApplySnapshot, [this, before] { undoSnapshot(before); });
}

void MRKODraw::applySnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    if (!snapshot)
        return;
    removeTextViewAndUndoActionsIfNeeded();
    clearLayerContainerIfNeeded();
    removeStaticSelectionIfNeeded();
    const bool stored = !snapshot->screenBitmap().isNull();
    for (const platform::LayerPtr &layer : snapshot->layers()) {
        platform::LayerPtr drawing = stored ? OpaqueContent::layerCopyWithPill(*layer) : layer;
        if (!drawing)
            continue;
        drawing->removeFromSuperlayer();
        addSublayerToContainerAllowAnim(drawing, true);
        if (m_layerOrder)
            m_layerOrder->appendLayer(drawing);
    }
    if (stored)
        applyWhiteBoardFromSnapshotIfNeeded(snapshot);
    fillHolderWithLastLayer();
}

void MRKODraw::applyWhiteBoardFromSnapshotIfNeeded(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!snapshot || !delegate || !inkora::liveSettings().applySnapshotWithWhiteboard)
        return;
    if (!snapshot->whiteboard()) {
        if (delegate->isWhiteboardOn())
            delegate->whiteboardWithEvent(nullptr);
        return;
    }
    if (m_wbHidden) {
        enableWhiteboard();
        MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("wbHidden_%1").arg(m_index));
        // Already on, the whiteboard would otherwise stay off on this display until toggled.
        if (delegate->isWhiteboardOn())
            makeWhiteBack();
    }
    if (!delegate->isWhiteboardOn())
        delegate->whiteboardWithEvent(nullptr);
    whiteBoardLayoutSelected(qint64(snapshot->whiteboardLayout()));
    const qint64 colorType = snapshot->whiteboardColorType();
    if (colorType == 3 && snapshot->whiteboardCustomColor().isValid())
        MRKOWhiteBoardColorController::colorController().setWhiteboardColor(
            snapshot->whiteboardCustomColor().toQColor());
    whiteBoardColorSelected(colorType);
}

void MRKODraw::fillHolderWithLastLayer()
{
    MRKOHolder &holder = MRKOHolder::sharedHolder();
    holder.setDraw(this);
    holder.setLayer(layers().empty() ? nullptr : layers().back());
}

void MRKODraw::enableShadowOnLayerScale(platform::Layer &layer, double scale)
{
    if (!(scale > 0))
        scale = 1.0;
    layer.setShadowColor(QColor(0, 0, 0));
    layer.setShadowOpacity(1.0);
    layer.setShadowRadius(2 * scale);
    layer.setShadowOffset(QPointF(0, -scale));
}

void MRKODraw::disableShadowOnLayer(platform::Layer &layer)
{
    layer.setShadowColor(QColor());
    layer.setShadowOpacity(0);
}
