#include "platform/linux/XInputRawInput.h"

#include "platform/Keys.h"
#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
}

bool waitFor(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

class XInputRawInputTest : public InkoraFixture
{
};

TEST_F(XInputRawInputTest, KeysModifiersWheelNotchesAndButtonsArriveFromTheServer)
{
    auto input = platform::XInputRawInput::create();
    ASSERT_TRUE(input);
    std::vector<platform::Event> events;
    auto monitor = input->addMonitor(platform::kRawInputTypes, [&](const platform::Event &e) { events.push_back(e); });
    ASSERT_TRUE(monitor);

    xdotool({QStringLiteral("key"), QStringLiteral("shift+a")});
    xdotool({QStringLiteral("click"), QStringLiteral("4")});
    xdotool({QStringLiteral("click"), QStringLiteral("7")});
    // A device's motion, as XTest makes it (a warped pointer makes no raw motion).
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, 300, 200, 0);
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, 310, 210, 0);
    xcb_flush(c);
    xcb_disconnect(c);
    ASSERT_TRUE(waitFor([&] {
        return std::count_if(events.begin(), events.end(),
                             [](const auto &e) { return e.type == platform::EventType::ScrollWheel; }) == 2 &&
               std::any_of(events.begin(), events.end(),
                           [](const auto &e) { return e.type == platform::EventType::MouseMoved; });
    })) <<
        [&] {
            std::string types;
            for (const auto &e : events)
                types += std::to_string(int(e.type)) + " ";
            return types;
        }();

    const auto first = [&](platform::EventType type) {
        return *std::find_if(events.begin(), events.end(), [type](const auto &e) { return e.type == type; });
    };
    EXPECT_TRUE(first(platform::EventType::FlagsChanged).modifierFlags & platform::kShiftFlag);
    const platform::Event key = first(platform::EventType::KeyDown);
    EXPECT_EQ(key.keyCode, platform::kKeyA);
    EXPECT_TRUE(key.modifierFlags & platform::kShiftFlag) << "the modifiers held come with every event";
    std::vector<std::pair<double, double>> notches;
    for (const auto &e : events) {
        if (e.type == platform::EventType::ScrollWheel)
            notches.emplace_back(e.deltaX, e.deltaY);
    }
    EXPECT_EQ(notches, (std::vector<std::pair<double, double>>{{0, 1}, {-1, 0}})) << "up, then right";

    monitor->suspend();
    events.clear();
    xdotool({QStringLiteral("click"), QStringLiteral("5")});
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_TRUE(events.empty()) << "suspended";
}

} // namespace
