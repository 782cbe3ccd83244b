
#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/KeyedArchiver.h"
#include "platform/Keys.h"
#include "platform/fake/FakeSystemProfile.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

namespace {

/// A delegate that answers the commands of the table it is given.
class CommandDelegate final : public AppDelegate
{
public:
    explicit CommandDelegate(const QStringList &actions)
    {
        for (const QString &action : actions)
            setActionHandler(action, [](const platform::Event *) {});
    }
};

} // namespace

class DefaultShortcutsTest : public InkoraFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    void store(const QString &key, const QString &action, quint64 flags, quint16 keyCode)
    {
        ShortcutEncode::setShortcutForKey(defaults(), KQShortCut::shortCutWithKeyCode(keyCode, flags, nullptr, action),
                                          key);
    }
    const QList<std::shared_ptr<KQShortCut>> &bound() { return KQShortCutMonitor::defaultMonitor().allShortCuts(); }
};

TEST_F(DefaultShortcutsTest, DefaultTableOnX11TakesTheOlderAlternativeToTheFunctionKey)
{
    struct Row
    {
        const char *action;
        quint16 keyCode;
        quint64 flags;
    };
    const std::vector<Row> rows = {
        {"runInkora:", 2, platform::kControlFlag | platform::kOptionFlag},
        {"runInkoraWithoutToolbar:", 2, platform::kControlFlag | platform::kOptionFlag | platform::kShiftFlag},
        {"undoWithEvent:", 6, 0x100000},
        {"redoWithEvent:", 6, 0x120000},
        {"color1WithEvent:", 18, 0x80000},
        {"color10WithEvent:", 29, 0x80000},
        {"flashlightWithEvent:", 50, 0},
        {"selectLayerWithEvent:", 50, 0x100000},
        {"takeADazadUdizWithEvent:", 1, 0x80000},
        {"pinOnTopWithEvent:", 122, 0},
        {"badge6WithEvent:", 22, platform::kControlFlag},
        {"plusBadgeWithEvent:", 24, platform::kControlFlag},
        {"selectAllWithEvent:", 0, platform::kCommandFlag},
    };
    CommandDelegate delegate({});
    for (const Row &row : rows) {
        SCOPED_TRACE(row.action);
        const auto shortCut = MRKOUtils::defaultShortCutForAction(QLatin1String(row.action));
        ASSERT_TRUE(shortCut);
        EXPECT_EQ(shortCut->keyCode(), row.keyCode);
        EXPECT_EQ(shortCut->modifierFlags(), row.flags);
        EXPECT_EQ(shortCut->action(), QLatin1String(row.action));
        EXPECT_EQ(shortCut->target(), &delegate);
        EXPECT_FALSE(shortCut->isDefault());
    }
    EXPECT_FALSE(MRKOUtils::defaultShortCutForAction(QStringLiteral("noSuchCommand:")));
    EXPECT_NE(MRKOUtils::defaultShortCutForAction(QStringLiteral("undoWithEvent:")),
              MRKOUtils::defaultShortCutForAction(QStringLiteral("undoWithEvent:"))); // a new one every time
}

