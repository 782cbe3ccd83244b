#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/Keys.h"

#include <gtest/gtest.h>

namespace {

using platform::KeyboardLayout;

TEST(XkbKeyboardLayoutTest, UsKeymapTypesKeysByPositionWithModifierState)
{
    const auto layout = platform::XkbKeyboardLayout::fromLayoutName("us");
    ASSERT_TRUE(layout);
    const struct
    {
        quint16 keyCode;
        quint32 state;
        const char *text;
    } rows[] = {
        {platform::kKeyA, 0, "a"},
        {platform::kKeyZ, 0, "z"},
        {platform::kKeyA, KeyboardLayout::kShiftState, "A"},
        {platform::kKeyA, KeyboardLayout::kCapsLockState, "A"},
        {platform::kKey1, KeyboardLayout::kShiftState, "!"},
        {platform::kKeyGrave, 0, "`"},
        {platform::kKeyLeftBracket, 0, "["},
        {platform::kKeySpace, 0, " "},
        // The hot-key mask unshifted: no bit of it is a translation modifier.
        {platform::kKeyA, 0x100 | 0x200, "a"},
        {platform::kKeyF1, 0, ""},
        {platform::kNoKeyCode, 0, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.keyCode << " state " << row.state);
        EXPECT_EQ(layout->textForKeyCode(row.keyCode, row.state), QString::fromUtf8(row.text));
    }
}

TEST(XkbKeyboardLayoutTest, FirstAsciiLayoutOfSeveralIsUsed)
{
    const auto layout = platform::XkbKeyboardLayout::fromLayoutName("ru,us");
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->textForKeyCode(platform::kKeyQ, 0), QStringLiteral("q"));

    const auto russian = platform::XkbKeyboardLayout::fromLayoutName("ru");
    ASSERT_TRUE(russian);
    EXPECT_EQ(russian->textForKeyCode(platform::kKeyQ, 0), QStringLiteral("\u0439"));
}

} // namespace
