#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOFrontmostApp.h"
#include "app/MRKOPrevApp.h"
#include "app/MRKOXPCController.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOProxyDoc.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "objects/MRKOLowerThirdSettings.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/RawInput.h"
#include "platform/Services.h"
#include "platform/UndoManager.h"
#include "platform/WindowSystem.h"
#include "remote/MRKOUDPController.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorHueController.h"
#include "tools/MRKOToolColor.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// The launch completes once per process, whichever path gets there first.
bool s_launchCompleted = false;

// Turns the program's own modifier key presses into flags-changed events, passing every event on.
class LocalFlagsMonitor final : public QObject
{
public:
    explicit LocalFlagsMonitor(std::function<void(const platform::Event &)> handler) : m_handler(std::move(handler))
    {
        qApp->installEventFilter(this);
    }
    ~LocalFlagsMonitor() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_Menu:
            break;
        default:
            return false;
        }
        platform::Event flags;
        flags.type = platform::EventType::FlagsChanged;
        flags.modifierFlags = platform::modifierFlagsFromQt(key->modifiers());
        const auto handler = m_handler; // the handler may remove this monitor
        handler(flags);
        return false;
    }

private:
    std::function<void(const platform::Event &)> m_handler;
};

// Keeps a window-system monitor alive as a QObject, so both initial monitors are held alike.
class GlobalMonitorHolder final : public QObject
{
public:
    explicit GlobalMonitorHolder(std::unique_ptr<platform::RawInput::Monitor> monitor) : m_monitor(std::move(monitor))
    {}

private:
    std::unique_ptr<platform::RawInput::Monitor> m_monitor;
};

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Launch

void AppDelegate::applicationDidFinishLaunching()
{
    if (m_didFinishLaunching)
        return;
    m_didFinishLaunching = true;
    qCInfo(lcApp) << "applicationDidFinishLaunching:";
    if (!platform::services().windowSystem->hasCompositingManager())
        qCWarning(lcApp) << "applicationDidFinishLaunching: no compositing manager runs; the overlay will not be"
                            " transparent";
    if (MRKOUtils::disableFullLoadAtLaunch()) {
        makeInitialFlagMonitor();
        if (MRKOUtils::shouldEnterGhostModeAtLaunch()) {
            QPointer<AppDelegate> self(this);
            platform::DispatchQueue::main().after(0.5, [self] {
                if (self)
                    self->prepareToLaunchIfNeeded();
            });
        }
    } else {
        makeStatusBarItem();
        loadUDPController();
        prepareToLaunchIfNeeded();
    }
    if (!showWelcomeWindowIfNeeded())
        setBecomeActiveAppNotifications();
}

void AppDelegate::makeInitialFlagMonitor()
{
    makeStatusBarItem();
    setUpInitialMonitors();
    loadUDPController();
}

void AppDelegate::setUpInitialMonitors()
{
    removeInitialMonitorsIfNeeded();
    QPointer<AppDelegate> self(this);
    const auto handler = [self](const platform::Event &event) {
        if (self)
            self->initialHandleChangeFlag(event);
    };
    if (auto monitor =
            platform::services().rawInput->addMonitor(platform::eventMask(platform::EventType::FlagsChanged), handler))
        m_initialGlobalMonitor = std::make_unique<GlobalMonitorHolder>(std::move(monitor));
    m_initialLocalMonitor = std::make_unique<LocalFlagsMonitor>(handler);
}

void AppDelegate::removeInitialMonitorsIfNeeded()
{
    // Called from inside a monitor's handler: the monitors go once the handler has returned.
    if (!m_initialGlobalMonitor && !m_initialLocalMonitor)
        return;
    auto monitors = std::make_shared<std::pair<std::unique_ptr<QObject>, std::unique_ptr<QObject>>>(
        std::move(m_initialGlobalMonitor), std::move(m_initialLocalMonitor));
    platform::DispatchQueue::main().async([monitors] { monitors->first.reset(), monitors->second.reset(); });
}

void AppDelegate::initialHandleChangeFlag(const platform::Event &event)
{
    prepareToLaunchIfNeeded();
    if (!MRKOUtils::shouldEnterGhostModeAtLaunch())
        return;
    QPointer<AppDelegate> self(this);
    platform::DispatchQueue::main().async([self, event] {
        if (!self)
            return;
        // The canvas's pointer-entered handling and the ghost-mode modifier handling come with the modifier work.
        Q_UNUSED(event)
    });
}

