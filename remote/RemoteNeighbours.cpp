#include "remote/RemoteNeighbours.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOInkoraState.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "remote/MRKOUDPController.h"
#include "tools/KVPopover.h"
#include "tools/MRKOTools.h"

#include <QWidget>

namespace inkora {

namespace {

// Runs a command of the delegate's action table; commands not built yet log one line.
void perform(const char *action)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    const QString name = QLatin1String(action);
    if (!delegate->respondsToAction(name)) {
        qCInfo(lcRemote).noquote() << QStringLiteral("%1 from the remote: no such command yet").arg(name);
        return;
    }
    delegate->performAction(name, nullptr);
}

class DefaultNeighbours final : public RemoteNeighbours
{
public:
    bool isActiveAndShown() override
    {
        const AppDelegate *delegate = AppDelegate::shared();
        return delegate && delegate->isActiveAndShown();
    }
    void toggleInkora() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->toggleInkora();
    }
    void undoWithEvent() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->undoWithEvent(nullptr);
    }
    void redoWithEvent() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->redoWithEvent(nullptr);
    }
    void repeatLayer() override { perform("repeatLastAction:"); }
    void nextThickness() override { perform("nextThickness:"); }
    void dissolveModeWithEvent() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->dissolveModeWithEvent(nullptr);
    }
    void makeNextScreenActive() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->makeNextScreenActive();
    }
    void showHideToolbar() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->showHideToolbar(nullptr);
    }
    void nextColorType() override { perform("nextColorType:"); }
    quint64 colorType() override
    {
        const AppDelegate *delegate = AppDelegate::shared();
        return delegate ? delegate->colorType() : 0;
    }
    void setColorType(quint64 colorType) override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->setColorType(colorType);
    }
    void clearCanvasWithEvent() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->clearCanvasWithEvent(nullptr);
    }
    bool darkOverlayIsActive() override { return false; } // no flashlight exists yet
    void toggleDarkOverlay() override { perform("flashlightWithEvent:"); }
    void removeAllDarkOverlaysIfNeeded() override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->removeAllDarkOverlaysIfNeeded();
    }
    void changeHue(float hue) override
    {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->changeHue(hue);
    }
    std::optional<QByteArray> inkoraState() override
    {
        const AppDelegate *delegate = AppDelegate::shared();
        if (!delegate)
            return std::nullopt;
        return MRKOInkoraStateUtils::encodeInkoraState(delegate->inkoraState());
    }
    quint8 undoMask() override
    {
        const AppDelegate *delegate = AppDelegate::shared();
        return delegate ? delegate->undoMask() : 0;
    }
    bool simulateArrowKeys() override
    {
        return MRKOUtils::userDefaults().integerForKey(QStringLiteral("SimulateArrowKeys")) == 1;
    }
    bool hasActiveToolBar() override
    {
        const AppDelegate *delegate = AppDelegate::shared();
        return delegate && delegate->activeToolBar();
    }
    void changeToolForced(quint64 toolType, bool forced) override
    {
        if (MRKOTools *toolBar = AppDelegate::shared() ? AppDelegate::shared()->activeToolBar() : nullptr)
            toolBar->changeToolForced(toolType, forced);
    }
    double colorPopoverHue() override
    {
        double hue = 0;
        double saturation = 0;
        double brightness = 0;
        inkora::srgbToHsb(KVPopover::sharedPopover().color(), &hue, &saturation, &brightness);
        return hue;
    }
    double canvasHue() override { return MRKODraw::hue(); }
    int screensCount() override { return int(platform::services().screens->screens().size()); }
    void openRemote() override
    {
        // The pane opens on the tool bar's side panel, the overlay shown with its tool bar first.
        AppDelegate *delegate = AppDelegate::shared();
        if (!delegate)
            return;
        delegate->activateInkoraWithToolbarIfNeeded();
        if (MRKOTools *toolBar = delegate->activeToolBar())
            toolBar->openRemote();
    }
    bool isTextEditing() override { return false; } // no text editor exists yet
    RemoteTextView *commonTextView() override { return nullptr; }
    void removeTextViewAndUndoActionsIfNeeded() override { MRKODraw::removeTextViewAndUndoActionsIfNeeded(); }
};

std::unique_ptr<RemoteNeighbours> &installed()
{
    static std::unique_ptr<RemoteNeighbours> s_neighbours;
    return s_neighbours;
}

} // namespace

RemoteNeighbours &remoteNeighbours()
{
    if (!installed())
        installed() = std::make_unique<DefaultNeighbours>();
    return *installed();
}

void setRemoteNeighbours(std::unique_ptr<RemoteNeighbours> neighbours)
{
    installed() = std::move(neighbours);
}

} // namespace inkora
