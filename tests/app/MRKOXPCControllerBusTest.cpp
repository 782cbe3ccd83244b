#include "app/MRKOXPCController.h"
#include "platform/HelperLink.h"
#include "platform/Services.h"
#include "platform/linux/DBusHelperLink.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTest>

namespace {

using namespace platform::helperlink;

// Stands in for the helper on the bus and notes what it is asked.
class RecordingHelper final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Inkora.InkoraHelper")
public:
    QStringList calls;

public slots:
    Q_NOREPLY void killApp() { note(QStringLiteral("killApp")); }
    Q_NOREPLY void showToolForToolType(qulonglong t) { note(QStringLiteral("tool %1").arg(t)); }
    Q_NOREPLY void showDissolveMode(qulonglong m) { note(QStringLiteral("mode %1").arg(m)); }

private:
    // A call that wants an answer is noted as such: the link must send one-way calls only.
    void note(const QString &call)
    {
        calls.append(message().isReplyRequired() ? call + QStringLiteral(" (reply)") : call);
    }
};

} // namespace

// The controller over the real session-bus link, on a bus of the test's own.
class MRKOXPCControllerBusTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(m_bus.isRunning());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toLocal8Bit());
        platform::services().helperLink =
            std::make_unique<platform::DBusHelperLink>(QCoreApplication::applicationFilePath());
        log().expectWarning(QStringLiteral("SMLoginItemSetEnabled Error")); // the test program has no helper beside it
    }

    PrivateBus m_bus;
};

TEST_F(MRKOXPCControllerBusTest, RequestsReachTheHelperUntilItLeavesTheBus)
{
    log().expectWarning(QStringLiteral("connection interrupted"));
    log().expectWarning(QStringLiteral("XPC Connection Main App Error"));
    QDBusConnection helperSide = m_bus.connect(QStringLiteral("helper"));
    RecordingHelper helper;
    ASSERT_TRUE(
        helperSide.registerObject(QString::fromLatin1(kHelperObjectPath), &helper, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(helperSide.registerService(QString::fromLatin1(kHelperId)));

    MRKOXPCController *controller = MRKOXPCController::sharedXPCController();
    controller->showToolForToolType(1);
    controller->showDissolveMode(1);
    controller->killHelper();
    const QStringList expected = {QStringLiteral("tool 1"), QStringLiteral("mode 1"), QStringLiteral("killApp")};
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper.calls == expected; }, 10000))
        << helper.calls.join(u',').toStdString();

    ASSERT_TRUE(helperSide.unregisterService(QString::fromLatin1(kHelperId)));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            drainMainQueue();
            return log().contains(QStringLiteral("connection interrupted"));
        },
        10000));
    EXPECT_EQ(controller->xpcServiceConnection(), nullptr);
    controller->showToolForToolType(2);
    drainMainQueue();
    EXPECT_EQ(log().count(QStringLiteral("XPC Connection Main App Error")), 1);
}

TEST_F(MRKOXPCControllerBusTest, WithoutASessionBusOneLineIsLoggedAndTheProgramRunsOn)
{
    log().expectWarning(QStringLiteral("XPC Connection Error"));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");

    MRKOXPCController *controller = MRKOXPCController::sharedXPCController();
    controller->showToolForToolType(1);
    controller->killHelper();
    drainMainQueue();

    EXPECT_EQ(log().count(QStringLiteral("XPC Connection Error")), 1);
    EXPECT_TRUE(log().contains(QStringLiteral("no session bus")));
}

#include "MRKOXPCControllerBusTest.moc"
