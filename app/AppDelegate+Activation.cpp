#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOFrontmostApp.h"
#include "app/MRKOXPCController.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKODrawContentViewController.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Event.h"
#include "platform/EventQueue.h"
#include "platform/Screens.h"
#include "platform/UndoManager.h"
#include "remote/MRKOPositionController.h"
#include "settings/MRKOGhostModePopover.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

QString screenDisabledKey(qint64 index)
{
    return QStringLiteral("screenDisabled_%1").arg(index);
}

constexpr quint64 kLeftMouseMask = 70; // left down, up and dragged

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Showing and hiding

void AppDelegate::runInkora(const platform::Event *sender)
{
    if (isActiveAndShown())
        closeAllDrawableScreens();
    else
        activateInkoraNoToolbar(false);
    // A shortcut flashes the status item at once.
    if (sender)
        highlightStatusBarButton();
}

void AppDelegate::runInkoraWithoutToolbar(const platform::Event *sender)
{
    if (isActiveAndShown())
        closeAllDrawableScreens();
    else
        activateInkoraNoToolbar(true);
    // A shortcut flashes the status item at once.
    if (sender)
        highlightStatusBarButton();
}

void AppDelegate::activateInkora()
{
    activateInkoraNoToolbar(m_currentNoToolbar);
}

void AppDelegate::activateInkoraWithToolbarIfNeeded()
{
    if (!isActiveAndShown())
        activateInkoraNoToolbar(false);
    else if (m_currentNoToolbar)
        showHideToolbar(nullptr);
}

void AppDelegate::activateInkoraNoToolbar(bool noToolbar)
{
    if (isActiveAndShown()) {
        qCInfo(lcApp) << "activateInkoraNoToolbar: Already Shown. return;";
        return;
    }
    m_currentNoToolbar = noToolbar;
    m_currentActivateTools = MRKOUtils::userDefaults().boolForKey(QStringLiteral("activateToolsKey"));
    setIsShownToYES();
    m_wasShown = true;
    removeUnhideAppNotifications();
    removeBecomeActiveAppNotifications();
    registerApplicationShortCuts();
    setUpFlagMonitors();
    setUpEventTapMonitor();
    if (!m_windowControllers.empty()) {
        for (MRKODraw *canvas : drawViews())
            canvas->colorBallNeedUpdate();
        MRKOWindowController *active = activeWindowController();
        if (active->toolsHidden() != m_currentNoToolbar)
            active->setToolsHidden(m_currentNoToolbar);
        for (const auto &controller : m_windowControllers) {
            if (!controller->window()->isVisible())
                controller->showWindow();
        }
    } else {
        for (const platform::ScreenInfo &screen : overlayScreens())
            makeScreenDrawableShow(screen, true);
        if (m_isWhiteboard)
            startWhiteboard();
        updateProxyDocIfNeeded();
    }
    makeScreenActiveAtIndex(m_lastActiveScreen);
    if (needToShowNotification()) {
        // The tool is read when the indicator is asked for.
        QPointer<AppDelegate> self(this);
        platform::DispatchQueue::main().after(0.1, [self] {
            if (!self)
                return;
            if (const MRKODraw *canvas = self->activeDrawView())
                MRKOXPCController::sharedXPCController()->showToolForToolType(canvas->toolType());
        });
    }
    platform::DispatchQueue::main().after(0.2, [] { MRKOFrontmostApp::updateFrontmostApp(); });
    if (MRKODraw *canvas = activeDrawView())
        setColorType(quint64(canvas->colorType()));
    sendOverlayStateToRemoteIfConnected(true);
    if (m_isPinOnTop)
        startPinOnTop();
    else
        updateStatusBarPhase();
    // Only a manager that exists can hold drawings to put back; the stores stay closed until shots are taken.
    if (MRKOSnapshotManager::isMade())
        MRKOSnapshotManager::sharedSnapshotManager().loadBackedUpSnapshotsToCanvasIfNeeded();
    // The click that showed the overlay draws nothing.
    platform::EventQueue::shared().discardEventsMatchingMask(kLeftMouseMask);
}

