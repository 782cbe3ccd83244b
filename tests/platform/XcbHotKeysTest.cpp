#include "platform/linux/XcbHotKeys.h"

#include "platform/Keys.h"
#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

namespace {

constexpr std::uint32_t kOptionMask = 0x800;
constexpr std::uint32_t kCommandMask = 0x100;
constexpr std::uint32_t kShiftMask = 0x200;

// Sends a key combination through the X server the way a user's keyboard would.
void typeKeys(const QString &keys)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
    ASSERT_TRUE(xdotool.waitForFinished(10000));
    ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().constData();
}

// Pumps events until the condition holds or the X server had ample time to deliver.
bool waitFor(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

} // namespace

class XcbHotKeysTest : public InkoraFixture
{
};

TEST_F(XcbHotKeysTest, GrabbedCombinationReachesTheHandlerWithItsIdentifier)
{
    platform::XcbHotKeys hotKeys;
    std::vector<platform::HotKeyPress> presses;
    ASSERT_TRUE(hotKeys.installHandler([&](const platform::HotKeyPress &p) { presses.push_back(p); }));

    const auto reg = hotKeys.registerHotKey(platform::kKeyTab, kOptionMask, 0x4D524B4F, 1);
    ASSERT_TRUE(reg.ok) << reg.errorCode;
    typeKeys(QStringLiteral("alt+Tab"));

    ASSERT_TRUE(waitFor([&] { return !presses.empty(); }));
    EXPECT_EQ(presses.front().signature, 0x4D524B4Fu);
    EXPECT_EQ(presses.front().id, 1u);
    EXPECT_TRUE(presses.front().modifierFlags & platform::kOptionFlag);
    EXPECT_TRUE(hotKeys.unregisterHotKey(reg.ref));
    EXPECT_FALSE(hotKeys.unregisterHotKey(reg.ref));
}

TEST_F(XcbHotKeysTest, GrabbedCombinationIsAHotKeyWhileOurOwnWindowHasTheKeyboard)
{
    QWidget window;
    window.resize(100, 100);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // The pointer over the window as well, so the keys are the window's whatever the X focus mode.
    const QPoint centre = window.mapToGlobal(window.rect().center());
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y())});

    platform::XcbHotKeys hotKeys;
    std::vector<platform::HotKeyPress> presses;
    ASSERT_TRUE(hotKeys.installHandler([&](const platform::HotKeyPress &p) { presses.push_back(p); }));
    const auto reg = hotKeys.registerHotKey(platform::kKeyZ, kCommandMask, 0x4D524B4F, 4);
    ASSERT_TRUE(reg.ok) << reg.errorCode;

    typeKeys(QStringLiteral("ctrl+z"));
    ASSERT_TRUE(waitFor([&] { return !presses.empty(); }));
    EXPECT_EQ(presses.front().id, 4u);
}

TEST_F(XcbHotKeysTest, CombinationHeldByAnotherClientIsRefusedWithTheXError)
{
    int screen = 0;
    xcb_connection_t *other = xcb_connect(nullptr, &screen);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    const auto keycode = static_cast<xcb_keycode_t>(platform::x11KeyCodeFromKeyCode(platform::kKeyF5));
    const auto mods = platform::XcbHotKeys::x11Modifiers(kCommandMask | kShiftMask);
    ASSERT_EQ(xcb_request_check(
                  other, xcb_grab_key_checked(other, 1, root, mods, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
              nullptr);

    platform::XcbHotKeys hotKeys;
    const auto reg = hotKeys.registerHotKey(platform::kKeyF5, kCommandMask | kShiftMask, 0x4D524B4F, 2);

    EXPECT_FALSE(reg.ok);
    EXPECT_EQ(reg.errorCode, 10); // BadAccess
    xcb_disconnect(other);
}

TEST_F(XcbHotKeysTest, FunctionCombinationIsRefusedWithoutAGrab)
{
    platform::XcbHotKeys hotKeys;
    const auto reg = hotKeys.registerHotKey(platform::kKeyF5, 0x20000, 0x4D524B4F, 3);
    EXPECT_FALSE(reg.ok);
    EXPECT_EQ(reg.errorCode, platform::HotKeys::kErrorFunctionKey);
}

TEST_F(XcbHotKeysTest, ModifierMaskFollowsTheKeyMapping)
{
    EXPECT_EQ(platform::XcbHotKeys::x11Modifiers(0x100), XCB_MOD_MASK_CONTROL); // Command is Ctrl
    EXPECT_EQ(platform::XcbHotKeys::x11Modifiers(0x800), XCB_MOD_MASK_1);       // Option is Alt
    EXPECT_EQ(platform::XcbHotKeys::x11Modifiers(0x1000), XCB_MOD_MASK_4);      // Control is Super
    EXPECT_EQ(platform::XcbHotKeys::x11Modifiers(0x200), XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(platform::XcbHotKeys::x11Modifiers(0x10000), 0); // numeric pad has no modifier
}
