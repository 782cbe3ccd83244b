#include "shortcuts/KQShortCut.h"

#include "app/AppDelegate.h"
#include "foundation/ActionTarget.h"
#include "foundation/NSString+Bezier.h"
#include "platform/Event.h"
#include "platform/fake/FakeHotKeys.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <vector>

namespace {

std::shared_ptr<KQShortCut> parse(const char *text)
{
    return KQShortCut::shortcutObjectWithString(Bezier::base64EncodedString(QString::fromLatin1(text)));
}

} // namespace

TEST(KQShortCutTest, StringFormIsBase64OfActionFlagsKeyAndDisabled)
{
    auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(undo->shortcutObjectStringValue(), QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="));
    undo->setDisabled(true);
    EXPECT_EQ(Bezier::decodedFromBase64String(undo->shortcutObjectStringValue()),
              QStringLiteral("undoWithEvent:,1048576,6,1"));

    const auto read = KQShortCut::shortcutObjectWithString(undo->shortcutObjectStringValue());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->action(), QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(read->modifierFlags(), 0x100000u);
    EXPECT_EQ(read->keyCode(), 6);
    EXPECT_TRUE(read->disabled());
    EXPECT_EQ(read->target(), nullptr);
    EXPECT_FALSE(read->isDefault());
}

TEST(KQShortCutTest, MalformedStringsReadAsNothing)
{
    for (const char *text : {"undoWithEvent:,1048576,6", "undoWithEvent:,1048576,6,0,", ""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parse(text));
    }
    EXPECT_FALSE(KQShortCut::shortcutObjectWithString(QStringLiteral("not base64!")));
    EXPECT_FALSE(KQShortCut::shortcutObjectWithString(QStringLiteral("/w==")));
}

TEST(KQShortCutTest, NumbersAreReadLeniently)
{
    struct Row
    {
        const char *text;
        quint64 flags;
        quint16 keyCode;
        bool disabled;
    };
    const std::vector<Row> rows = {
        {"a:, 1048576x,65791,2", 0x100000, 255, false}, // low 16 bits of the key; 2 is not "disabled"
        {"a:,abc,7junk,1", 0, 7, true},
        {"a:,131072,99999999999,0", 0x20000, 0xFFFF, false}, // the key saturates at 32 bits first
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        const auto shortCut = parse(row.text);
        ASSERT_TRUE(shortCut);
        EXPECT_EQ(shortCut->modifierFlags(), row.flags);
        EXPECT_EQ(shortCut->keyCode(), row.keyCode);
        EXPECT_EQ(shortCut->disabled(), row.disabled);
    }
    EXPECT_TRUE(parse("a:,0,65791,0")->isNotAssigned());
}

TEST(KQShortCutTest, EqualityIsKeyAndFlagsOnly)
{
    const auto a = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    const auto b = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("quitWithEvent:"));
    const auto c = KQShortCut::shortCutWithKeyCode(6, 0x120000, nullptr, QStringLiteral("undoWithEvent:"));
    EXPECT_TRUE(a->isEqual(*b));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_FALSE(a->isEqual(*c));
}

class KQShortCutMonitorTest : public InkoraFixture
{
};

/// Records the actions it runs.
class RecordingTarget final : public inkora::ActionTarget
{
public:
    bool respondsToAction(const QString &action) const override { return action != QStringLiteral("unknown:"); }
    void performAction(const QString &action, const platform::Event *event) override
    {
        ran.append(action);
        lastKeyCode = event ? event->keyCode : 0;
    }
    QStringList ran;
    quint16 lastKeyCode = 0;
};

