#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeStatusItem.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/support/InkoraFixture.h"
#include "tools/ToolPanelKeyHandler.h"

#include <QTest>
#include <QWidget>

namespace {

constexpr std::uint32_t kOptionMask = 0x800;
constexpr std::uint32_t kCommandMask = 0x100;
constexpr std::uint32_t kSuperAltMask = 0x1000 | 0x800; // Control and Option
constexpr std::uint16_t kD = 2;
constexpr std::uint16_t kZ = 6;

class GhostDelegate final : public AppDelegate
{
public:
    bool isPinOnTop() const override { return pinOnTop; }
    void removeHandler(const QString &action) { setActionHandler(action, nullptr); }
    bool pinOnTop = false;
};

QList<std::shared_ptr<KQShortCut>> bound()
{
    return KQShortCutMonitor::defaultMonitor().allShortCuts();
}

} // namespace

class AppDelegateShortcutsTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_delegate = std::make_unique<GhostDelegate>();
        m_delegate->prepareUserDefaults();
    }
    void TearDown() override
    {
        m_delegate.reset();
        InkoraFixture::TearDown();
    }
    GhostDelegate &delegate() { return *m_delegate; }

private:
    std::unique_ptr<GhostDelegate> m_delegate;
};

TEST_F(AppDelegateShortcutsTest, ActivationShortcutShowsAndHidesTheOverlayWithItsSet)
{
    delegate().registerApplicationShortCuts(); // hidden: nothing is made or bound
    EXPECT_FALSE(delegate().shortCutForProperty(QStringLiteral("undoShortCut")));
    EXPECT_TRUE(bound().isEmpty());

    delegate().registerCommonShortCuts();
    ASSERT_TRUE(delegate().activateShortCut());
    EXPECT_EQ(delegate().activateShortCut()->hotKeyID(), 1u);
    EXPECT_EQ(delegate().activateWithoutShortCut()->hotKeyID(), 2u);
    EXPECT_TRUE(delegate().activateShortCut()->isDefault());
    EXPECT_EQ(bound().size(), 2);

    ASSERT_TRUE(fakes().hotKeys->press(kD, kSuperAltMask));
    EXPECT_TRUE(delegate().isActiveAndShown());
    EXPECT_EQ(bound().size(), AppDelegate::kShortCutCount); // no two defaults share a combination
    EXPECT_TRUE(fakes().hotKeys->isGrabbed(kZ, kCommandMask));
    EXPECT_TRUE(delegate().deleteBinded());
    const auto undo = delegate().shortCutForProperty(QStringLiteral("undoShortCut"));
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo->action(), QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(undo->target(), &delegate());

    // Registering again, or the guarded single ones, registers nothing new.
    const int attempts = fakes().hotKeys->registrationAttempts();
    delegate().registerApplicationShortCuts();
    delegate().registerDeleteIfNeeded();
    delegate().registerFlashlightIfNeeded();
    EXPECT_EQ(fakes().hotKeys->registrationAttempts(), attempts);

    ASSERT_TRUE(fakes().hotKeys->press(kD, kSuperAltMask));
    EXPECT_FALSE(delegate().isActiveAndShown());
    EXPECT_EQ(bound().size(), 2);
    EXPECT_FALSE(fakes().hotKeys->isGrabbed(kZ, kCommandMask));
    // The objects stay: showing again binds the same ones.
    ASSERT_TRUE(fakes().hotKeys->press(kD, kSuperAltMask));
    EXPECT_EQ(delegate().shortCutForProperty(QStringLiteral("undoShortCut")), undo);
    EXPECT_TRUE(fakes().hotKeys->isGrabbed(kZ, kCommandMask));
}

TEST_F(AppDelegateShortcutsTest, GhostModeKeepsOnlyItsOwnShortcutBound)
{
    delegate().activateInkoraNoToolbar(false);
    delegate().pinOnTop = true;
    delegate().unregisterApplicationShortCuts();
    EXPECT_EQ(bound(), QList<std::shared_ptr<KQShortCut>>{delegate().pinOnTopShortCut()});

    delegate().pinOnTop = false;
    delegate().unregisterApplicationShortCuts();
    EXPECT_TRUE(bound().isEmpty());
}

