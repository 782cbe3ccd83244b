#include "shortcuts/KQShortCutPopover.h"

#include "platform/Keys.h"
#include "platform/fake/FakeHotKeys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutTextField.h"
#include "shortcuts/KQShortCutTextFieldEditor.h"
#include "shortcuts/KQTextField.h"
#include "tests/shortcuts/ShortcutsFixture.h"

#include <QPushButton>
#include <QTest>

using namespace platform;

namespace {

constexpr quint64 kCmd = kCommandFlag;
constexpr std::uint32_t kCommandMask = 0x100;
constexpr std::uint32_t kShiftMask = 0x200;
const Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

class KQShortCutPopoverTest : public ShortcutsFixture
{
protected:
    void SetUp() override
    {
        ShortcutsFixture::SetUp();
        undo = bind(kKeyZ, kCmd, QStringLiteral("undoWithEvent:"));
        undo->setIsDefault(true);
        undoField = &addField(QStringLiteral("ShortcutUndo"), undo);
    }
    void TearDown() override
    {
        popover().close();
        ShortcutsFixture::TearDown();
    }

    static KQShortCutPopover &popover() { return KQShortCutPopover::sharedPopover(); }
    static KQShortCutTextField &recorder() { return *popover().shortCutField(); }

    /// Opens the popover for the field as a click does, and gives its recording field the keyboard.
    void openFor(KQTextField &field)
    {
        // The click comes from the pane's window, which is active before the popover is.
        pane().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&pane()));
        field.invokeTargetAction();
        ASSERT_TRUE(popover().isShown());
        QWidget *window = popover().popover().window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        // The popover gave the field the keyboard; it arrives with the window's activation.
        ASSERT_TRUE(QTest::qWaitFor([] { return recorder().isBeingEdited(); }));
    }

    std::shared_ptr<KQShortCut> undo;
    KQTextField *undoField = nullptr;
};

TEST_F(KQShortCutPopoverTest, OkBindsTheRecordingThroughTheRegistryAndStoresIt)
{
    openFor(*undoField);
    QTest::keyClick(&recorder(), Qt::Key_U, kCtrlShift);
    EXPECT_EQ(recorder().stringValue(), QStringLiteral("Ctrl+Shift+U"));
    EXPECT_TRUE(recorder().shortCutIsEnough());

    popover().okButton()->click();
    drainMainQueue();

    EXPECT_FALSE(popover().isShown());
    EXPECT_FALSE(recorder().isBeingEdited());
    EXPECT_EQ(undo->keyCode(), kKeyU);
    EXPECT_EQ(undo->modifierFlags(), kCmd | kShiftFlag);
    EXPECT_TRUE(hotKeys().isGrabbed(kKeyU, kCommandMask | kShiftMask));
    EXPECT_FALSE(hotKeys().isGrabbed(kKeyZ, kCommandMask));
    EXPECT_EQ(stored(QStringLiteral("ShortcutUndo")), QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww"));
    EXPECT_EQ(undoField->stringValue(), QStringLiteral("Ctrl+Shift+U"));
}

TEST_F(KQShortCutPopoverTest, OkWithoutEnoughSymbolsOrOnABoundCombinationChangesNothing)
{
    bind(kKeyZ, kCmd | kShiftFlag, QStringLiteral("redoWithEvent:"));
    struct Case
    {
        const char *name;
        qint64 tag;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"TooFewSymbols", 2, Qt::Key_A, Qt::ControlModifier},
        {"BoundToAnotherCommand", 2, Qt::Key_Z, kCtrlShift},
        {"BoundToThisCommand", 1, Qt::Key_Z, Qt::ControlModifier},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        undoField->setTag(c.tag);
        openFor(*undoField);
        QTest::keyClick(&recorder(), c.key, c.modifiers);
        popover().okButton()->click();
        drainMainQueue();

        EXPECT_FALSE(popover().isShown());
        EXPECT_EQ(undo->keyCode(), kKeyZ);
        EXPECT_EQ(undo->modifierFlags(), kCmd);
        EXPECT_TRUE(hotKeys().isGrabbed(kKeyZ, kCommandMask));
        EXPECT_TRUE(stored(QStringLiteral("ShortcutUndo")).isNull());
    }
}