TEST_F(DefaultShortcutsTest, StoredShortcutIsBoundWhenTheDelegateAnswersItsCommand)
{
    CommandDelegate delegate({QStringLiteral("undoWithEvent:")});
    store(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"), platform::kControlFlag, 16);

    const auto shortCut =
        MRKOUtils::shortCutForKeyAction(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"));

    ASSERT_TRUE(shortCut);
    EXPECT_EQ(shortCut->keyCode(), 16);
    EXPECT_EQ(shortCut->target(), &delegate);
    EXPECT_FALSE(shortCut->isDefault());
    EXPECT_EQ(bound(), QList<std::shared_ptr<KQShortCut>>{shortCut});
}

TEST_F(DefaultShortcutsTest, StoredShortcutOfAnUnknownCommandStaysUnboundAndTheDefaultIsNotBound)
{
    CommandDelegate delegate({QStringLiteral("undoWithEvent:")});
    store(QStringLiteral("ShortcutUndo"), QStringLiteral("retiredCommand:"), platform::kControlFlag, 16);
    log().expectWarning("Unable to bind ShortCut. target is not responds to selector retiredCommand:");

    const auto shortCut =
        MRKOUtils::shortCutForKeyAction(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"));

    ASSERT_TRUE(shortCut);
    EXPECT_EQ(shortCut->action(), QStringLiteral("retiredCommand:"));
    EXPECT_EQ(shortCut->target(), nullptr);
    EXPECT_TRUE(bound().isEmpty());
}

TEST_F(DefaultShortcutsTest, WithoutAStoredShortcutTheDefaultIsBoundAndMarked)
{
    CommandDelegate delegate({});
    // Nothing stored, and a malformed stored value, both fall back to the default.
    defaults().setObject(QStringLiteral("not*base64"), QStringLiteral("ShortcutRedo"));

    const auto undo = MRKOUtils::shortCutForKeyAction(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"));
    const auto redo = MRKOUtils::shortCutForKeyAction(QStringLiteral("ShortcutRedo"), QStringLiteral("redoWithEvent:"));
    const auto quit = MRKOUtils::shortCutForKeyAction(QString(), QStringLiteral("quitWithEvent:"));

    for (const auto &shortCut : {undo, redo, quit}) {
        ASSERT_TRUE(shortCut);
        EXPECT_TRUE(shortCut->isDefault());
        EXPECT_TRUE(bound().contains(shortCut));
    }
    EXPECT_EQ(redo->modifierFlags(), 0x120000u);
}

TEST_F(DefaultShortcutsTest, CommandWithoutStoredOrDefaultShortcutIsLogged)
{
    log().expectWarning("Unable to bind ShortCut for key: ShortcutNothing");

    EXPECT_FALSE(MRKOUtils::shortCutForKeyAction(QStringLiteral("ShortcutNothing"), QStringLiteral("nothing:")));
    EXPECT_EQ(log().count(QStringLiteral("Unable to bind ShortCut for key: ShortcutNothing")), 1);
}

TEST_F(DefaultShortcutsTest, EffectiveShortcutReadsTheStoredFormsBeforeTheDefault)
{
    store(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"), platform::kControlFlag, 16);
    defaults().setObject(QStringLiteral("%%%"), QStringLiteral("ShortcutRedo"));
    defaults().setObject(QByteArray("not an archive"), QStringLiteral("ShortcutQuit"));
    const auto archived = KQShortCut::shortCutWithKeyCode(9, platform::kOptionFlag, nullptr, "whiteboardWithEvent:");
    const QByteArray archive = platform::KeyedArchiver::archivedData(*archived).value_or(QByteArray());
    defaults().setObject(archive, QStringLiteral("ShortcutWhiteboard"));
    log().expectWarning(""); // the unreadable archive is named in one line

    const auto undo =
        MRKOUtils::effectiveShortCutForKeyAction(QStringLiteral("ShortcutUndo"), QStringLiteral("undoWithEvent:"));
    const auto redo =
        MRKOUtils::effectiveShortCutForKeyAction(QStringLiteral("ShortcutRedo"), QStringLiteral("redoWithEvent:"));
    const auto quit =
        MRKOUtils::effectiveShortCutForKeyAction(QStringLiteral("ShortcutQuit"), QStringLiteral("quitWithEvent:"));
    const auto copy =
        MRKOUtils::effectiveShortCutForKeyAction(QStringLiteral("ShortcutCopy"), QStringLiteral("copyWithEvent:"));

    ASSERT_TRUE(undo && redo && quit && copy);
    EXPECT_EQ(undo->keyCode(), 16); // the stored string form
    EXPECT_EQ(redo->modifierFlags(), 0x120000u);
    EXPECT_EQ(quit->keyCode(), 12);
    EXPECT_EQ(copy->keyCode(), 8);
    EXPECT_FALSE(copy->isDefault());
    // Nothing bound, written or migrated.
    EXPECT_TRUE(bound().isEmpty());
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("ShortcutQuit")).toByteArray(), QByteArray("not an archive"));
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("ShortcutRedo")).toString(), QStringLiteral("%%%"));
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("ShortcutWhiteboard")).toByteArray(), archive);
}

TEST_F(DefaultShortcutsTest, FunctionKeyDefaultsTakeTheFunctionKeyWhereThereIsOne)
{
    fakes().systemProfile->setHasFunctionKey(true);

    EXPECT_EQ(MRKOUtils::defaultShortCutForAction(QStringLiteral("color1WithEvent:"))->modifierFlags(),
              platform::kFunctionFlag);
    EXPECT_EQ(MRKOUtils::defaultShortCutForAction(QStringLiteral("flashlightWithEvent:"))->modifierFlags(),
              platform::kFunctionFlag);
    EXPECT_EQ(MRKOUtils::defaultShortCutForAction(QStringLiteral("selectLayerWithEvent:"))->modifierFlags(),
              platform::kCommandFlag);
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Flashlight")),
              QStringLiteral("Flashlight (\u21E7 or Fn-`)"));
}

TEST_F(DefaultShortcutsTest, OlderSystemTakesOptionForFunctionKeyDefaults)
{
    fakes().systemProfile->setVersion(11);
    fakes().systemProfile->setHasFunctionKey(true);

    EXPECT_EQ(MRKOUtils::defaultShortCutForAction(QStringLiteral("color1WithEvent:"))->modifierFlags(),
              platform::kOptionFlag);
    EXPECT_EQ(MRKOUtils::defaultShortCutForAction(QStringLiteral("flashlightWithEvent:"))->modifierFlags(), 0u);
}

TEST_F(DefaultShortcutsTest, ShortcutIsDefaultComparesKeyAndExactFlags)
{
    EXPECT_TRUE(MRKOUtils::shortCutIsDefault(*KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, "undoWithEvent:")));
    EXPECT_FALSE(
        MRKOUtils::shortCutIsDefault(*KQShortCut::shortCutWithKeyCode(6, 0x120000, nullptr, "undoWithEvent:")));
    EXPECT_FALSE(
        MRKOUtils::shortCutIsDefault(*KQShortCut::shortCutWithKeyCode(7, 0x100000, nullptr, "undoWithEvent:")));
    // An action without a default compares against nothing: only key 0 without flags matches.
    EXPECT_TRUE(MRKOUtils::shortCutIsDefault(*KQShortCut::shortCutWithKeyCode(0, 0, nullptr, "nothing:")));
    EXPECT_FALSE(MRKOUtils::shortCutIsDefault(*KQShortCut::shortCutWithKeyCode(0, 0x100000, nullptr, "nothing:")));
}
