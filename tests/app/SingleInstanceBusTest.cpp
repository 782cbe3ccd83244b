#include "platform/HelperLink.h"
#include "platform/linux/DBusSingleInstance.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QProcess>
#include <QTest>

using platform::DBusSingleInstance;
using platform::helperlink::kMainId;

// The one running copy, over the real session-bus name, on a bus of the test's own.
class SingleInstanceBusTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(m_bus.isRunning());
    }

    [[nodiscard]] QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        return env;
    }

    PrivateBus m_bus;
};

TEST_F(SingleInstanceBusTest, LaterStartHandsItsArgumentsToTheFirst)
{
    QStringList received;
    int activations = 0;
    {
        DBusSingleInstance first(m_bus.connect(QStringLiteral("first")));
        first.setActivationHandler([&](const QStringList &arguments) {
            ++activations;
            received = arguments;
        });
        ASSERT_TRUE(first.claim());
        ASSERT_TRUE(first.claim()); // claiming again keeps the name

        DBusSingleInstance second(m_bus.connect(QStringLiteral("second")));
        EXPECT_FALSE(second.claim());
        ASSERT_TRUE(second.handOver({QStringLiteral("drawing.iksnapshot")}));
        drainMainQueue();
        EXPECT_EQ(activations, 1);
        EXPECT_EQ(received, QStringList{QStringLiteral("drawing.iksnapshot")});
    }
    // Gone with its owner: the next start runs.
    ASSERT_TRUE(m_bus.waitForService(QString::fromLatin1(kMainId), false));
    DBusSingleInstance third(m_bus.connect(QStringLiteral("third")));
    EXPECT_TRUE(third.claim());
}

TEST_F(SingleInstanceBusTest, HandOverWithNobodyRunningFails)
{
    DBusSingleInstance lone(m_bus.connect(QStringLiteral("lone")));
    log().expectWarning(QStringLiteral("the running copy did not take over"));
    EXPECT_FALSE(lone.handOver({}));
}

TEST_F(SingleInstanceBusTest, SecondProgramStartEndsAndTheFirstRunsOn)
{
    QProcess first;
    first.setProcessEnvironment(programEnvironment());
    first.start(QStringLiteral(INKORA_PROGRAM), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(m_bus.waitForService(QString::fromLatin1(kMainId)));

    QProcess second;
    second.setProcessEnvironment(programEnvironment());
    second.start(QStringLiteral(INKORA_PROGRAM), {});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();

    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_TRUE(m_bus.waitForService(QString::fromLatin1(kMainId), false));
}

TEST_F(SingleInstanceBusTest, WithoutABusALockKeepsOneCopyPerDisplay)
{
    // An address of no known kind: the connection fails at once, as it does for a program without a bus.
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("disabled:"), QStringLiteral("none"));
    ASSERT_FALSE(none.isConnected());
    {
        DBusSingleInstance first(none);
        ASSERT_TRUE(first.claim());
        DBusSingleInstance second(none);
        EXPECT_FALSE(second.claim());
        EXPECT_FALSE(second.handOver({})) << "nobody can be asked without a bus";
    }
    // The lock goes with its holder.
    DBusSingleInstance third(none);
    EXPECT_TRUE(third.claim());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}
