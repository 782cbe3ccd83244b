#include "platform/linux/DBusScreenSaverInhibitor.h"

#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QDBusConnection>
#include <QObject>
#include <QThread>

#include <mutex>

namespace {

// The desktop's screen-saver service, on the test's private session bus; it answers on a thread of its own
// because the inhibitor's calls block.
class ScreenSaver final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        std::lock_guard lock(m_mutex);
        m_calls << QStringLiteral("Inhibit %1: %2").arg(application, reason);
        return 42;
    }
    void UnInhibit(uint cookie)
    {
        std::lock_guard lock(m_mutex);
        m_calls << QStringLiteral("UnInhibit %1").arg(cookie);
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_calls;
};

// Each case has a bus of its own: one owns the service name while the other must find it absent.
class DBusScreenSaverInhibitorTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(m_bus.isRunning());
    }

    PrivateBus m_bus;
};

TEST_F(DBusScreenSaverInhibitorTest, InhibitsAndReleasesThroughTheDesktopService)
{
    QDBusConnection bus = m_bus.connect(QStringLiteral("screensaver"));
    ASSERT_TRUE(bus.isConnected());
    QThread thread;
    thread.start();
    ScreenSaver service;
    service.moveToThread(&thread);
    ASSERT_TRUE(
        bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    platform::DBusScreenSaverInhibitor inhibitor(m_bus.connect(QStringLiteral("inkora")));
    const std::optional<quint32> cookie =
        inhibitor.inhibit(QStringLiteral("Inkora"), QStringLiteral("Inkora Remote is connected"));
    ASSERT_TRUE(cookie);
    EXPECT_EQ(*cookie, 42u);
    EXPECT_TRUE(inhibitor.unInhibit(*cookie));
    EXPECT_EQ(service.calls(), (QStringList{"Inhibit Inkora: Inkora Remote is connected", "UnInhibit 42"}));

    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    (void)bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    thread.quit();
    thread.wait();
}

TEST_F(DBusScreenSaverInhibitorTest, WithoutTheServiceTheDisplayMaySleep)
{
    log().expectWarning(QStringLiteral("inhibit: the screen saver service refused"));
    platform::DBusScreenSaverInhibitor inhibitor(m_bus.connect(QStringLiteral("inkora")));
    EXPECT_FALSE(inhibitor.inhibit(QStringLiteral("Inkora"), QStringLiteral("Inkora Remote is connected")));
    EXPECT_EQ(log().count(QStringLiteral("inhibit: the screen saver service refused")), 1);
}

} // namespace

#include "DBusScreenSaverInhibitorTest.moc"
