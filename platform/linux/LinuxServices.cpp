#include "platform/linux/LinuxServices.h"

#include "platform/PlatformLog.h"
#include "platform/RawInput.h"
#include "platform/Services.h"
#include "platform/Sound.h"
#include "platform/linux/AvahiServiceBrowser.h"
#include "platform/linux/DBusHelperLink.h"
#include "platform/linux/DBusScreenSaverInhibitor.h"
#include "platform/linux/DBusSingleInstance.h"
#include "platform/linux/NullScreenGrabber.h"
#include "platform/linux/NullScriptRunner.h"
#include "platform/linux/PosixReachability.h"
#include "platform/linux/PosixSystemLog.h"
#include "platform/linux/QtAlerts.h"
#include "platform/linux/QtCursorStack.h"
#include "platform/linux/QtOpenPanel.h"
#include "platform/linux/QtSavePanel.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtSoundOutput.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/X11SystemProfile.h"
#include "platform/linux/XFixesSystemCursor.h"
#include "platform/linux/XInputRawInput.h"
#include "platform/linux/XTestSyntheticInput.h"
#include "platform/linux/XcbHotKeys.h"
#include "platform/linux/XcbScreenGrabber.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <xcb/xcb.h>

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
    services->openPanel = std::make_unique<QtOpenPanel>();
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
    if (auto rawInput = XInputRawInput::create()) {
        services->rawInput = std::move(rawInput);
    } else {
        qCInfo(lcPlatform) << "makeLinuxServices: no XInput2 raw events; input outside our windows is not seen";
        services->rawInput = std::make_unique<NullRawInput>();
    }
    // Also without a tray host: one that starts later gets the item.
    services->statusItem = std::make_unique<QtStatusItem>();
    services->screens = std::make_unique<QtScreens>();
    services->singleInstance = std::make_unique<DBusSingleInstance>();
    services->alerts = std::make_unique<QtAlerts>();
    services->serviceBrowser = std::make_unique<AvahiServiceBrowser>();
    services->screenSaverInhibitor = std::make_unique<DBusScreenSaverInhibitor>();
    services->scriptRunner = std::make_unique<NullScriptRunner>();
    if (auto sounds = QtSoundOutput::create()) {
        services->soundOutput = std::move(sounds);
    } else {
        qCInfo(lcPlatform) << "makeLinuxServices: no audio output; click sounds are only logged";
        services->soundOutput = std::make_unique<SilentSoundOutput>();
    }
    return services;
}

QString x11DisplayProblem()
{
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty() && chosen != "xcb")
        return {};
    // Under Wayland the session's XWayland serves: hot keys, override-redirect windows and shapes need X11.
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("Inkora needs an X11 display: DISPLAY is not set");
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (failed)
        return QStringLiteral("Inkora needs an X11 display: cannot open display \"%1\"")
            .arg(QString::fromLocal8Bit(display));
    return {};
}

void prepareSessionBusAddress()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (!runtime.isEmpty() && QFileInfo(socket).exists()) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(socket));
        return;
    }
    // An address of no known kind makes the connection fail at once, where an unset one would launch a daemon
    // that outlives us.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qCInfo(lcPlatform) << "prepareSessionBusAddress: no session bus; running without one";
}

} // namespace platform