void AppDelegate::prepareToLaunchIfNeeded()
{
    finishAppLaunching();
    removeInitialMonitorsIfNeeded();
}

void AppDelegate::finishAppLaunching()
{
    if (s_launchCompleted)
        return;
    QPointer<AppDelegate> self(this);
    platform::DispatchQueue::main().async([self] {
        if (!self || s_launchCompleted)
            return;
        s_launchCompleted = true;
        self->m_launchCompleted = true;
        self->applicationWillFinishLaunchingINKRA();
        self->applicationDidFinishLaunchingINKRA();
        // The status item's press now opens its menu (the status item's own work).
        if (MRKOUtils::shouldEnterGhostModeAtLaunch())
            self->activateWithGhostMode();
        qCInfo(lcApp) << "finishAppLaunching";
    });
}

void AppDelegate::applicationWillFinishLaunchingINKRA()
{
    updateAllSettings();
    (void)MRKOUtils::updatedFnShortcutsInGhostMode();
    (void)MRKOPrevApp::sharedPrevApp();
}

void AppDelegate::applicationDidFinishLaunchingINKRA()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    m_windowControllers.clear();
    undoManager().setLevelsOfUndo(int(std::max<qint64>(0, defaults.integerForKey(QStringLiteral("UndoSteps")))));
    registerCommonShortCuts();
    MRKOFrontmostApp::updateFrontmostApp();
    // Links to the helper, which registers it as the log-in item.
    (void)MRKOXPCController::sharedXPCController();
    MRKODraw::setHue(savedHue());
    QPointer<AppDelegate> self(this);
    m_toolColorFormatObserver = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKOToolColorFormatChangedNotification, &MRKOToolColor::toolColor(), [self](const auto &) {
            if (self)
                self->toolColorFormatChanged();
        });
    inkora::LiveSettings &live = inkora::liveSettings();
    live.blackAndWhite = defaults.integerForKey(QStringLiteral("BlackAndWhite"));
    live.colorWheelSaturation = defaults.doubleForKey(QStringLiteral("ColorWheelSaturation"));
    live.colorWheelBrightness = defaults.doubleForKey(QStringLiteral("ColorWheelBrightness"));
    KVPopover::sharedPopover().setColor(MRKOToolColor::toolColor().color());
    (void)MRKOColorHueController::sharedHueController();
    // The screens controller, the presentation clicker and the preferences are made by their own work when it
    // lands; the screen list is read at every showing until then.
    // The drawings left at the last quit come back at the first showing.
    if (wantsToSaveAndLoad())
        MRKOSnapshotManager::sharedSnapshotManager().loadCanvasFromDocumentsIfNeeded();
}

bool AppDelegate::showWelcomeWindowIfNeeded()
{
    if (MRKOUtils::userDefaults().boolForKey(QStringLiteral("FirstTimeRun")))
        return false;
    QPointer<AppDelegate> self(this);
    platform::DispatchQueue::main().after(0.5, [self] {
        if (self)
            self->showWelcomeWindow();
    });
    return true;
}

void AppDelegate::showWelcomeWindow()
{
    // Until the welcome window exists, its closing happens at once: re-activation is observed from here on.
    setBecomeActiveAppNotifications();
}

bool AppDelegate::isStartedByHelper()
{
    return false; // the helper starts us as an ordinary process; nothing tells it apart
}

// ---------------------------------------------------------------------------------------------------------------
// Re-activation

void AppDelegate::setBecomeActiveAppNotifications()
{
    m_becomeActiveObserved = true;
    if (m_appStateObserver)
        return;
    m_appStateObserver = std::make_unique<QObject>();
    connect(qApp, &QGuiApplication::applicationStateChanged, m_appStateObserver.get(),
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive)
                    return;
                if (m_becomeActiveObserved)
                    inkoraAppBecomeActive();
                if (m_unhideObserved)
                    inkoraAppDidUnhide();
            });
}

void AppDelegate::removeBecomeActiveAppNotifications()
{
    m_becomeActiveObserved = false;
}

void AppDelegate::setUnhideAppNotifications()
{
    // X11 has no hidden application: becoming active again after a hiding is the unhide.
    m_unhideObserved = true;
    if (!m_appStateObserver) {
        setBecomeActiveAppNotifications();
        m_becomeActiveObserved = false;
    }
}

void AppDelegate::removeUnhideAppNotifications()
{
    m_unhideObserved = false;
}

