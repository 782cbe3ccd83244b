#include "shortcuts/KeyNames.h"

#include "platform/fake/FakeKeyboardLayout.h"
#include "shortcuts/KQShortCut.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

namespace {

constexpr quint64 kShift = 0x20000;
constexpr quint64 kControl = 0x40000;
constexpr quint64 kOption = 0x80000;
constexpr quint64 kCommand = 0x100000;
constexpr quint64 kFunction = 0x800000;

struct Row
{
    const char *name;
    quint16 keyCode;
    quint64 flags;
    const char *text;
    int count;
};

// Super is the Control flag, Ctrl the Command flag, Alt the Option flag, Menu the Function flag.
const std::vector<Row> kRows = {
    {"SuperCtrlLetterInUpperCase", 0, kControl | kCommand, "Super+Ctrl+A", 3},
    {"AllModifiersInDesktopOrder", 6, kCommand | kFunction | kShift | kOption | kControl, "Super+Ctrl+Alt+Shift+Menu+Z",
     6},
    {"Undo", 6, kCommand, "Ctrl+Z", 2},
    {"Redo", 6, kCommand | kShift, "Ctrl+Shift+Z", 3},
    {"ShowOverlay", 2, kControl | kOption, "Super+Alt+D", 3},
    {"ShowOverlayWithoutToolBar", 2, kControl | kOption | kShift, "Super+Alt+Shift+D", 4},
    {"RightShiftReadsShift", 60, 0, "Shift", 1},
    {"FunctionKeyAlone", 63, 0, "", 0},
    {"CommandKeyWithShiftHasNoTrailingPlus", 55, kShift, "Shift", 1},
    {"F5WithMenuHasNoFnWord", 96, kFunction, "Menu+F5", 2},
    {"F13", 105, 0, "F13", 1},
    {"AltTab", 48, kOption, "Alt+Tab", 2},
    {"Space", 49, 0, "Space", 1},
    {"Backspace", 51, kCommand, "Ctrl+Backspace", 2},
    {"ForwardDelete", 117, kOption, "Alt+Del", 2},
    {"PageDown", 121, kCommand, "Ctrl+PgDown", 2},
    {"VolumeUp", 72, 0, "Volume Up", 1},
    {"LeftBracketAsTyped", 33, kCommand, "Ctrl+[", 2},
    {"LayoutDigit", 18, kOption, "Alt+1", 2},
};

void PrintTo(const Row &row, std::ostream *os)
{
    *os << row.name;
}

class KeyNamesTest : public InkoraFixture, public testing::WithParamInterface<Row>
{
};

TEST_P(KeyNamesTest, TextCountAndHintsReadAlike)
{
    const Row &row = GetParam();
    const QString text = QString::fromUtf8(row.text);
    EXPECT_EQ(shortcutSymbolString(row.keyCode, row.flags), text);
    EXPECT_EQ(modifierHintString(row.keyCode, row.flags, false), text);
    EXPECT_EQ(modifierHintString(row.keyCode, row.flags, true), QLatin1Char('(') + text + QLatin1Char(')'));
    EXPECT_EQ(shortcutSymbolCount(row.keyCode, row.flags), row.count);

    const auto shortCut = KQShortCut::shortCutWithKeyCode(row.keyCode, row.flags, nullptr, QStringLiteral("a:"));
    EXPECT_EQ(shortCut->basicHint(), text);
    EXPECT_EQ(shortCut->extraHint(), text);
}

INSTANTIATE_TEST_SUITE_P(All, KeyNamesTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

class KeyTextTest : public InkoraFixture
{
};

TEST_F(KeyTextTest, LayoutGetsTheUnshiftedHotKeyMaskAndAnUntranslatableKeyAddsNothing)
{
    // The mask's bits lie above the translation's modifier bits, so the layout sees no modifier held.
    EXPECT_EQ(shortcutSymbolString(6, kShift | kCommand), QStringLiteral("Ctrl+Shift+Z"));
    EXPECT_EQ(fakes().keyboardLayout->lastModifierState(), 0x100u | 0x200u);

    fakes().keyboardLayout->setText(10, QString());
    EXPECT_EQ(shortcutSymbolString(10, kCommand), QStringLiteral("Ctrl"));
    EXPECT_EQ(modifierHintString(10, kCommand, true), QStringLiteral("(Ctrl)"));
    EXPECT_EQ(keyCodeSymbolString(10), QString());

    // A non-Latin layout shows its own text, upper-cased as on the keycap.
    fakes().keyboardLayout->setText(12, QStringLiteral("\u0439"));
    EXPECT_EQ(keyCodeSymbolString(12), QStringLiteral("\u0419"));
    EXPECT_EQ(modifierHintString(12, kCommand, false), QStringLiteral("Ctrl+\u0419"));
    EXPECT_EQ(fakes().keyboardLayout->lastModifierState(), 0x100u);
}

TEST(KeyTablesTest, FunctionKeysSingleKeysAndMenuCharacters)
{
    EXPECT_EQ(keySymbolTable().size(), 46);
    EXPECT_EQ(keyNameTable().size(), 57);
    ASSERT_EQ(functionKeyCodes().size(), 20);
    for (int i = 0; i < 20; ++i) {
        const quint16 keyCode = functionKeyCodes().at(i);
        SCOPED_TRACE(keyCode);
        EXPECT_EQ(functionKeyNames().value(keyCode), QStringLiteral("F%1").arg(i + 1));
        EXPECT_EQ(keyCodeSymbolString(keyCode), QStringLiteral("F%1").arg(i + 1));
        EXPECT_EQ(menuKeyEquivalentCharacter(keyCode), char16_t(0xF704 + i));
        EXPECT_TRUE(isFunctionKeyCode(keyCode));
    }
    EXPECT_EQ(menuKeyEquivalentCharacter(90), u'\uF717');
    EXPECT_EQ(menuKeyEquivalentCharacter(0), char16_t(0));
    EXPECT_TRUE(isFunctionKeyCode(105));
    EXPECT_FALSE(isFunctionKeyCode(0));

    EXPECT_EQ(singleSpecialKeyCodes(),
              (QList<quint16>{48, 50, 43, 47, 44, 42, 33, 30, 41, 39, 27, 24, 116, 121, 115, 119}));
    EXPECT_EQ(singleKeyNames().value(116), QStringLiteral("Page Up"));
    EXPECT_EQ(keyNameTable().value(116), QStringLiteral("PgUp"));
    EXPECT_EQ(keyNameTable().value(50), QStringLiteral("Grave"));

    EXPECT_TRUE(KQShortCut::shortCutWithKeyCode(48, 0, nullptr, {})->hasSingleSpecialKey());
    EXPECT_FALSE(KQShortCut::shortCutWithKeyCode(48, kShift, nullptr, {})->hasSingleSpecialKey());
    EXPECT_FALSE(KQShortCut::shortCutWithKeyCode(0, 0, nullptr, {})->hasSingleSpecialKey());
}

} // namespace
