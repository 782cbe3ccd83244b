#include "platform/Services.h"

#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/CursorStack.h"
#include "platform/HelperLink.h"
#include "platform/HotKeys.h"
#include "platform/KeyboardLayout.h"
#include "platform/OpenPanel.h"
#include "platform/PlatformLog.h"
#include "platform/RawInput.h"
#include "platform/Reachability.h"
#include "platform/SavePanel.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenSaverInhibitor.h"
#include "platform/Screens.h"
#include "platform/ScriptRunner.h"
#include "platform/ServiceBrowser.h"
#include "platform/SingleInstance.h"
#include "platform/Sound.h"
#include "platform/StatusItem.h"
#include "platform/SyntheticInput.h"
#include "platform/SystemCursor.h"
#include "platform/SystemLog.h"
#include "platform/SystemProfile.h"
#include "platform/WindowSystem.h"
#include "platform/linux/LinuxServices.h"

#include <mutex>

namespace platform {

namespace {
std::mutex s_mutex;
std::unique_ptr<Services> s_services;
bool s_shutDown = false; // the program has ended its services; nothing makes them again
} // namespace

Services::Services() = default;
Services::~Services() = default;

bool install(std::unique_ptr<Services> services)
{
    std::lock_guard lock(s_mutex);
    if (s_services) {
        qCWarning(lcPlatform) << "install: services are installed already; keeping the first";
        return false;
    }
    s_services = std::move(services);
    return true;
}

void uninstall()
{
    std::lock_guard lock(s_mutex);
    s_services.reset();
}

void shutDown()
{
    std::lock_guard lock(s_mutex);
    s_services.reset();
    s_shutDown = true;
}

Services &services()
{
    std::lock_guard lock(s_mutex);
    if (!s_services) {
        // After the end only destructors ask; they find no backends rather than new ones on dead connections.
        static Services s_none;
        if (s_shutDown)
            return s_none;
        s_services = makeLinuxServices();
    }
    return *s_services;
}

} // namespace platform