TEST_F(KQShortCutMonitorTest, EachKeyCombinationIsBoundOnceAndFunctionShortcutsAreKeptApart)
{
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    const auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    const auto same = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("quitWithEvent:"));
    const auto fn = KQShortCut::shortCutWithKeyCode(18, 0x800000, nullptr, QStringLiteral("color1WithEvent:"));

    EXPECT_EQ(monitor.bindShortCut(undo), undo);
    EXPECT_EQ(monitor.bindShortCut(same), same); // returned, but not bound
    monitor.bindShortCut(fn);

    EXPECT_EQ(monitor.allShortCuts(), (QList<std::shared_ptr<KQShortCut>>{undo, fn}));
    EXPECT_EQ(monitor.fnContainingShortCuts(), QList<std::shared_ptr<KQShortCut>>{fn});

    monitor.unbindShortCut(undo);
    monitor.unbindShortCut(nullptr);
    EXPECT_EQ(monitor.allShortCuts(), QList<std::shared_ptr<KQShortCut>>{fn});
}

namespace {

class CountingTarget final : public inkora::ActionTarget
{
public:
    bool respondsToAction(const QString &action) const override { return action == QStringLiteral("shot:"); }
    void performAction(const QString &, const platform::Event *event) override
    {
        ++performed;
        lastKeyCode = event ? event->keyCode : 0;
    }
    int performed = 0;
    quint16 lastKeyCode = 0;
};

platform::Event keyEvent(platform::EventType type, quint16 keyCode, quint64 flags)
{
    platform::Event e;
    e.type = type;
    e.keyCode = keyCode;
    e.modifierFlags = flags;
    return e;
}

} // namespace

class KQShortCutEventTest : public InkoraFixture
{
};