void AppDelegate::activateWithGhostMode()
{
    // Ghost mode shows neither the tool panel nor the helper's indicator.
    const bool keepWO = m_keepTouchBarWOToolbar;
    const bool keepW = m_keepTouchBarWToolbar;
    const quint64 notifications = m_notifications;
    m_keepTouchBarWOToolbar = false;
    m_keepTouchBarWToolbar = false;
    m_notifications = 2;
    MRKOGhostModePopover::disableGhostModePopover();
    activateInkoraNoToolbar(true);
    setPinOnTop(true);
    MRKOGhostModePopover::enableGhostModePopover();
    m_keepTouchBarWOToolbar = keepWO;
    m_keepTouchBarWToolbar = keepW;
    m_notifications = notifications;
}

void AppDelegate::closeAllDrawableScreens()
{
    MRKODraw::cancelMultipleMoveIfNeeded();
    MRKODraw::removeTextViewAndUndoActionsIfNeeded();
    MRKOSnapshotManager::hidePanelIfNeeded();
    // A stroke in progress ends by a synthetic release before anything is torn down.
    stopDrawingIfNeeded();
    removeAllDarkOverlaysIfNeeded();
    removeAuxActionIfNeeded();
    unregisterApplicationShortCuts();
    removeFlagMonitorsIfNeeded();
    suspendEventTapMonitorIfNeeded();
    if (m_clearScreenWhenHides)
        clearCanvasWithEvent(nullptr);
    const MRKODraw *active = activeDrawView();
    if (!active || active->dissolveMode() == 0) {
        forceRemoveAllWindowControllers();
    } else if (shouldRemoveAllWindowsToPerformScreenChanges()) {
        qCInfo(lcApp).noquote() << QStringLiteral("\nScreen frame origins are not equal in some windows.%1\nForce "
                                                  "Remove All Windows To Perform Screen Changes.")
                                       .arg(QString(18, QLatin1Char(' ')));
        MRKOScreensController::performChangesInFreezeModeNeedActivate(false);
    } else {
        for (const auto &controller : m_windowControllers) {
            if (MRKODraw *canvas = controller->drawView())
                canvas->saveSettingsIfNeeded();
        }
        hideApplication();
        setUnhideAppNotifications();
    }
    setBecomeActiveAppNotifications();
    setIsShownToNO();
    platform::DispatchQueue::main().after(0.2, [] { MRKOFrontmostApp::updateFrontmostApp(); });
    sendOverlayStateToRemoteIfConnected(false);
    updateStatusBarPhase();
}

void AppDelegate::forceRemoveAllWindowControllers()
{
    for (const auto &controller : m_windowControllers) {
        if (MRKODraw *canvas = controller->drawView()) {
            canvas->cleanUpMonitorsAndQuit([] {});
            canvas->saveSettingsIfNeeded();
        }
    }
    m_windowControllers.clear();
    hideApplication();
    undoManager().removeAllActions();
}

void AppDelegate::setIsShownToYES()
{
    setActiveAndShown(true);
}

void AppDelegate::setIsShownToNO()
{
    setActiveAndShown(false);
}

