#include "app/MRKOFrontmostApp.h"

#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "platform/WindowSystem.h"

namespace {

QString s_frontmost; // main thread only

const QString kMainId = QStringLiteral("com.Inkora.Inkora");
const QString kHelperId = QStringLiteral("com.Inkora.InkoraHelper");

} // namespace

void MRKOFrontmostApp::updateFrontmostApp()
{
    s_frontmost = platform::services().windowSystem->frontmostApplicationId();
}

QString MRKOFrontmostApp::updatedFrontmostApp()
{
    updateFrontmostApp();
    return s_frontmost;
}

QString MRKOFrontmostApp::frontmostApp()
{
    return s_frontmost;
}

bool MRKOFrontmostApp::isSelfApp()
{
    return s_frontmost == kMainId || s_frontmost == kHelperId;
}

bool MRKOFrontmostApp::isSelfAppEffective()
{
    updateFrontmostApp();
    return isSelfApp();
}

bool MRKOFrontmostApp::makeFrontmostIfNeeded()
{
    if (isSelfAppEffective())
        return false;
    MRKOUtils::activateAppDecide(true);
    return true;
}

void MRKOFrontmostApp::beginSaveOperation()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    platform::TransactionScope transaction;
    delegate->removeAllDarkOverlaysIfNeeded();
    delegate->unregisterApplicationShortCuts();
    delegate->removeFlagMonitorsIfNeeded();
    delegate->registerQuitShortCut();
    sendWindowsToFloatLevel();
}

void MRKOFrontmostApp::endSaveOperation()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    platform::TransactionScope transaction;
    delegate->registerApplicationShortCuts();
    delegate->setUpFlagMonitors();
    sendWindowsToWorkingLevel();
}

void MRKOFrontmostApp::sendWindowsToFloatLevel()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (MRKOWindowController *active = delegate ? delegate->activeWindowController() : nullptr) {
        active->window()->setLevel(kFloatLevel);
        active->bringToolPanelOnFrontIfNeeded();
    }
}

void MRKOFrontmostApp::sendWindowsToWorkingLevel()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (MRKOWindowController *active = delegate ? delegate->activeWindowController() : nullptr) {
        active->window()->setLevel(MRKOAppLevel::appLevel().level());
        active->bringToolPanelOnFrontIfNeeded();
    }
}

void MRKOFrontmostApp::levelOfFrontmostApp()
{
    // X11 has no window levels of other programs to list; the frontmost application is what can be told.
    qCInfo(lcApp).noquote() << QStringLiteral("%1").arg(updatedFrontmostApp());
}

void MRKOFrontmostApp::reset()
{
    s_frontmost.clear();
}
