#include "app/MRKOXPCController.h"

#include "platform/Defaults.h"
#include "platform/HelperLink.h"
#include "platform/fake/FakeHelperLink.h"
#include "tests/support/InkoraFixture.h"

using Call = platform::FakeHelperLink::Call;

class MRKOXPCControllerTest : public InkoraFixture
{
protected:
    platform::FakeHelperLink &link() { return *fakes().helperLink; }
};

TEST_F(MRKOXPCControllerTest, EnablesTheLogInItemConnectsOnceAndSendsValuesAsTheyAre)
{
    MRKOXPCController *controller = MRKOXPCController::sharedXPCController();
    ASSERT_EQ(controller, MRKOXPCController::sharedXPCController());
    EXPECT_EQ(link().loginItemRequests, std::vector<bool>{true});
    EXPECT_EQ(link().connections, 1);
    EXPECT_NE(controller->xpcServiceConnection(), nullptr);

    controller->showToolForToolType(1);
    controller->showToolForToolType(7);
    controller->showDissolveMode(1);
    controller->showDissolveMode(0);
    controller->killHelper();

    const std::vector<Call> expected = {{QStringLiteral("showToolForToolType"), 1},
                                        {QStringLiteral("showToolForToolType"), 7},
                                        {QStringLiteral("showDissolveMode"), 1},
                                        {QStringLiteral("showDissolveMode"), 0},
                                        {QStringLiteral("killApp"), 0}};
    EXPECT_EQ(link().calls, expected);
}

TEST_F(MRKOXPCControllerTest, RefusedLogInItemIsLoggedAndTheConnectionStillMade)
{
    log().expectWarning(QStringLiteral("SMLoginItemSetEnabled Error"));
    link().loginItemFails = true;

    MRKOXPCController::sharedXPCController()->showToolForToolType(3);

    EXPECT_EQ(log().count(QStringLiteral("SMLoginItemSetEnabled Error")), 1);
    EXPECT_EQ(link().calls, (std::vector<Call>{{QStringLiteral("showToolForToolType"), 3}}));
}

TEST_F(MRKOXPCControllerTest, WithoutAConnectionOneLineIsLoggedAndRequestsDoNothing)
{
    log().expectWarning(QStringLiteral("XPC Connection Error"));
    link().connectionFails = true;

    MRKOXPCController *controller = MRKOXPCController::sharedXPCController();
    controller->showToolForToolType(1);
    controller->showDissolveMode(1);
    controller->killHelper();
    drainMainQueue();

    EXPECT_EQ(log().count(QStringLiteral("XPC Connection Error")), 1);
    EXPECT_EQ(controller->xpcServiceConnection(), nullptr);
    EXPECT_TRUE(link().calls.empty());
    EXPECT_EQ(link().loginItemRequests, std::vector<bool>{true});
}

TEST_F(MRKOXPCControllerTest, InterruptionDropsTheConnectionAndLaterRequestsFailIntoTheLog)
{
    log().expectWarning(QStringLiteral("connection interrupted"));
    log().expectWarning(QStringLiteral("XPC Connection Main App Error"));
    MRKOXPCController *controller = MRKOXPCController::sharedXPCController();

    link().interrupt();
    drainMainQueue();
    EXPECT_EQ(log().count(QStringLiteral("connection interrupted")), 1);
    EXPECT_EQ(controller->xpcServiceConnection(), nullptr);

    controller->showToolForToolType(2);
    controller->showDissolveMode(0);
    drainMainQueue();
    EXPECT_EQ(log().count(QStringLiteral("XPC Connection Main App Error")), 2);
    EXPECT_TRUE(link().calls.empty());
    EXPECT_EQ(link().connections, 1); // not made again during the run
}

TEST_F(MRKOXPCControllerTest, QuitRemovesTheLogInItemUnlessRunOnStartupIsOne)
{
    struct Row
    {
        const char *name;
        QVariant runOnStartup;
        bool removed;
    };
    const Row rows[] = {
        {"Unset", QVariant(), true},
        {"One", QVariant::fromValue<qint64>(1), false},
        {"Zero", QVariant::fromValue<qint64>(0), true},
        {"Two", QVariant::fromValue<qint64>(2), true},
        {"True", QVariant(true), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        platform::Defaults::standard().setObject(row.runOnStartup, QStringLiteral("runOnStartupKey"));
        link().loginItemRequests.clear();
        MRKOXPCController::disableLoginItemIfNeeded();
        EXPECT_EQ(link().loginItemRequests, row.removed ? std::vector<bool>{false} : std::vector<bool>{});
    }

    log().expectWarning(QStringLiteral("SMLoginItemSetEnabled Error"));
    platform::Defaults::standard().removeObjectForKey(QStringLiteral("runOnStartupKey"));
    link().loginItemFails = true;
    MRKOXPCController::disableLoginItemIfNeeded();
    EXPECT_EQ(log().count(QStringLiteral("SMLoginItemSetEnabled Error")), 1);
}
