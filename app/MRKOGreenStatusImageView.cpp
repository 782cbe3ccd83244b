#include "app/MRKOGreenStatusImageView.h"

#include "app/AppDelegate.h"
#include "app/StatusBarImages.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"

namespace {

bool s_shown = false;
bool s_wanted = false;

platform::StatusItem *statusItem()
{
    return platform::services().statusItem.get();
}

} // namespace

MRKOGreenStatusImageView::MRKOGreenStatusImageView()
    : m_image(inkora::statusBarImage(QStringLiteral("MRKOStatusBarActiveGreen")))
{}

MRKOGreenStatusImageView &MRKOGreenStatusImageView::greenStatus()
{
    static MRKOGreenStatusImageView s_view;
    return s_view;
}

void MRKOGreenStatusImageView::setCurrentStatus(quint64 status)
{
    m_currentStatus = status;
    if (status == 0)
        m_image = inkora::statusBarImage(QStringLiteral("MRKOStatusBarActiveGreen"));
    else if (status == 1)
        m_image = inkora::statusBarImage(QStringLiteral("MRKOStatusBarAirActiveGreen"));
    else
        return;
    // A dot on show takes its new colour at once.
    if (s_shown && statusItem())
        statusItem()->setBadge(m_image);
}

void MRKOGreenStatusImageView::statusNormal()
{
    greenStatus().setCurrentStatus(0);
}

void MRKOGreenStatusImageView::statusAir()
{
    greenStatus().setCurrentStatus(1);
}

bool MRKOGreenStatusImageView::isShown()
{
    return s_shown;
}

void MRKOGreenStatusImageView::showHideWithFlag(bool flag)
{
    if (!s_wanted && !s_shown)
        return;
    if (s_wanted && flag)
        show();
    else
        hide();
}

void MRKOGreenStatusImageView::show()
{
    s_shown = true;
    if (statusItem())
        statusItem()->setBadge(greenStatus().image());
}

void MRKOGreenStatusImageView::hide()
{
    s_shown = false;
    if (statusItem())
        statusItem()->setBadge(QImage());
}

void MRKOGreenStatusImageView::updateWantsGreenStatus()
{
    s_wanted = inkora::flagSetting(MRKOUtils::userDefaults(), QStringLiteral("UseGreenStatus"));
}

bool MRKOGreenStatusImageView::wantsGreenStatus()
{
    return s_wanted;
}

void MRKOGreenStatusImageView::updateGreenForCurrentPhase()
{
    if (const AppDelegate *app = AppDelegate::shared())
        showHideWithFlag((app->statusBarPhase() & 1) != 0);
}