TEST_F(AppDelegateShortcutsTest, StoredShortcutIsBoundAndAMalformedOneFallsBackToTheDefault)
{
    auto &defaults = MRKOUtils::userDefaults();
    const struct
    {
        const char *key;
        QString stored;
        quint16 keyCode;
        quint64 flags;
        bool isDefault;
    } rows[] = {
        {"ShortcutUndo", QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw3LDA="), 7, 0x100000, false}, // Command-X
        {"ShortcutRedo", QStringLiteral("not*base64"), kZ, 0x120000, true},
        {"ShortcutClearCanvas", Bezier::base64EncodedString(QStringLiteral("clearCanvasWithEvent:,1048576,51")), 51,
         0x100000, true},
    };
    for (const auto &row : rows)
        defaults.setObject(row.stored, QLatin1String(row.key));
    EXPECT_EQ(Bezier::decodedFromBase64String(rows[0].stored), QStringLiteral("undoWithEvent:,1048576,7,0"));

    delegate().activateInkoraNoToolbar(false);
    const QString properties[] = {QStringLiteral("undoShortCut"), QStringLiteral("redoShortCut"),
                                  QStringLiteral("clearCanvasShortCut")};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(rows[i].key);
        const auto shortCut = delegate().shortCutForProperty(properties[i]);
        ASSERT_TRUE(shortCut);
        EXPECT_EQ(shortCut->keyCode(), rows[i].keyCode);
        EXPECT_EQ(shortCut->modifierFlags(), rows[i].flags);
        EXPECT_EQ(shortCut->isDefault(), rows[i].isDefault);
        EXPECT_NE(shortCut->hotKeyRef(), 0u);
    }

    // The pane edits the same object; binding again grabs its new key.
    const auto undo = delegate().shortCutForProperty(QStringLiteral("undoShortCut"));
    delegate().unregisterApplicationShortCuts();
    undo->setKeyCode(kZ);
    undo->setModifierFlags(0x100000 | 0x80000);
    delegate().registerApplicationShortCuts();
    EXPECT_EQ(delegate().shortCutForProperty(QStringLiteral("undoShortCut")), undo);
    EXPECT_TRUE(fakes().hotKeys->isGrabbed(kZ, kCommandMask | kOptionMask));
}

TEST_F(AppDelegateShortcutsTest, RefusedActivationIsToldOnceAndRunsFromTheToolPanel)
{
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    // The desktop holds Super+Alt+D.
    fakes().hotKeys->setRefusalRule([](std::uint16_t keyCode, std::uint32_t modifiers) {
        return keyCode == kD && modifiers == kSuperAltMask ? 10 : 0;
    });
    delegate().registerCommonShortCuts();
    delegate().unregisterCommonShortCuts();
    delegate().registerCommonShortCuts();

    EXPECT_TRUE(log().contains(QStringLiteral("Can't register the shortcut Super+Alt+D flags - (c0000) - Err 10")));
    ASSERT_EQ(fakes().statusItem->messages().size(), 1) << "told once, not at every binding";
    EXPECT_TRUE(fakes().statusItem->messages().first().contains(QStringLiteral("Super+Alt+D is taken")));
    EXPECT_TRUE(fakes().statusItem->messages().first().contains(QStringLiteral("Preferences, Shortcuts")));
    const auto activate = delegate().activateShortCut();
    ASSERT_TRUE(activate);
    EXPECT_TRUE(activate->isFailedToRegister());
    EXPECT_EQ(activate->hotKeyID(), 0u);
    EXPECT_FALSE(delegate().activateWithoutShortCut()->isFailedToRegister());
    EXPECT_EQ(KQShortCutMonitor::defaultMonitor().discardedShortCuts(), QList<std::shared_ptr<KQShortCut>>{activate});

    QWidget panel;
    inkora::ToolPanelKeyHandler handler;
    panel.installEventFilter(&handler);
    QTest::keyClick(&panel, Qt::Key_D, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_TRUE(delegate().isActiveAndShown());
    // Keys that are no refused shortcut go on to the panel.
    QTest::keyClick(&panel, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(delegate().isActiveAndShown());
}

TEST_F(AppDelegateShortcutsTest, ShortcutOfACommandWithoutHandlerIsNotGrabbed)
{
    delegate().removeHandler(QStringLiteral("redoWithEvent:"));
    delegate().registerCommonShortCuts();
    ASSERT_TRUE(fakes().hotKeys->press(kD, kSuperAltMask));
    ASSERT_TRUE(delegate().isActiveAndShown());

    EXPECT_TRUE(fakes().hotKeys->isGrabbed(kZ, kCommandMask));
    EXPECT_FALSE(fakes().hotKeys->isGrabbed(kZ, kCommandMask | 0x200)) << "Ctrl+Shift+Z reaches the program below";
    const auto redo = delegate().shortCutForProperty(QStringLiteral("redoShortCut"));
    ASSERT_TRUE(redo);
    EXPECT_FALSE(redo->isFailedToRegister()) << "not tried, so not refused";
    EXPECT_FALSE(KQShortCutMonitor::defaultMonitor().discardedShortCuts().contains(redo));
}
