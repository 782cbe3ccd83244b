#include "app/AppDelegate.h"
#include "app/MRKOGreenStatusImageView.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"
#include "platform/UndoManager.h"
#include "remote/MRKOConPopover.h"
#include "remote/MRKOPositionController.h"
#include "remote/MRKOUDPController.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

#include <QMenu>

#include <cmath>

void AppDelegate::loadUDPController()
{
    if (!m_remoteObservers.empty())
        return;
    (void)MRKOUDPController::sharedController();
    (void)MRKOPositionController::sharedController();
    platform::NotificationCenter &center = platform::NotificationCenter::defaultCenter();
    QPointer<AppDelegate> self(this);
    m_remoteObservers.push_back(center.addObserver(kMRKODidConnectWithDevice, nullptr, [self](const auto &) {
        if (self)
            self->didConnectWithDevice();
    }));
    m_remoteObservers.push_back(center.addObserver(kMRKODidDisconnectWithDevice, nullptr, [self](const auto &) {
        if (self)
            self->didDisconnectWithDevice();
    }));
    m_remoteObservers.push_back(center.addObserver(kMRKODidFindDevice, nullptr, [self](const auto &notification) {
        if (self)
            self->didFindDevice(notification.userInfo);
    }));
}

void AppDelegate::toggleInkora()
{
    if (isActiveAndShown())
        closeAllDrawableScreens();
    else
        activateInkora();
}

void AppDelegate::changeHue(float hue)
{
    // The hue comes from the network: a value that is no number is dropped, one outside 0...1 wraps round.
    if (!std::isfinite(hue)) {
        qCWarning(lcApp) << "changeHue: the hue is not a number; the hue stays";
        return;
    }
    double wrapped = hue;
    if (wrapped < 0 || wrapped > 1)
        wrapped -= std::floor(wrapped);
    if (!isActiveAndShown()) {
        MRKODraw::setHue(wrapped);
        MRKOUtils::userDefaults().setDouble(wrapped, QStringLiteral("HueSavedKey"));
        return;
    }
    MRKOTools *toolBar = activeToolBar();
    if ((toolBar ? toolBar->colorType() : m_colorType) != MRKOColorTypeRainbow) {
        // The custom colour takes the hue with its own saturation and brightness.
        double unused = 0;
        double saturation = 0;
        double brightness = 0;
        inkora::srgbToHsb(MRKOToolColor::toolColor().color(), &unused, &saturation, &brightness);
        const inkora::SrgbColor color =
            OnOffColor::rainbowColorWithHueSaturationBrightness(wrapped, saturation, brightness);
        if (toolBar)
            toolBar->makeNewColor(color);
        else
            MRKOToolColor::toolColor().setColor(color);
        return;
    }
    MRKODraw::setHue(wrapped);
    for (MRKODraw *canvas : drawViews())
        canvas->colorBallNeedUpdate();
}

MRKOInkoraState AppDelegate::inkoraState() const
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    MRKOInkoraState state;
    state.toolType = quint8(defaults.integerForKey(QStringLiteral("ToolTypeKey")));
    state.colorType = quint8(defaults.integerForKey(QStringLiteral("ColorTypeKey")));
    state.thickness = quint8(defaults.integerForKey(QStringLiteral("AllToolsThicknessKey")));
    state.dissolveMode = quint8(defaults.integerForKey(QStringLiteral("DissolveModeKey")));
    state.toolColor = OnOffColor::uint32HexOpaqueAlpha(MRKOToolColor::toolColor().color());
    state.hue = float(savedHue());
    state.undoMask = undoMask();
    state.toolbarShown = m_currentNoToolbar ? 0 : 1;
    state.overlayShown = isActiveAndShown() ? 1 : 0;
    state.screenCount = quint8(platform::services().screens->screens().size());
    state.activeScreenIndex = quint8(activeScreenIndex());
    return state;
}

quint8 AppDelegate::undoMask() const
{
    platform::UndoManager &undo = undoManager();
    const MRKOHolder &holder = MRKOHolder::sharedHolder();
    const MRKODraw *active = activeDrawView();
    return quint8((undo.canUndo() ? 2 : 0) + (undo.canRedo() ? 4 : 0) + (holder.layer() && holder.draw() ? 8 : 0) +
                  (active && active->dissolveMode() == 1 ? 16 : 0));
}