void AppDelegate::makeScreenDrawableShow(const platform::ScreenInfo &screen, bool show)
{
    const QRectF rect(QPointF(0, 0), screen.frame.size());
    auto window = std::make_unique<MRKOWindow>(rect, screen);
    window->setLevel(MRKOAppLevel::appLevel().level());
    if (MRKOGhostModePopover::ghostModePopoverDisabled())
        window->setIgnoresMouseEvents(true);
    MRKOWindow *windowPointer = window.get();
    auto controller = std::make_unique<MRKOWindowController>(std::move(window));
    controller->setScreenNumber(screen.number);
    controller->setActivateTools(m_currentActivateTools);
    controller->setToolsHidden(m_currentNoToolbar);
    const qint64 index = qint64(m_windowControllers.size());
    const double scale = screen.backingScale > 0 ? screen.backingScale : 1.0;
    auto *canvas = new MRKODraw(rect, scale, windowPointer); // child of the window
    MRKOPositionController &remote = MRKOPositionController::sharedController();
    if (remote.trackingIsOn() && index == m_lastActiveScreen)
        canvas->setBallPosition(remote.pointForView(canvas));
    canvas->setIndex(index);
    canvas->updateWhiteboardSettings();
    MRKODrawContentViewController::install(*windowPointer, *canvas);
    windowPointer->setDrawView(canvas);
    controller->setDrawView(canvas);
    canvas->colorBallNeedUpdate();
    if (overlayScreens().size() >= 2)
        controller->setScreenDisabled(MRKOUtils::userDefaults().boolForKey(screenDisabledKey(index)));
    if (show)
        controller->showWindow();
    m_windowControllers.push_back(std::move(controller));
}

void AppDelegate::hideApplication()
{
    for (const auto &controller : m_windowControllers)
        controller->window()->orderOut();
}

QList<platform::ScreenInfo> AppDelegate::overlayScreens() const
{
    return MRKOScreensController::screens();
}

// ---------------------------------------------------------------------------------------------------------------
// Ghost mode and whiteboard

void AppDelegate::setPinOnTop(bool pinOnTop)
{
    m_isPinOnTop = pinOnTop;
    if (pinOnTop) {
        startPinOnTop();
        MRKOGhostModePopover::showIfNeeded();
    } else {
        endPinOnTop();
    }
}

void AppDelegate::togglePinOnTop()
{
    setPinOnTop(!m_isPinOnTop);
}

void AppDelegate::startPinOnTop()
{
    if (!MRKOFrontmostApp::isSelfAppEffective())
        unregisterApplicationShortCuts();
    for (const auto &controller : m_windowControllers) {
        if (MRKODraw *canvas = controller->drawView()) {
            canvas->hideBall();
            if (!wantsCursorHaloToShowInGhostMode())
                canvas->hideBigBall();
        }
        MRKOWindow *window = controller->window();
        if (!window->ignoresMouseEvents()) {
            window->setIgnoresMouseEvents(true);
            if (m_isWhiteboard && controller->drawView())
                controller->drawView()->whiteBackSemiTransparent();
        }
    }
    if (!m_ghostModeObserver) {
        m_ghostModeObserver = std::make_unique<QObject>();
        connect(qApp, &QGuiApplication::applicationStateChanged, m_ghostModeObserver.get(),
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        inkraApplicationDidBecomeActive();
                    else
                        inkraApplicationDidResignActive();
                });
    }
    updateStatusBarPhase();
}

void AppDelegate::endPinOnTop()
{
    enableMouseEventsIfNeeded();
    m_ghostModeObserver.reset();
    if (!isActiveAndShown())
        return;
    registerApplicationShortCuts();
    (void)MRKOFrontmostApp::makeFrontmostIfNeeded();
    updateStatusBarPhase();
    if (MRKODraw *canvas = drawViewForMouseLocation()) {
        canvas->colorBallNeedUpdate();
        if (canvas->isMouseIn()) {
            canvas->showBall();
            canvas->showBigBall();
        }
    }
}

void AppDelegate::inkraApplicationDidBecomeActive()
{
    if (m_isPinOnTop)
        registerApplicationShortCuts();
}

void AppDelegate::inkraApplicationDidResignActive()
{
    if (!m_isPinOnTop)
        return;
    unregisterApplicationShortCuts();
    removeAllDarkOverlaysIfNeeded();
}

void AppDelegate::setWhiteboard(bool whiteboard)
{
    m_isWhiteboard = whiteboard;
    if (whiteboard)
        startWhiteboard();
    else
        endWhiteboard();
}

void AppDelegate::startWhiteboard()
{
    for (MRKODraw *canvas : drawViews())
        canvas->makeWhiteBack();
    validateAllWhiteboards();
}

void AppDelegate::endWhiteboard()
{
    for (MRKODraw *canvas : drawViews())
        canvas->removeWhiteBack();
}

