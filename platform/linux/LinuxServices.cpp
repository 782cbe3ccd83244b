#include "platform/linux/LinuxServices.h"

#include "platform/PlatformLog.h"
#include "platform/Services.h"
#include "platform/linux/DBusHelperLink.h"
#include "platform/linux/DBusSingleInstance.h"
#include "platform/linux/NullScreenGrabber.h"
#include "platform/linux/PosixReachability.h"
#include "platform/linux/PosixSystemLog.h"
#include "platform/linux/QtCursorStack.h"
#include "platform/linux/QtSavePanel.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/X11SystemProfile.h"
#include "platform/linux/XFixesSystemCursor.h"
#include "platform/linux/XTestSyntheticInput.h"
#include "platform/linux/XcbHotKeys.h"
#include "platform/linux/XcbScreenGrabber.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace platform {

std::unique_ptr<Services> makeLinuxServices()
{
    auto services = std::make_unique<Services>();
    services->clock = std::make_unique<SteadyClock>();
    services->systemProfile = std::make_unique<X11SystemProfile>();
    services->helperLink = std::make_unique<DBusHelperLink>(QCoreApplication::applicationFilePath());
    services->systemLog = std::make_unique<PosixSystemLog>();
    services->reachability = std::make_unique<PosixReachability>();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        services->hotKeys = std::make_unique<XcbHotKeys>();
        services->systemCursor = std::make_unique<XFixesSystemCursor>();
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            services->keyboardLayout = XkbKeyboardLayout::fromX11(x11->connection());
    } else {
        services->hotKeys = std::make_unique<NullHotKeys>();
        services->systemCursor = std::make_unique<NullSystemCursor>();
    }
    // Without an X server the keys are named as a US keyboard types them.
    if (!services->keyboardLayout)
        services->keyboardLayout = XkbKeyboardLayout::fromLayoutName("us");
    if (!services->keyboardLayout) {
        qCInfo(lcPlatform) << "makeLinuxServices: no keyboard map could be read; keys without a symbol show no text";
        services->keyboardLayout = std::make_unique<NullKeyboardLayout>();
    }
    services->savePanel = std::make_unique<QtSavePanel>();
    services->cursorStack = std::make_unique<QtCursorStack>();
    if (auto grabber = XcbScreenGrabber::create())
        services->screenGrabber = std::move(grabber);
    else
        services->screenGrabber = std::make_unique<NullScreenGrabber>();
    if (auto input = XTestSyntheticInput::create())
        services->syntheticInput = std::move(input);
    else
        services->syntheticInput = std::make_unique<NullSyntheticInput>();
    if (auto windowSystem = XcbWindowSystem::create())
        services->windowSystem = std::move(windowSystem);
    else
        services->windowSystem = std::make_unique<NullWindowSystem>();
    // A tray host that appears later is not picked up: the choice is made once, as for every service.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        services->statusItem = std::make_unique<QtStatusItem>();
    else
        services->statusItem = std::make_unique<NullStatusItem>();
    services->screens = std::make_unique<QtScreens>();
    services->singleInstance = std::make_unique<DBusSingleInstance>();
    return services;
}

} // namespace platform
