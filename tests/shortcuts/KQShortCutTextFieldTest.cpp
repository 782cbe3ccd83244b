#include "shortcuts/KQShortCutTextField.h"

#include "platform/Event.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutTextFieldEditor.h"
#include "tests/support/InkoraFixture.h"

#include <QFontMetrics>
#include <QTest>

#include <vector>

using namespace platform;

namespace {

constexpr quint64 kCmd = kCommandFlag;
constexpr quint64 kOpt = kOptionFlag;

Event flagsChanged(quint16 keyCode, quint64 flags)
{
    Event e;
    e.type = EventType::FlagsChanged;
    e.keyCode = keyCode;
    e.modifierFlags = flags;
    return e;
}

Event keyDown(quint16 keyCode, quint64 flags, const QString &characters = QStringLiteral("x"))
{
    Event e;
    e.type = EventType::KeyDown;
    e.keyCode = keyCode;
    e.modifierFlags = flags;
    e.characters = e.charactersIgnoringModifiers = characters;
    return e;
}

struct Row
{
    const char *name;
    qint64 tag;
    std::vector<Event> events;
    bool enough;
    quint16 keyCode;
};

class KQShortCutTextFieldTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_field = std::make_unique<KQShortCutTextField>();
        m_field->resize(110, 34);
    }
    void TearDown() override
    {
        KQShortCutTextFieldEditor::sharedEditor().resignFirstResponder();
        m_field.reset();
        InkoraFixture::TearDown();
    }

    /// Starts recording into the field, as its getting the keyboard does.
    void beginRecording()
    {
        auto &editor = KQShortCutTextFieldEditor::sharedEditor();
        editor.setHotKeyField(m_field.get());
        editor.becomeFirstResponder();
    }

    std::unique_ptr<KQShortCutTextField> m_field;
};

TEST_F(KQShortCutTextFieldTest, JudgesWhetherARecordingHasEnoughSymbols)
{
    const std::vector<Row> rows = {
        {"CommandShiftA", 2, {flagsChanged(kKeyCommand, kCmd), keyDown(kKeyA, kCmd | kShiftFlag)}, true, kKeyA},
        {"CommandA", 2, {flagsChanged(kKeyCommand, kCmd), keyDown(kKeyA, kCmd)}, false, kKeyA},
        {"CommandShiftHeldAlone",
         2,
         {flagsChanged(kKeyCommand, kCmd), flagsChanged(kKeyShift, kCmd | kShiftFlag)},
         false,
         kKeyShift},
        // Modifier keys other than the four left ones, with two modifiers already held, are still only modifiers.
        {"RightShift",
         2,
         {flagsChanged(kKeyCommand, kCmd), flagsChanged(kKeyOption, kCmd | kOpt),
          flagsChanged(kKeyRightShift, kCmd | kOpt | kShiftFlag)},
         false,
         kKeyRightShift},
        {"RightControl",
         2,
         {flagsChanged(kKeyCommand, kCmd), flagsChanged(kKeyOption, kCmd | kOpt),
          flagsChanged(kKeyRightControl, kCmd | kOpt | kControlFlag)},
         false,
         kKeyRightControl},
        {"RightCommand",
         2,
         {flagsChanged(kKeyShift, kShiftFlag), flagsChanged(kKeyOption, kShiftFlag | kOpt),
          flagsChanged(kKeyRightCommand, kCmd | kOpt | kShiftFlag)},
         false,
         kKeyRightCommand},
        {"CapsLock",
         2,
         {flagsChanged(kKeyCommand, kCmd), flagsChanged(kKeyOption, kCmd | kOpt),
          flagsChanged(kKeyCapsLock, kCmd | kOpt | kCapsLockFlag)},
         false,
         kKeyCapsLock},
        {"Menu",
         2,
         {flagsChanged(kKeyCommand, kCmd), flagsChanged(kKeyOption, kCmd | kOpt),
          flagsChanged(kKeyFunction, kCmd | kOpt | kFunctionFlag)},
         false,
         kKeyFunction},
        {"MenuF5WithTagZero",
         0,
         {flagsChanged(kKeyFunction, kFunctionFlag), keyDown(kKeyF5, kFunctionFlag)},
         true,
         kKeyF5},
        {"MenuF5WithTagTwo",
         2,
         {flagsChanged(kKeyFunction, kFunctionFlag), keyDown(kKeyF5, kFunctionFlag)},
         false,
         kKeyF5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        m_field->setSymbolsCount(row.tag);
        m_field->setShortCut(nullptr);
        beginRecording();
        for (const Event &event : row.events)
            KQShortCutTextFieldEditor::sharedEditor().validateShortCutEvent(event);

        ASSERT_TRUE(m_field->shortCut());
        EXPECT_EQ(m_field->shortCut()->keyCode(), row.keyCode);
        EXPECT_EQ(m_field->shortCutIsEnough(), row.enough);
        KQShortCutTextFieldEditor::sharedEditor().resignFirstResponder();
    }
}

TEST_F(KQShortCutTextFieldTest, ModifiersAfterAKeyRecordNothingUntilAllAreReleased)
{
    auto &editor = KQShortCutTextFieldEditor::sharedEditor();
    beginRecording();
    editor.validateShortCutEvent(keyDown(kKeyA, kCmd | kShiftFlag));
    const auto recorded = m_field->shortCut();

    editor.validateShortCutEvent(flagsChanged(kKeyShift, kCmd)); // Shift let go, Command still held
    EXPECT_EQ(m_field->shortCut(), recorded);
    editor.validateShortCutEvent(flagsChanged(kKeyCommand, 0));
    editor.validateShortCutEvent(flagsChanged(kKeyOption, kOpt));
    ASSERT_NE(m_field->shortCut(), recorded);
    EXPECT_EQ(m_field->shortCut()->keyCode(), kKeyOption);
}

TEST_F(KQShortCutTextFieldTest, RecordsTheStartingShortcutsCommandAndTheFlagsAsHeld)
{
    auto start = KQShortCut::shortCutWithKeyCode(kKeyZ, kCmd, nullptr, QStringLiteral("undoWithEvent:"));
    m_field->setShortCut(start);
    beginRecording();
    // Caps Lock is kept as held, as the hot key then needs it.
    KQShortCutTextFieldEditor::sharedEditor().validateShortCutEvent(keyDown(kKeyU, kCmd | kShiftFlag | kCapsLockFlag));

    ASSERT_TRUE(m_field->shortCut());
    EXPECT_EQ(m_field->shortCut()->action(), QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(m_field->shortCut()->modifierFlags(), kCmd | kShiftFlag | kCapsLockFlag);
}

TEST_F(KQShortCutTextFieldTest, LongKeyNamesShrinkToFitTheFieldAndShortOnesKeepTheirSize)
{
    const auto shortOne = KQShortCut::shortCutWithKeyCode(kKeyF5, 0, nullptr, QStringLiteral("x:"));
    m_field->setShortCut(shortOne);
    EXPECT_EQ(m_field->textFont().pointSizeF(), 27);

    const auto longOne =
        KQShortCut::shortCutWithKeyCode(kKeyU, kCmd | kShiftFlag | kOpt | kControlFlag, nullptr, QStringLiteral("x:"));
    m_field->setShortCut(longOne);
    EXPECT_LT(m_field->textFont().pointSizeF(), 27);
    EXPECT_LE(QFontMetrics(m_field->textFont()).horizontalAdvance(m_field->stringValue()), m_field->width());
}

} // namespace
