#include "app/AppDelegate.h"

#include "tests/support/InkoraFixture.h"

namespace {

class CountingDelegate final : public AppDelegate
{
public:
    CountingDelegate()
    {
        setActionHandler(QStringLiteral("undoWithEvent:"), [this](const platform::Event *event) {
            ++undos;
            lastEvent = event;
        });
        setActiveAndShown(true);
    }
    int undos = 0;
    const platform::Event *lastEvent = reinterpret_cast<const platform::Event *>(1);
};

} // namespace

class AppDelegateTest : public InkoraFixture
{
};

TEST_F(AppDelegateTest, OneDelegateIsReachableWhileItExists)
{
    EXPECT_EQ(AppDelegate::shared(), nullptr);
    {
        CountingDelegate delegate;
        EXPECT_EQ(AppDelegate::shared(), &delegate);

        log().expectWarning("a delegate exists already");
        AppDelegate second;
        EXPECT_EQ(AppDelegate::shared(), &delegate);
    }
    EXPECT_EQ(AppDelegate::shared(), nullptr);
}

TEST_F(AppDelegateTest, ActionsRunByTheirSelectorText)
{
    CountingDelegate delegate;
    EXPECT_TRUE(delegate.respondsToAction(QStringLiteral("undoWithEvent:")));
    EXPECT_FALSE(delegate.respondsToAction(QStringLiteral("undoWithEvent")));

    delegate.performAction(QStringLiteral("undoWithEvent:"), nullptr);
    EXPECT_EQ(delegate.undos, 1);
    EXPECT_EQ(delegate.lastEvent, nullptr);

    log().expectWarning("performAction: no command for redoWithEvent:");
    delegate.performAction(QStringLiteral("redoWithEvent:"), nullptr);
    EXPECT_EQ(delegate.undos, 1);
}

TEST_F(AppDelegateTest, ClosingTheOverlayClearsTheShownState)
{
    CountingDelegate delegate;
    EXPECT_TRUE(delegate.isActiveAndShown());
    EXPECT_FALSE(delegate.isFirstResponderTextInput());

    delegate.closeAllDrawableScreens();

    EXPECT_FALSE(delegate.isActiveAndShown());
}