// ---------------------------------------------------------------------------------------------------------------
// Per-display switches

void AppDelegate::useScreenToDraw(qint64 index)
{
    if (index < 0 || index >= qint64(m_windowControllers.size()))
        return;
    setScreenDisabledAtIndex(!m_windowControllers[size_t(index)]->screenDisabled(), index);
}

void AppDelegate::enableDrawingOnAllScreens()
{
    for (const auto &controller : m_windowControllers) {
        if (const MRKODraw *canvas = controller->drawView())
            setScreenDisabledAtIndex(false, canvas->index());
    }
}

void AppDelegate::setScreenDisabledAtIndex(bool disabled, qint64 index)
{
    if (index < 0 || index >= qint64(m_windowControllers.size()))
        return;
    MRKOWindowController &controller = *m_windowControllers[size_t(index)];
    controller.setScreenDisabled(disabled);
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    if (disabled) {
        defaults.setBool(true, screenDisabledKey(index));
        // Clearing the canvas with its undo history comes with the clearing work.
        if (m_isWhiteboard && controller.drawView())
            controller.drawView()->removeWhiteBack();
    } else {
        defaults.removeObjectForKey(screenDisabledKey(index));
        if (MRKODraw *canvas = controller.drawView(); m_isWhiteboard && canvas && !canvas->whiteboardIsHidden())
            canvas->makeWhiteBack();
    }
}

void AppDelegate::validateDisabledScreens()
{
    for (const auto &controller : m_windowControllers) {
        if (!controller->screenDisabled())
            return;
    }
    if (MRKOWindowController *active = activeWindowController()) {
        active->setScreenDisabled(false);
        MRKOUtils::userDefaults().removeObjectForKey(screenDisabledKey(0));
    }
}

void AppDelegate::useScreenForWhiteboard(qint64 index)
{
    if (index < 0 || index >= qint64(m_windowControllers.size()))
        return;
    MRKODraw *canvas = m_windowControllers[size_t(index)]->drawView();
    if (!canvas)
        return;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    const QString key = QStringLiteral("wbHidden_%1").arg(index);
    if (canvas->whiteboardIsHidden()) {
        canvas->enableWhiteboard();
        defaults.removeObjectForKey(key);
        if (m_isWhiteboard)
            canvas->makeWhiteBack();
    } else {
        canvas->disableWhiteboard();
        defaults.setBool(true, key);
        if (m_isWhiteboard)
            canvas->hideWhiteBoardSelected();
    }
    validateAllWhiteboards();
}