qint64 AppDelegate::activeScreenIndex() const
{
    const MRKODraw *view = MRKOPositionController::sharedController().view();
    const QList<MRKOWindowController *> controllers = windowControllersArray();
    qint64 index = 0;
    for (qsizetype i = 0; i < controllers.size(); ++i) {
        if (view && controllers.at(i)->drawView() == view)
            index = i;
    }
    m_lastActiveScreen = index;
    return m_lastActiveScreen;
}

void AppDelegate::makeScreenActiveAtIndex(qint64 index)
{
    const QList<MRKOWindowController *> controllers = windowControllersArray();
    const qint64 chosen = index < controllers.size() ? index : 0;
    if (chosen < controllers.size())
        MRKOPositionController::sharedController().setView(controllers.at(chosen)->drawView());
    m_lastActiveScreen = chosen;
}

void AppDelegate::makeNextScreenActive()
{
    const qsizetype count = windowControllersArray().size();
    if (count < 2)
        return;
    makeScreenActiveAtIndex((activeScreenIndex() + 1) % count);
}

void AppDelegate::sendOverlayStateToRemoteIfConnected(bool shown)
{
    if (m_remoteObservers.empty())
        return;
    MRKOUDPController &remote = MRKOUDPController::sharedController();
    if (!remote.isConnected())
        return;
    remote.sendIsAppShown();
    if (!shown)
        return;
    const MRKODraw *canvas = activeDrawView();
    remote.sendToolType(canvas ? canvas->toolType() : 0);
    remote.sendColorType(qint64(m_colorType));
    remote.sendDissolve(canvas ? canvas->dissolveMode() : 0);
    remote.sendHue();
}

void AppDelegate::didFindDevice(const QVariantMap &userInfo)
{
    prepareToLaunchIfNeeded();
    if (!userInfo.value(QStringLiteral("needPopover")).toBool())
        return;
    MRKOConPopover &popover = MRKOConPopover::sharedPopover();
    popover.setName(userInfo.value(QStringLiteral("device")).toString());
    // The popover stands beside the tray icon, on its upper edge; over the overlay while it is shown.
    platform::StatusItem *item = platform::services().statusItem.get();
    const QRectF anchor = item ? item->geometry() : QRectF();
    MRKODraw *canvas = isActiveAndShown() ? activeDrawView() : nullptr;
    if (canvas && !anchor.isEmpty()) {
        const QRect qt = platform::qtFromFrame(anchor);
        const QPoint topLeft = canvas->mapFromGlobal(qt.topLeft());
        const QRectF inCanvas(topLeft.x(), canvas->height() - topLeft.y() - qt.height(), qt.width(), qt.height());
        popover.showRelativeToRectOfViewPreferredEdge(inCanvas, canvas, platform::RectEdge::MaxY);
        return;
    }
    popover.showRelativeToScreenRectPreferredEdge(anchor, platform::RectEdge::MaxY);
}

void AppDelegate::didConnectWithDevice()
{
    MRKOGreenStatusImageView::statusAir();
    m_connectedWithDevice = true;
    updateStatusBarPhase();
}

void AppDelegate::didDisconnectWithDevice()
{
    MRKOGreenStatusImageView::statusNormal();
    m_connectedWithDevice = false;
    updateStatusBarPhase();
}

void AppDelegate::addConnectionPartForMenu(QMenu &menu)
{
    if (m_remoteObservers.empty())
        return;
    const MRKOUDPController &remote = MRKOUDPController::sharedController();
    if (remote.isConnected() || remote.isConnectingProcess()) {
        menu.addSeparator();
        QAction *item = menu.addAction(QStringLiteral("Disconnect %1").arg(remote.deviceName()));
        connect(item, &QAction::triggered, this, [this] { disconnectMenuItemSelected(); });
        return;
    }
    const QStringList devices = remote.devices();
    if (devices.isEmpty())
        return;
    menu.addSeparator();
    QAction *item = menu.addAction(QStringLiteral("Connect to %1").arg(devices.last()));
    item->setData(devices.last());
    connect(item, &QAction::triggered, this, [this, item] { connectMenuItemSelected(item->data().toString()); });
}

void AppDelegate::connectMenuItemSelected(const QString &deviceName)
{
    if (!deviceName.isEmpty())
        (void)MRKOUDPController::sharedController().connectToDeviceWithName(deviceName);
}

void AppDelegate::disconnectMenuItemSelected()
{
    MRKOUDPController::sharedController().disconnect();
}