void AppDelegate::inkoraAppBecomeActive()
{
    if (!m_wasShown) {
        prepareToLaunchIfNeeded();
        QPointer<AppDelegate> self(this);
        platform::DispatchQueue::main().after(0.1, [self] {
            if (self && !self->isActiveAndShown())
                self->runInkora(nullptr);
        });
    } else if (!isActiveAndShown()) {
        runInkora(nullptr);
    }
}

void AppDelegate::inkoraAppDidUnhide()
{
    if (!isActiveAndShown())
        runInkora(nullptr);
}

// ---------------------------------------------------------------------------------------------------------------
// Drawings kept across quits

bool AppDelegate::wantsToSaveAndLoad() const
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    return m_saveBeforeQuit && defaults.integerForKey(QStringLiteral("DissolveModeKey")) == 1;
}

void AppDelegate::updateProxyDocIfNeeded()
{
    // The document counts changes in both modes (the undo machinery reads it); whether the drawings are saved is
    // asked at autosave time.
    if (m_proxyDoc)
        return;
    QPointer<AppDelegate> self(this);
    m_proxyDoc = std::make_unique<MRKOProxyDoc>(&undoManager(), [self] {
        if (self)
            self->autosaveIfNeeded();
    });
}

void AppDelegate::markProxyDocAsEditedIfNeeded()
{
    if (m_proxyDoc && !m_proxyDoc->hasUnautosavedChanges())
        m_proxyDoc->updateChangeCount(0);
}

void AppDelegate::undoManagerDidSomeAction()
{
    if (m_proxyDoc)
        m_proxyDoc->updateAutoSaveTimer();
}

// ---------------------------------------------------------------------------------------------------------------
// Quit

AppDelegate::TerminateReply AppDelegate::applicationShouldTerminate()
{
    // Stores that were never opened have nothing to save.
    if (!MRKOSnapshotManager::isMade())
        return TerminateReply::Now;
    if (!MRKOPersistentData::sharedData().applicationShouldTerminate())
        return TerminateReply::Cancel;
    return MRKOPersistentTrash::sharedTrash().applicationShouldTerminate() ? TerminateReply::Now
                                                                           : TerminateReply::Cancel;
}

void AppDelegate::terminate()
{
    if (applicationShouldTerminate() == TerminateReply::Cancel)
        return;
    QCoreApplication::quit();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_didTerminate)
        return;
    m_didTerminate = true;
    qCInfo(lcApp) << "applicationWillTerminate:";
    // A drawing in the middle of a move goes back in place before the canvases are saved.
    if (!m_windowControllers.empty())
        MRKODraw::cancelMultipleMoveIfNeeded();
    // Drawings held in memory after a display change count as much as those on the canvases.
    if (!m_windowControllers.empty() ||
        (MRKOSnapshotManager::isMade() && !MRKOSnapshotManager::sharedSnapshotManager().backupSnapshots().empty()))
        MRKOSnapshotManager::saveCanvasToDocumentsIfNeededMainThread(true);
    if (!m_windowControllers.empty()) {
        if (MRKOWindowController *active = activeWindowController())
            active->saveToolFrame();
        for (const auto &controller : m_windowControllers) {
            if (MRKODraw *canvas = controller->drawView())
                canvas->saveSettingsIfNeeded();
        }
        MRKOUtils::userDefaults().synchronize();
        MRKOUtils::userDefaults().flushToDisk();
        qCInfo(lcApp) << "applicationWillTerminate: settings saved";
    }
    MRKOLowerThirdSettings::releaseSharedController();
    MRKOXPCController::disableLoginItemIfNeeded();
    unregisterApplicationShortCuts();
    unregisterCommonShortCuts();
    KQShortCutMonitor::defaultMonitor().removeHandlerBeforeQuit();
    // The phone hears that we leave.
    if (!m_remoteObservers.empty()) {
        MRKOUDPController::sharedController().disconnect();
        MRKOUDPController::sharedController().finishSending();
    }
    if (MRKOUtils::isTempDirExists())
        MRKOUtils::removeTempDir();
    if (cleanUpRecentlyDeletedOnQuit())
        MRKOSnapshotManager::sharedSnapshotManager().cleanUpTrashIfNeeded();
    // Nothing of the stores' files is left half done.
    if (MRKOSnapshotManager::isMade()) {
        MRKOPersistentTrash::sharedTrash().waitForFileDeletions();
        MRKOSnapshotManager::sharedSnapshotManager().waitForBackupWrites();
    }
    qCInfo(lcApp) << "applicationWillTerminate: done";
}