void AppDelegate::updateDrawBaseLayerInAllControllers()
{
    for (const auto &controller : m_windowControllers) {
        if (MRKODraw *canvas = controller->drawView())
            canvas->updateDrawBaseLayerOrMakeBackingLayer();
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Queries

bool AppDelegate::canReceiveMouseActions() const
{
    const MRKOWindowController *active = activeWindowController();
    return isActiveAndShown() && active && !active->window()->ignoresMouseEvents();
}

QList<MRKOWindowController *> AppDelegate::windowControllersArray() const
{
    QList<MRKOWindowController *> controllers;
    for (const auto &controller : m_windowControllers)
        controllers.append(controller.get());
    return controllers;
}

MRKOWindowController *AppDelegate::activeWindowController() const
{
    return m_windowControllers.empty() ? nullptr : m_windowControllers.front().get();
}

MRKODraw *AppDelegate::activeDrawView() const
{
    const MRKOWindowController *active = activeWindowController();
    return active ? active->drawView() : nullptr;
}

QList<MRKOWindowController *> AppDelegate::windowControllersWithoutWhiteboards() const
{
    QList<MRKOWindowController *> controllers;
    for (const auto &controller : m_windowControllers) {
        const MRKODraw *canvas = controller->drawView();
        if (!controller->screenDisabled() && !(canvas && canvas->hasWhiteBack()))
            controllers.append(controller.get());
    }
    return controllers;
}

MRKOWindowController *AppDelegate::windowControllerForPoint(QPointF point) const
{
    if (m_windowControllers.empty())
        return nullptr;
    MRKOWindowController *found = nullptr;
    for (const auto &controller : m_windowControllers) {
        const QRectF frame = controller->window()->frame();
        // Inclusive of the top and right edges, where the pointer can rest on a display.
        if (point.x() >= frame.left() && point.x() <= frame.right() && point.y() >= frame.top() &&
            point.y() <= frame.bottom())
            found = controller.get();
    }
    return found ? found : activeWindowController();
}

MRKOWindowController *AppDelegate::windowControllerForMouseLocation() const
{
    if (m_windowControllers.empty())
        return nullptr;
    return windowControllerForPoint(mouseLocation());
}

MRKOWindowController *AppDelegate::windowControllerForView(const QWidget *view) const
{
    const QWidget *window = view ? view->window() : nullptr;
    if (const auto *overlay = qobject_cast<const MRKOWindow *>(window); overlay && overlay->windowController())
        return overlay->windowController();
    const QRectF frame = MRKOWindow::frameOfScreen(window ? window->screen() : nullptr);
    return windowControllerForPoint(frame.center());
}

MRKODraw *AppDelegate::drawViewForMouseLocation() const
{
    const MRKOWindowController *controller = windowControllerForMouseLocation();
    return controller ? controller->drawView() : nullptr;
}

bool AppDelegate::hasAuxActions() const
{
    const MRKODraw *canvas = drawViewForMouseLocation();
    return canvas && canvas->auxAction() != 0;
}

MRKODraw *AppDelegate::drawViewWithDrawingInProgress() const
{
    for (const auto &controller : m_windowControllers) {
        MRKODraw *canvas = controller->drawView();
        if (canvas && canvas->drawingInProgress())
            return canvas;
    }
    return nullptr;
}

MRKODraw *AppDelegate::drawViewWithStaticSelection() const
{
    for (const auto &controller : m_windowControllers) {
        MRKODraw *canvas = controller->drawView();
        if (canvas && canvas->hasStaticSelectionLayer())
            return canvas;
    }
    return nullptr;
}

bool AppDelegate::shouldRemoveAllWindowsToPerformScreenChanges() const
{
    return std::any_of(m_windowControllers.begin(), m_windowControllers.end(),
                       [](const auto &controller) { return !controller->isScreenOriginsEqual(); });
}

QPointF AppDelegate::mouseLocation()
{
    return platform::pointFromQt(QCursor::pos());
}

// ---------------------------------------------------------------------------------------------------------------
// Action table

std::vector<MRKODraw *> AppDelegate::drawViews() const
{
    std::vector<MRKODraw *> views;
    for (const auto &controller : m_windowControllers) {
        if (MRKODraw *view = controller->drawView())
            views.push_back(view);
    }
    return views;
}

void AppDelegate::clearDrawViews(bool exclusion)
{
    // No kind of drawing is kept yet (badges and texts come with the text tool), so both clears are whole.
    Q_UNUSED(exclusion)
    for (MRKODraw *view : drawViews())
        view->clearCanvas();
}

void AppDelegate::registerActivationActions()
{
    setActionHandler(QStringLiteral("runInkora:"), [this](const platform::Event *e) { runInkora(e); });
    setActionHandler(QStringLiteral("runInkoraWithoutToolbar:"),
                     [this](const platform::Event *e) { runInkoraWithoutToolbar(e); });
    setActionHandler(QStringLiteral("togglePinOnTop:"), [this](const platform::Event *) { togglePinOnTop(); });
    setActionHandler(QStringLiteral("pinOnTopWithEvent:"), [this](const platform::Event *) { togglePinOnTop(); });
    QPointer<AppDelegate> self(this);
    setActionHandler(QStringLiteral("quitWithEvent:"), [self](const platform::Event *) {
        platform::DispatchQueue::main().async([self] {
            if (self)
                self->terminate();
        });
    });
    setActionHandler(QStringLiteral("terminate:"), [this](const platform::Event *) { terminate(); });
}