TEST_F(KQShortCutPopoverTest, EscapeBringsBackWhatTheFieldShowedWhenEditingBegan)
{
    openFor(*undoField);
    QTest::keyClick(&recorder(), Qt::Key_K, kCtrlShift);
    recorder().clearFocus(); // editing ends; the recording stays
    recorder().setFocus();
    ASSERT_TRUE(recorder().isBeingEdited());

    QTest::keyClick(&recorder(), Qt::Key_J, kCtrlShift);
    EXPECT_EQ(recorder().stringValue(), QStringLiteral("Ctrl+Shift+J"));
    QTest::keyClick(&recorder(), Qt::Key_B); // a plain letter is not recorded
    EXPECT_EQ(recorder().stringValue(), QStringLiteral("Ctrl+Shift+J"));
    EXPECT_TRUE(recorder().isBeingEdited());

    QTest::keyClick(&recorder(), Qt::Key_Escape);
    EXPECT_EQ(recorder().stringValue(), QStringLiteral("Ctrl+Shift+K"));
    EXPECT_FALSE(recorder().isBeingEdited());
    EXPECT_TRUE(popover().isShown()); // only "Ok" and "Cancel" close it
}

TEST_F(KQShortCutPopoverTest, RecordingTakesTheKeysFromEverythingElse)
{
    // A hot key we hold reaches the recorder, not its command, and a key shortcut of our own windows stays quiet.
    const auto redo = bind(kKeyZ, kCmd | kShiftFlag, QStringLiteral("redoWithEvent:"));
    QAction inWindowShortcut(popover().popover().window());
    inWindowShortcut.setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Y")));
    popover().popover().window()->addAction(&inWindowShortcut);
    int inWindowRuns = 0;
    QObject::connect(&inWindowShortcut, &QAction::triggered, [&] { ++inWindowRuns; });
    openFor(*undoField);

    ASSERT_TRUE(hotKeys().press(kKeyZ, kCommandMask | kShiftMask, kCmd | kShiftFlag));
    EXPECT_TRUE(commands.performed.isEmpty());
    ASSERT_TRUE(recorder().shortCut());
    EXPECT_EQ(recorder().shortCut()->keyCode(), kKeyZ);
    EXPECT_EQ(recorder().shortCut()->modifierFlags(), kCmd | kShiftFlag);

    QTest::keyClick(popover().popover().window(), Qt::Key_Y, kCtrlShift);
    EXPECT_EQ(inWindowRuns, 0);
    EXPECT_EQ(recorder().shortCut()->keyCode(), kKeyY);

    popover().cancelButton()->click();
    EXPECT_EQ(redo->keyCode(), kKeyZ);
    ASSERT_TRUE(hotKeys().press(kKeyZ, kCommandMask | kShiftMask, kCmd | kShiftFlag));
    EXPECT_EQ(commands.performed, QStringList{QStringLiteral("redoWithEvent:")});
}

TEST_F(KQShortCutPopoverTest, OkAloneNeverAppliesWhatWasRecordedForAnotherField)
{
    const auto color = bind(kKey1, kCmd | kOptionFlag, QStringLiteral("color1WithEvent:"));
    KQTextField &colorField = addField(QStringLiteral("ShortcutColor1"), color);
    openFor(colorField);
    QTest::keyClick(&recorder(), Qt::Key_K, kCtrlShift);
    popover().cancelButton()->click();

    openFor(*undoField);
    EXPECT_TRUE(recorder().stringValue().isEmpty());
    popover().okButton()->click();
    drainMainQueue();

    EXPECT_EQ(undo->keyCode(), kKeyZ);
    EXPECT_EQ(undo->modifierFlags(), kCmd);
}

} // namespace