TEST_F(KQShortCutEventTest, MatchesKeyEventsOfItsKeySharingAModifier)
{
    const auto shortCut = KQShortCut::shortCutWithKeyCode(
        platform::kKeyD, platform::kCommandFlag | platform::kShiftFlag, nullptr, QStringLiteral("shot:"));
    const struct
    {
        const char *name;
        platform::Event event;
        bool disabled;
        bool matches;
    } rows[] = {
        {"keyDown", keyEvent(platform::EventType::KeyDown, platform::kKeyD, platform::kCommandFlag), false, true},
        {"keyUp", keyEvent(platform::EventType::KeyUp, platform::kKeyD, platform::kShiftFlag), false, true},
        {"otherKey", keyEvent(platform::EventType::KeyDown, platform::kKeyS, platform::kCommandFlag), false, false},
        {"noSharedFlag", keyEvent(platform::EventType::KeyDown, platform::kKeyD, platform::kOptionFlag), false, false},
        {"disabled", keyEvent(platform::EventType::KeyDown, platform::kKeyD, platform::kCommandFlag), true, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        shortCut->setDisabled(row.disabled);
        EXPECT_EQ(shortCut->enabledAndMatchWithEvent(row.event), row.matches);
    }

    log().expectWarning(QStringLiteral("shortcutMatchWithEvent: event type mismatch"));
    platform::Event click;
    click.type = platform::EventType::LeftMouseDown;
    EXPECT_FALSE(shortCut->enabledAndMatchWithEvent(click));
}

TEST_F(KQShortCutEventTest, InvokesItsActionOnlyOnATargetThatResponds)
{
    CountingTarget target;
    const auto shortCut =
        KQShortCut::shortCutWithKeyCode(platform::kKeyD, platform::kCommandFlag, &target, QStringLiteral("shot:"));
    const platform::Event event = keyEvent(platform::EventType::KeyDown, platform::kKeyD, platform::kCommandFlag);

    shortCut->invokeWithEvent(event);
    shortCut->setAction(QStringLiteral("other:"));
    shortCut->invokeWithEvent(event);
    shortCut->setTarget(nullptr);
    shortCut->invokeWithEvent(event);

    EXPECT_EQ(target.performed, 1);
    EXPECT_EQ(target.lastKeyCode, platform::kKeyD);
}

TEST_F(KQShortCutMonitorTest, HotKeyIdsCountUpAndARefusedRegistrationUsesNone)
{
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    fakes().hotKeys->setRefusalRule([](std::uint16_t keyCode, std::uint32_t) { return keyCode == 48 ? 10 : 0; });
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    RecordingTarget target;
    const auto undo = monitor.bindShortCutWithKeyCode(6, 0x100000, &target, QStringLiteral("undoWithEvent:"));
    const auto refused = monitor.bindShortCutWithKeyCode(48, 0x80000, &target, QStringLiteral("toggleWithEvent:"));
    const auto redo = monitor.bindShortCutWithKeyCode(6, 0x120000, &target, QStringLiteral("redoWithEvent:"));
    ASSERT_TRUE(undo && refused && redo);
    EXPECT_EQ(undo->hotKeyID(), 1u);
    EXPECT_EQ(redo->hotKeyID(), 2u);
    EXPECT_EQ(refused->hotKeyID(), 0u);
    EXPECT_TRUE(refused->isFailedToRegister());
    EXPECT_EQ(refused->hotKeyRef(), 0u);
    EXPECT_TRUE(log().contains(QStringLiteral("Can't register the shortcut")));
    EXPECT_TRUE(log().contains(QStringLiteral("(80000) - Err 10")));
    EXPECT_EQ(monitor.discardedShortCuts(), QList<std::shared_ptr<KQShortCut>>{refused});
    EXPECT_EQ(monitor.allShortCuts().size(), 3);
    EXPECT_FALSE(monitor.bindShortCutWithKeyCode(6, 0x100000, &target, QStringLiteral("quitWithEvent:")));

    // The grab carries the signature and the id; a press runs the command with a key-up of its key.
    EXPECT_TRUE(fakes().hotKeys->isGrabbed(6, 0x100 | 0x200));
    EXPECT_TRUE(fakes().hotKeys->press(6, 0x100));
    EXPECT_EQ(target.ran, QStringList{QStringLiteral("undoWithEvent:")});
    EXPECT_EQ(target.lastKeyCode, 6);

    // Unbinding releases the grab; a later press reaches nothing.
    monitor.unbindShortCut(undo);
    EXPECT_EQ(undo->hotKeyRef(), 0u);
    EXPECT_FALSE(fakes().hotKeys->press(6, 0x100));
    // A disabled shortcut is bound without a hot key; enabling registers it with the next id.
    const auto disabled = KQShortCut::shortCutWithKeyCode(7, 0x100000, &target, QStringLiteral("clearWithEvent:"));
    disabled->setDisabled(true);
    monitor.bindShortCut(disabled);
    EXPECT_EQ(disabled->hotKeyRef(), 0u);
    EXPECT_TRUE(monitor.enableShortCut(disabled));
    EXPECT_EQ(disabled->hotKeyID(), 3u);
    const auto unassigned = KQShortCut::shortCutWithKeyCode(255, 0x100000, &target, QStringLiteral("x:"));
    const int attempts = fakes().hotKeys->registrationAttempts();
    monitor.bindShortCut(unassigned);
    EXPECT_EQ(fakes().hotKeys->registrationAttempts(), attempts);
}

TEST_F(KQShortCutMonitorTest, RefusedShortcutRunsFromTheToolPanelKeysUntilDisabled)
{
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    fakes().hotKeys->setRefusalRule([](std::uint16_t, std::uint32_t) { return -9878; });
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    RecordingTarget target;
    const auto toggle = monitor.bindShortCutWithKeyCode(48, 0x80000, &target, QStringLiteral("toggleWithEvent:"));
    monitor.unbindShortCut(toggle); // still discarded

    platform::Event event;
    event.type = platform::EventType::KeyDown;
    event.keyCode = 48;
    struct Row
    {
        quint64 flags;
        bool runs;
    };
    for (const Row &row : {Row{0x80000 | 0x100, true}, Row{0x80000 | 0x10000, false}, Row{0x100000, false}}) {
        SCOPED_TRACE(row.flags);
        target.ran.clear();
        event.modifierFlags = row.flags;
        EXPECT_EQ(KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent(event), row.runs);
        EXPECT_EQ(target.ran.size(), row.runs ? 1 : 0);
    }
    // Changing the key of the live shortcut leaves no stale member behind.
    toggle->setKeyCode(49);
    EXPECT_FALSE(monitor.discardedHasShortCutWithKeyCode(48, 0x80000));
    EXPECT_EQ(monitor.discardedShortCutWithKeyCode(49, 0x80000), toggle);

    monitor.disableShortCut(toggle);
    event.keyCode = 49;
    event.modifierFlags = 0x80000;
    EXPECT_FALSE(KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent(event));
}

TEST(KQShortCutValueTest, MatchingAndModifierPredicates)
{
    const auto shortCut = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    platform::Event event;
    event.type = platform::EventType::KeyDown;
    event.keyCode = 6;
    event.modifierFlags = 0x100000 | 0x20000;
    EXPECT_TRUE(shortCut->enabledAndMatchWithEvent(event));
    event.modifierFlags = 0x20000;
    EXPECT_FALSE(shortCut->enabledAndMatchWithEvent(event));
    shortCut->setModifierFlags(0);
    EXPECT_FALSE(shortCut->enabledAndMatchWithEvent(event));

    EXPECT_TRUE(KQShortCut::shortCutWithKeyCode(48, 0x90000, nullptr, {})->hasOptionModifierKeyOnly());
    EXPECT_FALSE(KQShortCut::shortCutWithKeyCode(48, 0xA0000, nullptr, {})->hasOptionModifierKeyOnly());
    EXPECT_EQ(KQShortCutMonitor::carbonModifiersFromCocoaFlags(0x100000 | 0x80000 | 0x800000 | 0x400000),
              0x100u | 0x800u | 0x20000u);
}

TEST_F(KQShortCutMonitorTest, UpdatingAShortcutRebindsTheSameObjectAfterTheCurrentEvent)
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    RecordingTarget target;
    const auto undo = monitor.bindShortCutWithKeyCode(6, 0x100000, &target, QStringLiteral("undoWithEvent:"));
    ASSERT_TRUE(undo);
    undo->setIsDefault(true);
    monitor.updateTypingShortcutsIfNeeded();

    const auto edited = KQShortCut::shortCutWithKeyCode(7, 0x120000, nullptr, QStringLiteral("other:"));
    monitor.updateShortCutWithShortCut(undo, *edited);
    EXPECT_TRUE(monitor.typingShortcutsNeedsUpdate());
    EXPECT_TRUE(monitor.allShortCuts().isEmpty());
    EXPECT_FALSE(fakes().hotKeys->isGrabbed(6, 0x100));
    EXPECT_EQ(undo->keyCode(), 7);
    EXPECT_EQ(undo->modifierFlags(), 0x120000u);
    EXPECT_EQ(undo->action(), QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(undo->target(), &target);
    EXPECT_FALSE(undo->isDefault());

    drainMainQueue();
    EXPECT_EQ(monitor.allShortCuts(), QList<std::shared_ptr<KQShortCut>>{undo});
    EXPECT_TRUE(fakes().hotKeys->press(7, 0x100 | 0x200));
    EXPECT_EQ(target.ran, QStringList{QStringLiteral("undoWithEvent:")});
}

TEST_F(KQShortCutMonitorTest, TypingKeyGoesToTheFocusedTextInputInsteadOfTheCommand)
{
    AppDelegate delegate;
    RecordingTarget target;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    ASSERT_TRUE(
        monitor.bindShortCutWithKeyCode(platform::kKeyEqual, 0, &target, QStringLiteral("plusBadgeWithEvent:")));

    QLineEdit field;
    field.show();
    field.activateWindow();
    field.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    ASSERT_TRUE(delegate.isFirstResponderTextInput());

    ASSERT_TRUE(fakes().hotKeys->press(platform::kKeyEqual, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(target.ran.isEmpty());
    EXPECT_EQ(field.text(), QStringLiteral("="));

    field.hide();
    ASSERT_TRUE(fakes().hotKeys->press(platform::kKeyEqual, 0));
    EXPECT_EQ(target.ran, QStringList{QStringLiteral("plusBadgeWithEvent:")});
}
