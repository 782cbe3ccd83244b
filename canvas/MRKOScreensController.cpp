#include "canvas/MRKOScreensController.h"

#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <atomic>

namespace {

std::atomic<qint64> s_preferedScreenIndex = 0;

const QString kRebuildRequest = QStringLiteral("didChangeScreenParameters");

} // namespace

MRKOScreensController &MRKOScreensController::sharedScreensController()
{
    // Never destroyed: it observes the display changes for the life of the process.
    static MRKOScreensController *const s_shared = new MRKOScreensController;
    return *s_shared;
}

MRKOScreensController::MRKOScreensController()
{
    m_observer = platform::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(platform::kScreenParametersDidChangeNotification), nullptr,
        [this](const platform::Notification &) { performChangeScreenParameters(); });
    updatePreferedScreenIndex();
}

MRKOScreensController::~MRKOScreensController() = default;

QList<platform::ScreenInfo> MRKOScreensController::screens()
{
    QList<platform::ScreenInfo> list = platform::services().screens->screens();
    const qint64 preferred = s_preferedScreenIndex.load();
    // A stored index beyond the displays (one was unplugged) falls back to the system order; the key stays.
    if (preferred > 0 && preferred < list.size())
        list.move(int(preferred), 0);
    return list;
}

void MRKOScreensController::updatePreferedScreenIndex()
{
    s_preferedScreenIndex = MRKOUtils::userDefaults().integerForKey(QStringLiteral("PreferedScreenIndex"));
}

qint64 MRKOScreensController::preferedScreenIndex()
{
    return s_preferedScreenIndex.load();
}

void MRKOScreensController::forceReactivate()
{
    sharedScreensController().didChangeScreenParameters();
}

void MRKOScreensController::performChangesInFreezeModeNeedActivate(bool activate)
{
    AppDelegate *app = AppDelegate::shared();
    if (!app)
        return;
    // The drawings wait in memory and come back on the new canvases at the next showing.
    MRKOSnapshotManager::sharedSnapshotManager().createSnapshotsBackupIfNeeded();
    app->forceRemoveAllWindowControllers();
    if (activate) {
        app->setIsShownToNO();
        app->activateInkora();
    }
}

void MRKOScreensController::performChangeScreenParameters()
{
    platform::RunLoop &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, kRebuildRequest, kSettleDelay, [this] { didChangeScreenParameters(); });
}

void MRKOScreensController::validateScreensEquality()
{
    const AppDelegate *app = AppDelegate::shared();
    if (!app || !app->shouldRemoveAllWindowsToPerformScreenChanges())
        return;
    qCInfo(lcCanvas).noquote() << "Screen frame origins are not equal in some windows. Force Remove All Windows To "
                                  "Perform Screen Changes.";
    didChangeScreenParameters();
}

void MRKOScreensController::didChangeScreenParameters()
{
    qCInfo(lcCanvas) << "DidChangeScreenParameters:";
    if (AppDelegate *app = AppDelegate::shared())
        app->didChangeScreenParameters();
}
