#include "platform/Keys.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

struct ModifierRow
{
    const char *name;
    Qt::KeyboardModifiers qt;
    quint32 x11;
    quint64 flags;
};

void PrintTo(const ModifierRow &row, std::ostream *os)
{
    *os << row.name;
}

const std::vector<ModifierRow> kModifierRows = {
    {"Shift", Qt::ShiftModifier, 0x1, 0x20000},
    {"CtrlIsCommand", Qt::ControlModifier, 0x4, 0x100000},
    {"SuperIsControl", Qt::MetaModifier, 0x40, 0x40000},
    {"AltIsOption", Qt::AltModifier, 0x8, 0x80000},
    {"CtrlShift", Qt::ControlModifier | Qt::ShiftModifier, 0x5, 0x120000},
    {"All", Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier, 0x4D, 0x1E0000},
};

class ModifierFlagsTest : public testing::TestWithParam<ModifierRow>
{
};

TEST_P(ModifierFlagsTest, TranslatesQtAndX11ModifiersBothWays)
{
    const ModifierRow &row = GetParam();
    EXPECT_EQ(modifierFlagsFromQt(row.qt), row.flags);
    EXPECT_EQ(modifierFlagsFromX11(row.x11), row.flags);
    EXPECT_EQ(x11ModifiersFromFlags(row.flags), row.x11);
}

INSTANTIATE_TEST_SUITE_P(All, ModifierFlagsTest, testing::ValuesIn(kModifierRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(KeysTest, ModifiersOnlyOneSideKnows)
{
    EXPECT_EQ(modifierFlagsFromQt(Qt::KeypadModifier), quint64(kNumericPadFlag));
    EXPECT_EQ(modifierFlagsFromX11(0x2), quint64(kCapsLockFlag)); // Lock
    EXPECT_EQ(modifierFlagsFromX11(0x10 | 0x80), 0u);             // Num Lock (Mod2) and Mod5 mean nothing
    EXPECT_EQ(x11ModifiersFromFlags(kCapsLockFlag), 0x2u);
    EXPECT_EQ(x11ModifiersFromFlags(kFunctionFlag | kNumericPadFlag), 0u); // no X11 modifier to grab
}

struct KeyRow
{
    const char *name;
    quint32 x11;
    quint16 keyCode;
};

void PrintTo(const KeyRow &row, std::ostream *os)
{
    *os << row.name;
}

// X11 keycodes of the evdev keymap, by key position.
const std::vector<KeyRow> kKeyRows = {
    {"A", 38, 0},
    {"Z", 52, 6},
    {"One", 10, 18},
    {"Grave", 49, 50},
    {"Space", 65, 49},
    {"Return", 36, 36},
    {"Escape", 9, 53},
    {"BackSpaceIsDelete", 22, 51},
    {"DeleteIsForwardDelete", 119, 117},
    {"InsertIsHelp", 118, 114},
    {"LeftCtrlIsCommand", 37, 55},
    {"RightCtrlIsRightCommand", 105, 54},
    {"LeftAltIsOption", 64, 58},
    {"LeftSuperIsControl", 133, 59},
    {"MenuIsFunction", 135, 63},
    {"CapsLock", 66, 57},
    {"IsoExtraKeyIsSection", 94, 10},
    {"KeypadEnter", 104, 76},
    {"KeypadFive", 84, 87},
    {"NumLockIsClear", 77, 71},
    {"F1", 67, 122},
    {"F12", 96, 111},
    {"UpArrow", 111, 126},
    {"LeftArrow", 113, 123},
};

class KeyCodeTest : public testing::TestWithParam<KeyRow>
{
};

TEST_P(KeyCodeTest, MapsX11KeycodesToKeyCodesAndBack)
{
    const KeyRow &row = GetParam();
    EXPECT_EQ(keyCodeFromX11(row.x11), row.keyCode);
    EXPECT_EQ(x11KeyCodeFromKeyCode(row.keyCode), row.x11);
}

INSTANTIATE_TEST_SUITE_P(All, KeyCodeTest, testing::ValuesIn(kKeyRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(KeysTest, EveryKnownKeyCodeRoundTripsAndUnknownCodesStayUnknown)
{
    int known = 0;
    for (quint16 code = 0; code < 128; ++code) {
        const quint32 x11 = x11KeyCodeFromKeyCode(code);
        if (x11 == 0)
            continue;
        ++known;
        EXPECT_EQ(keyCodeFromX11(x11), code) << "key code " << code;
    }
    EXPECT_GE(known, 110);

    EXPECT_EQ(keyCodeFromX11(0), kNoKeyCode);
    EXPECT_EQ(keyCodeFromX11(107), kNoKeyCode); // Print has no key code
    EXPECT_EQ(keyCodeFromX11(100000), kNoKeyCode);
    EXPECT_EQ(x11KeyCodeFromKeyCode(52), 0u); // no key has code 52
    EXPECT_EQ(x11KeyCodeFromKeyCode(kNoKeyCode), 0u);
}

TEST(KeysTest, QtKeysMapToTheKeyTheyAreOn)
{
    struct Row
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint16 keyCode;
    };
    const std::vector<Row> rows = {
        {Qt::Key_A, Qt::NoModifier, kKeyA},
        {Qt::Key_Z, Qt::ControlModifier, kKeyZ},
        {Qt::Key_1, Qt::NoModifier, kKey1},
        {Qt::Key_Exclam, Qt::ShiftModifier, kKey1},
        {Qt::Key_1, Qt::KeypadModifier, kKeyKeypad1},
        {Qt::Key_Plus, Qt::ShiftModifier, kKeyEqual},
        {Qt::Key_Plus, Qt::KeypadModifier, kKeyKeypadPlus},
        {Qt::Key_AsciiTilde, Qt::ShiftModifier, kKeyGrave},
        {Qt::Key_Return, Qt::NoModifier, kKeyReturn},
        {Qt::Key_Enter, Qt::KeypadModifier, kKeyKeypadEnter},
        {Qt::Key_Backspace, Qt::NoModifier, kKeyDelete},
        {Qt::Key_Delete, Qt::NoModifier, kKeyForwardDelete},
        {Qt::Key_Backtab, Qt::ShiftModifier, kKeyTab},
        {Qt::Key_Control, Qt::ControlModifier, kKeyCommand},
        {Qt::Key_Meta, Qt::MetaModifier, kKeyControl},
        {Qt::Key_Menu, Qt::NoModifier, kKeyFunction},
        {Qt::Key_F5, Qt::NoModifier, kKeyF5},
        {Qt::Key_F20, Qt::NoModifier, kKeyF20},
        {Qt::Key_Left, Qt::KeypadModifier, kKeyLeftArrow},
        {Qt::Key_Print, Qt::NoModifier, kNoKeyCode},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(keyCodeFromQtKey(row.key, row.modifiers), row.keyCode);
    }
}

} // namespace
