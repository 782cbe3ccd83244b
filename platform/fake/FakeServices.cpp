#include "platform/fake/FakeServices.h"

#include "platform/Services.h"
#include "platform/Sound.h"
#include "platform/fake/FakeAlerts.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeHelperLink.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeKeyboardLayout.h"
#include "platform/fake/FakeOpenPanel.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeReachability.h"
#include "platform/fake/FakeSavePanel.h"
#include "platform/fake/FakeScreenGrabber.h"
#include "platform/fake/FakeScreenSaverInhibitor.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeScriptRunner.h"
#include "platform/fake/FakeServiceBrowser.h"
#include "platform/fake/FakeSingleInstance.h"
#include "platform/fake/FakeStatusItem.h"
#include "platform/fake/FakeSyntheticInput.h"
#include "platform/fake/FakeSystemCursor.h"
#include "platform/fake/FakeSystemLog.h"
#include "platform/fake/FakeSystemProfile.h"
#include "platform/fake/FakeWindowSystem.h"

namespace platform {

std::unique_ptr<Services> makeFakeServices(FakeServices &fakes)
{
    auto services = std::make_unique<Services>();
    auto clock = std::make_unique<FakeClock>();
    fakes.clock = clock.get();
    services->clock = std::move(clock);
    auto systemProfile = std::make_unique<FakeSystemProfile>();
    fakes.systemProfile = systemProfile.get();
    services->systemProfile = std::move(systemProfile);
    auto helperLink = std::make_unique<FakeHelperLink>();
    fakes.helperLink = helperLink.get();
    services->helperLink = std::move(helperLink);
    auto systemLog = std::make_unique<FakeSystemLog>();
    fakes.systemLog = systemLog.get();
    services->systemLog = std::move(systemLog);
    auto reachability = std::make_unique<FakeReachability>();
    fakes.reachability = reachability.get();
    services->reachability = std::move(reachability);
    auto hotKeys = std::make_unique<FakeHotKeys>();
    fakes.hotKeys = hotKeys.get();
    services->hotKeys = std::move(hotKeys);
    auto savePanel = std::make_unique<FakeSavePanel>();
    fakes.savePanel = savePanel.get();
    services->savePanel = std::move(savePanel);
    auto openPanel = std::make_unique<FakeOpenPanel>();
    fakes.openPanel = openPanel.get();
    services->openPanel = std::move(openPanel);
    auto systemCursor = std::make_unique<FakeSystemCursor>();
    fakes.systemCursor = systemCursor.get();
    services->systemCursor = std::move(systemCursor);
    auto cursorStack = std::make_unique<FakeCursorStack>();
    fakes.cursorStack = cursorStack.get();
    services->cursorStack = std::move(cursorStack);
    auto screenGrabber = std::make_unique<FakeScreenGrabber>();
    fakes.screenGrabber = screenGrabber.get();
    services->screenGrabber = std::move(screenGrabber);
    auto syntheticInput = std::make_unique<FakeSyntheticInput>();
    fakes.syntheticInput = syntheticInput.get();
    services->syntheticInput = std::move(syntheticInput);
    auto keyboardLayout = std::make_unique<FakeKeyboardLayout>();
    fakes.keyboardLayout = keyboardLayout.get();
    services->keyboardLayout = std::move(keyboardLayout);
    auto windowSystem = std::make_unique<FakeWindowSystem>();
    fakes.windowSystem = windowSystem.get();
    services->windowSystem = std::move(windowSystem);
    auto rawInput = std::make_unique<FakeRawInput>();
    fakes.rawInput = rawInput.get();
    services->rawInput = std::move(rawInput);
    auto statusItem = std::make_unique<FakeStatusItem>();
    fakes.statusItem = statusItem.get();
    services->statusItem = std::move(statusItem);
    auto screens = std::make_unique<FakeScreens>();
    fakes.screens = screens.get();
    services->screens = std::move(screens);
    auto singleInstance = std::make_unique<FakeSingleInstance>();
    fakes.singleInstance = singleInstance.get();
    services->singleInstance = std::move(singleInstance);
    auto alerts = std::make_unique<FakeAlerts>();
    fakes.alerts = alerts.get();
    services->alerts = std::move(alerts);
    auto serviceBrowser = std::make_unique<FakeServiceBrowser>();
    fakes.serviceBrowser = serviceBrowser.get();
    services->serviceBrowser = std::move(serviceBrowser);
    auto inhibitor = std::make_unique<FakeScreenSaverInhibitor>();
    fakes.screenSaverInhibitor = inhibitor.get();
    services->screenSaverInhibitor = std::move(inhibitor);
    auto scriptRunner = std::make_unique<FakeScriptRunner>();
    fakes.scriptRunner = scriptRunner.get();
    services->scriptRunner = std::move(scriptRunner);
    auto soundOutput = std::make_unique<SilentSoundOutput>();
    fakes.soundOutput = soundOutput.get();
    services->soundOutput = std::move(soundOutput);
    return services;
}

} // namespace platform
