#include "remote/MRKOClicker.h"

#include "platform/NotificationCenter.h"
#include "platform/fake/FakeScriptRunner.h"
#include "platform/fake/FakeSyntheticInput.h"
#include "platform/fake/FakeSystemProfile.h"
#include "tests/remote/FakeRemoteNeighbours.h"
#include "tests/support/InkoraFixture.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

class MRKOClickerTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        auto fake = std::make_unique<FakeRemoteNeighbours>();
        neighbours = fake.get();
        inkora::setRemoteNeighbours(std::move(fake));
    }
    void TearDown() override
    {
        InkoraFixture::TearDown();
        inkora::setRemoteNeighbours(nullptr);
    }
    /// Scripts run on the global queue.
    [[nodiscard]] bool waitForScripts(int count)
    {
        const QDeadlineTimer deadline(5000);
        while (fakes().scriptRunner->scripts().size() < count && !deadline.hasExpired())
            QThread::msleep(5);
        return fakes().scriptRunner->scripts().size() >= count;
    }

    FakeRemoteNeighbours *neighbours = nullptr;
};

TEST_F(MRKOClickerTest, ArrowKeysGoToThePreviousApplication)
{
    neighbours->arrowKeys = true;
    fakes().scriptRunner->launch(MRKOClicker::kKeynoteIdentifier);
    MRKOClicker::sharedClicker().nextSlide();
    MRKOClicker::sharedClicker().previousSlide();
    drainMainQueue();
    EXPECT_EQ(fakes().syntheticInput->sent(), (QStringList{"key 124 to 0", "key 123 to 0"}));
    EXPECT_TRUE(fakes().scriptRunner->scripts().isEmpty());
}

TEST_F(MRKOClickerTest, WithoutAScriptRunnerTheArrowKeyTurnsTheSlide)
{
    fakes().scriptRunner->setAvailable(false);
    MRKOClicker::sharedClicker().nextSlide();
    drainMainQueue();
    EXPECT_EQ(fakes().syntheticInput->sent(), QStringList{"key 124 to 0"});
}

TEST_F(MRKOClickerTest, EveryRunningApplicationGetsTheScript)
{
    fakes().scriptRunner->launch(MRKOClicker::kKeynoteIdentifier);
    fakes().scriptRunner->launch(MRKOClicker::kPowerPointIdentifier);
    MRKOClicker::sharedClicker().nextSlide();
    drainMainQueue();
    ASSERT_TRUE(waitForScripts(2));
    QStringList scripts = fakes().scriptRunner->scripts();
    scripts.sort();
    const QString keynote = "tell application \"Keynote\"\n if playing is true then show next\n  end";
    const QString powerPoint = "tell application \"Microsoft PowerPoint\"\n" + QString(29, ' ') +
                               "go to next slide slide show view of slide show window of active presentation\n" +
                               QString(14, ' ') + "end tell";
    EXPECT_EQ(scripts, (QStringList{keynote, powerPoint}));
    EXPECT_TRUE(fakes().syntheticInput->sent().isEmpty());
}

TEST_F(MRKOClickerTest, NoPermissionRunsNoScript)
{
    log().expectWarning(QStringLiteral("Inkora has no access for Powerpoint"));
    fakes().scriptRunner->launch(MRKOClicker::kPowerPointIdentifier);
    fakes().scriptRunner->setPermissionResultCode(MRKOClicker::kPowerPointIdentifier, -1743);
    MRKOClicker::sharedClicker().previousSlide();
    drainMainQueue();
    EXPECT_TRUE(log().contains(QStringLiteral("Inkora has no access for Powerpoint")));
    EXPECT_TRUE(fakes().scriptRunner->scripts().isEmpty());
}

TEST_F(MRKOClickerTest, PermissionCodesBecomeStatuses)
{
    const QString keynote = MRKOClicker::kKeynoteIdentifier;
    fakes().scriptRunner->launch(keynote);
    struct Row
    {
        int code;
        MRKOAutomationStatus status;
    };
    for (const Row row : {Row{0, MRKOAutomationStatusAllowed}, Row{-1743, MRKOAutomationStatusNotAllowed},
                          Row{-1744, MRKOAutomationStatusMustAsk}, Row{-600, MRKOAutomationStatusNotRunning},
                          Row{-1, MRKOAutomationStatusAllowed}}) {
        SCOPED_TRACE(row.code);
        fakes().scriptRunner->setPermissionResultCode(keynote, row.code);
        EXPECT_EQ(MRKOClicker::statusForAppIdentifier(keynote), row.status);
    }
    fakes().systemProfile->setVersion(10, 13); // before the permission existed
    EXPECT_EQ(MRKOClicker::statusForAppIdentifier(keynote), MRKOAutomationStatusAllowed);
}

TEST_F(MRKOClickerTest, LaunchesAreKnownBeforeRowsHearOfThem)
{
    MRKOClicker &clicker = MRKOClicker::sharedClicker();
    bool launchedWhenTold = false;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKOUpdateAppTableCellView, nullptr, [&](const platform::Notification &n) {
            launchedWhenTold = clicker.isLaunchedForAppIdentifier(n.userInfo.value("identifier").toString());
        });
    EXPECT_TRUE(clicker.apps().isEmpty());
    fakes().scriptRunner->launch(MRKOClicker::kPowerPointIdentifier);
    EXPECT_TRUE(launchedWhenTold);
    ASSERT_EQ(clicker.apps().size(), 1);
    EXPECT_EQ(clicker.apps().at(0).value("name").toString(), QStringLiteral("Microsoft PowerPoint"));
    EXPECT_EQ(clicker.apps().at(0).value("icon").value<QImage>().size(), QSize(16, 16));
}

} // namespace
