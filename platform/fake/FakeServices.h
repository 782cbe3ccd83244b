#pragma once

#include <memory>

namespace platform {

struct Services;
class FakeClock;
class FakeHotKeys;
class FakeSystemCursor;
class FakeCursorStack;
class FakeSystemProfile;
class FakeHelperLink;
class FakeSystemLog;
class FakeReachability;
class FakeSavePanel;
class FakeOpenPanel;
class FakeScreenGrabber;
class FakeSyntheticInput;
class FakeKeyboardLayout;
class FakeWindowSystem;
class FakeRawInput;
class FakeStatusItem;
class FakeScreens;
class FakeSingleInstance;
class FakeAlerts;
class FakeServiceBrowser;
class FakeScreenSaverInhibitor;
class FakeScriptRunner;
class SilentSoundOutput;

/// Fakes of every service, with typed access for tests.
struct FakeServices
{
    FakeClock *clock = nullptr; // owned by the installed services
    FakeSystemProfile *systemProfile = nullptr;
    FakeHelperLink *helperLink = nullptr;
    FakeSystemLog *systemLog = nullptr;
    FakeReachability *reachability = nullptr;
    FakeHotKeys *hotKeys = nullptr;
    FakeSavePanel *savePanel = nullptr;
    FakeOpenPanel *openPanel = nullptr;
    FakeSystemCursor *systemCursor = nullptr;
    FakeCursorStack *cursorStack = nullptr;
    FakeScreenGrabber *screenGrabber = nullptr;
    FakeSyntheticInput *syntheticInput = nullptr;
    FakeKeyboardLayout *keyboardLayout = nullptr;
    FakeWindowSystem *windowSystem = nullptr;
    FakeRawInput *rawInput = nullptr;
    SilentSoundOutput *soundOutput = nullptr; // records what is played
    FakeStatusItem *statusItem = nullptr;
    FakeScreens *screens = nullptr;
    FakeSingleInstance *singleInstance = nullptr;
    FakeAlerts *alerts = nullptr;
    FakeServiceBrowser *serviceBrowser = nullptr;
    FakeScreenSaverInhibitor *screenSaverInhibitor = nullptr;
    FakeScriptRunner *scriptRunner = nullptr;
};

/// Makes the fake services; `fakes` receives typed pointers to them.
[[nodiscard]] std::unique_ptr<Services> makeFakeServices(FakeServices &fakes);

} // namespace platform
