#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "objects/MRKOLowerThirdSettings.h"
#include "platform/Defaults.h"
#include "platform/Event.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeHelperLink.h"
#include "tests/support/InkoraFixture.h"

namespace {

platform::Event keyUp(quint16 keyCode)
{
    platform::Event event;
    event.type = platform::EventType::KeyUp;
    event.keyCode = keyCode;
    return event;
}

/// Registers the inverse of changing the number of drawings by delta, as a drawing's undo would.
void registerInverse(int &drawings, int delta)
{
    AppDelegate::undoManager().registerUndo(&drawings, [&drawings, delta] {
        drawings -= delta;
        registerInverse(drawings, -delta);
    });
}

void addDrawing(int &drawings)
{
    auto &manager = AppDelegate::undoManager();
    manager.beginUndoGrouping();
    ++drawings;
    registerInverse(drawings, 1);
    manager.endUndoGrouping();
}

} // namespace

class AppDelegateCommandsTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        AppDelegate::undoManager().setGroupsByEvent(false);
        m_token = platform::NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("MRKOUpdateUndoRedoNotification"), nullptr, [this](const auto &) { ++m_updates; });
    }
    void TearDown() override
    {
        platform::NotificationCenter::defaultCenter().removeObserver(m_token);
        m_delegate.reset();
        InkoraFixture::TearDown();
    }
    AppDelegate &delegate() { return *m_delegate; }
    int updates() const { return m_updates; }

private:
    std::unique_ptr<AppDelegate> m_delegate;
    platform::ObserverToken m_token;
    int m_updates = 0;
};

TEST_F(AppDelegateCommandsTest, UndoAndRedoStepTheSharedManagerAndFlashTheIconForKeys)
{
    auto &manager = AppDelegate::undoManager();
    int drawings = 0;
    addDrawing(drawings);

    const platform::Event z = keyUp(6);
    delegate().performAction(QStringLiteral("undoWithEvent:"), &z);
    EXPECT_EQ(drawings, 0);
    EXPECT_EQ(updates(), 1);
    drainMainQueue();
    EXPECT_TRUE(delegate().isStatusBarButtonHighlighted());
    advance(0.2);
    EXPECT_FALSE(delegate().isStatusBarButtonHighlighted());

    // Nothing left to undo: nothing happens but the refresh; no key event, no flash.
    delegate().performAction(QStringLiteral("undoWithEvent:"), nullptr);
    EXPECT_EQ(updates(), 2);
    EXPECT_TRUE(manager.canRedo());
    delegate().performAction(QStringLiteral("redoWithEvent:"), nullptr);
    drainMainQueue();
    EXPECT_EQ(drawings, 1);
    EXPECT_FALSE(delegate().isStatusBarButtonHighlighted());
    EXPECT_FALSE(manager.canRedo());
    EXPECT_TRUE(manager.canUndo());
}

TEST_F(AppDelegateCommandsTest, FadeModeForgetsTheUndoHistoryAndFreezeKeepsIt)
{
    auto &defaults = MRKOUtils::userDefaults();
    auto &manager = AppDelegate::undoManager();
    int drawings = 0;
    defaults.setInteger(0, QStringLiteral("DissolveModeKey"));
    defaults.setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    // The command flips the shown tool bar's switch.
    delegate().runInkora(nullptr);
    addDrawing(drawings);

    delegate().performAction(QStringLiteral("dissolveModeWithEvent:"), nullptr);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("DissolveModeKey")), 1);
    EXPECT_TRUE(manager.canUndo());

    delegate().performAction(QStringLiteral("dissolveModeWithEvent:"), nullptr);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("DissolveModeKey")), 0);
    EXPECT_FALSE(manager.canUndo());
}

TEST_F(AppDelegateCommandsTest, ActivationCommandTogglesTheOverlay)
{
    const platform::Event tab = keyUp(48);
    delegate().performAction(QStringLiteral("runInkora:"), &tab);
    EXPECT_TRUE(delegate().isActiveAndShown());
    EXPECT_TRUE(delegate().isStatusBarButtonHighlighted()); // directly, not through the queue
    delegate().performAction(QStringLiteral("runInkoraWithoutToolbar:"), nullptr);
    EXPECT_FALSE(delegate().isActiveAndShown());
    delegate().performAction(QStringLiteral("closeWithEvent:"), nullptr);
    EXPECT_FALSE(delegate().isActiveAndShown());
}

TEST_F(AppDelegateCommandsTest, LowerThirdCommandReplaysOnlyThePreviewWhileItsSettingsAreOpen)
{
    delegate().performAction(QStringLiteral("lowerThirdWithEvent:"), nullptr); // no canvas, no window: nothing
    EXPECT_FALSE(MRKOLowerThirdSettings::isShown());

    log().expectWarning(QStringLiteral("This plugin does not support propagateSizeHints()")); // offscreen layouts
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    settings.showWindow();
    const platform::LayerPtr title = settings.lowerThird()->lowerThirdTitleContainer();
    ASSERT_TRUE(title);
    EXPECT_FALSE(title->hasAnimations());
    delegate().performAction(QStringLiteral("lowerThirdWithEvent:"), nullptr);
    EXPECT_TRUE(title->animationForKey(QStringLiteral("lowerThirdAppear")));
    MRKOLowerThirdSettings::releaseSharedController();
}
