#include "platform/Keys.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "tests/support/InkoraFixture.h"

#include <QGuiApplication>

namespace {

class XkbKeyboardLayoutX11Test : public InkoraFixture
{
};

TEST_F(XkbKeyboardLayoutX11Test, ReadsTheServersKeymap)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_TRUE(x11);
    const auto layout = platform::XkbKeyboardLayout::fromX11(x11->connection());
    ASSERT_TRUE(layout);
    // The virtual X server starts with a US keymap.
    EXPECT_EQ(layout->textForKeyCode(platform::kKeyA, 0), QStringLiteral("a"));
    EXPECT_EQ(layout->textForKeyCode(platform::kKeySlash, 0), QStringLiteral("/"));
    EXPECT_EQ(layout->textForKeyCode(platform::kKeyA, platform::KeyboardLayout::kShiftState), QStringLiteral("A"));
}

} // namespace
