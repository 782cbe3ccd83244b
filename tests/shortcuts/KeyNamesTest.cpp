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
    const char *symbols; // UTF-8
    const char *words;
    int count;
};

const std::vector<Row> kRows = {
    {"ControlCommandLetter", 0, kControl | kCommand, "\u2303\u2318a", "Control-Command-A", 3},
    {"AllModifiersInOrder", 6, kCommand | kFunction | kShift | kOption | kControl,
     "\u2303\u2325\u21E7\u2318\U0001F310\uFE0Ez", "Control-Option-Shift-Command-Fn-Z", 6},
    {"RightShiftLooksLikeShift", 60, 0, "\u21E7", "RightShift", 1},
    {"FunctionKeyAlone", 63, 0, "", "", 0},
    {"CommandKeyWithShift", 55, kShift, "\u21E7", "Shift-", 1},
    {"F5WithFunctionNamesFnTwice", 96, kFunction, "\U0001F310\uFE0EF5", "Fn-Fn-F5", 2},
    {"F13WithoutFn", 105, 0, "F13", "F13", 1},
    {"F12WithFn", 111, 0, "F12", "Fn-F12", 1},
    {"OptionTab", 48, kOption, "\u2325\u21E5", "Option-Tab", 2},
    {"Space", 49, 0, "\u23B5", "Space", 1},
    {"PageDown", 121, kCommand, "\u2318\u21DF", "Command-PageDown", 2},
    {"VolumeUp", 72, 0, "\U0001F50A", "VolumeUp", 1},
    {"LeftBracketByName", 33, kCommand, "\u2318[", "Command-Left Bracket", 2},
    {"LayoutDigit", 18, kOption, "\u23251", "Option-1", 2},
};

void PrintTo(const Row &row, std::ostream *os)
{
    *os << row.name;
}

class KeyNamesTest : public InkoraFixture, public testing::WithParamInterface<Row>
{
};

TEST_P(KeyNamesTest, SymbolsWordsAndCount)
{
    const Row &row = GetParam();
    EXPECT_EQ(shortcutSymbolString(row.keyCode, row.flags), QString::fromUtf8(row.symbols));
    EXPECT_EQ(modifierHintString(row.keyCode, row.flags, false), QString::fromUtf8(row.words));
    EXPECT_EQ(modifierHintString(row.keyCode, row.flags, true),
              QLatin1Char('(') + QString::fromUtf8(row.words) + QLatin1Char(')'));
    EXPECT_EQ(shortcutSymbolCount(row.keyCode, row.flags), row.count);

    const auto shortCut = KQShortCut::shortCutWithKeyCode(row.keyCode, row.flags, nullptr, QStringLiteral("a:"));
    EXPECT_EQ(shortCut->basicHint(), QString::fromUtf8(row.symbols));
    EXPECT_EQ(shortCut->extraHint(), QString::fromUtf8(row.words));
}

INSTANTIATE_TEST_SUITE_P(All, KeyNamesTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

class KeyTextTest : public InkoraFixture
{
};

TEST_F(KeyTextTest, LayoutGetsTheUnshiftedHotKeyMaskAndAnUntranslatableKeyAddsNothing)
{
    // The mask's bits lie above the translation's modifier bits, so the layout sees no modifier held.
    EXPECT_EQ(shortcutSymbolString(6, kShift | kCommand), QStringLiteral("\u21E7\u2318z"));
    EXPECT_EQ(fakes().keyboardLayout->lastModifierState(), 0x100u | 0x200u);

    fakes().keyboardLayout->setText(10, QString());
    EXPECT_EQ(shortcutSymbolString(10, kCommand), QStringLiteral("\u2318"));
    EXPECT_EQ(modifierHintString(10, kCommand, true), QStringLiteral("(Command-)"));
    EXPECT_EQ(keyCodeSymbolString(10), QString());

    // A non-Latin layout shows its own text, upper-cased in words.
    fakes().keyboardLayout->setText(12, QStringLiteral("\u0439"));
    EXPECT_EQ(keyCodeSymbolString(12), QStringLiteral("\u0439"));
    EXPECT_EQ(modifierHintString(12, kCommand, false), QStringLiteral("Command-\u0419"));
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
    EXPECT_EQ(keyNameTable().value(116), QStringLiteral("PageUp"));

    EXPECT_TRUE(KQShortCut::shortCutWithKeyCode(48, 0, nullptr, {})->hasSingleSpecialKey());
    EXPECT_FALSE(KQShortCut::shortCutWithKeyCode(48, kShift, nullptr, {})->hasSingleSpecialKey());
    EXPECT_FALSE(KQShortCut::shortCutWithKeyCode(0, 0, nullptr, {})->hasSingleSpecialKey());
}

} // namespace
