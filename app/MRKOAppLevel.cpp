#include "app/MRKOAppLevel.h"

#include "app/AppDelegate.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"

namespace {
const QString kLevelKey = QStringLiteral("InkoraWindowLevel");
}

MRKOAppLevel &MRKOAppLevel::appLevel()
{
    static MRKOAppLevel level;
    return level;
}

void MRKOAppLevel::setLevel(int level)
{
    if (level == m_level)
        return;
    m_level = level;
    saveLevel();
    updateLevelForAllWindowsIfNeeded();
}

void MRKOAppLevel::updateLevel()
{
    m_level = int(qint32(MRKOUtils::userDefaults().integerForKey(kLevelKey)));
    validateLevel();
}

void MRKOAppLevel::saveLevel()
{
    validateLevel();
    MRKOUtils::userDefaults().setInteger(m_level, kLevelKey);
}

void MRKOAppLevel::validateLevel()
{
    if (m_level < 0)
        m_level = kDefaultLevel;
}

void MRKOAppLevel::resetLevel()
{
    m_level = kDefaultLevel;
    MRKOUtils::userDefaults().removeObjectForKey(kLevelKey);
}

void MRKOAppLevel::moveWindows()
{
    if (AppDelegate *delegate = AppDelegate::shared()) {
        for (MRKOWindowController *controller : delegate->windowControllersArray())
            controller->window()->setLevel(m_level);
    }
}

void MRKOAppLevel::updateLevelForAllWindowsIfNeeded()
{
    AppDelegate *delegate = AppDelegate::shared();
    const MRKOWindowController *first = delegate ? delegate->activeWindowController() : nullptr;
    if (!first || first->window()->level() == m_level)
        return;
    qCInfo(lcApp).noquote() << QStringLiteral("Set new Window Level %1").arg(m_level);
    moveWindows();
}
