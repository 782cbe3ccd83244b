#pragma once

#include <memory>

namespace platform {

class Clock;
class SystemProfile;
class HelperLink;
class SystemLog;
class Reachability;
class HotKeys;
class SavePanel;
class OpenPanel;
class SystemCursor;
class CursorStack;
class ScreenGrabber;
class SyntheticInput;
class KeyboardLayout;
class WindowSystem;
class RawInput;
class StatusItem;
class Screens;
class SingleInstance;
class Alerts;
class ServiceBrowser;
class ScreenSaverInhibitor;
class ScriptRunner;
class SoundOutput;

/// The interfaces whose backend is chosen once at start-up: Linux backends in the programs, fakes in tests.
struct Services
{
    Services();
    ~Services();

    std::unique_ptr<Clock> clock;
    std::unique_ptr<SystemProfile> systemProfile;
    std::unique_ptr<HelperLink> helperLink;
    std::unique_ptr<SystemLog> systemLog;
    std::unique_ptr<Reachability> reachability;
    std::unique_ptr<HotKeys> hotKeys;
    std::unique_ptr<SavePanel> savePanel;
    std::unique_ptr<OpenPanel> openPanel;
    std::unique_ptr<SystemCursor> systemCursor;
    std::unique_ptr<CursorStack> cursorStack;
    std::unique_ptr<ScreenGrabber> screenGrabber;
    std::unique_ptr<SyntheticInput> syntheticInput;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    std::unique_ptr<WindowSystem> windowSystem;
    std::unique_ptr<RawInput> rawInput;
    std::unique_ptr<StatusItem> statusItem;
    std::unique_ptr<Screens> screens;
    std::unique_ptr<SingleInstance> singleInstance;
    std::unique_ptr<Alerts> alerts;
    std::unique_ptr<ServiceBrowser> serviceBrowser;
    std::unique_ptr<ScreenSaverInhibitor> screenSaverInhibitor;
    std::unique_ptr<ScriptRunner> scriptRunner;
    std::unique_ptr<SoundOutput> soundOutput;
};

/// Installs the services; a second install is refused with a log line (tests may uninstall first).
bool install(std::unique_ptr<Services> services);
/// Removes the installed services; for test fixtures.
void uninstall();
/// Removes the services for good, at the end of a program while its connections still work; later asks find no
/// backend (null pointers) instead of making new ones.
void shutDown();
/// The installed services; without an install, the Linux ones are installed on first use.
[[nodiscard]] Services &services();

} // namespace platform
