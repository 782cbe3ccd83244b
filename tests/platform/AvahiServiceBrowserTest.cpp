#include "platform/linux/AvahiServiceBrowser.h"

#include "platform/Dispatch.h"
#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace {

// The real daemon that scripts/test starts on a private system bus, loopback only.
class AvahiServiceBrowserTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) << "scripts/test starts the daemon";
        // The real clock: resolution time-outs run on it.
        platform::RunLoop::main().setAutoFire(true);
    }
    void TearDown() override
    {
        for (QProcess *publisher : {&phone, &other}) {
            if (publisher->state() != QProcess::NotRunning) {
                publisher->kill();
                publisher->waitForFinished();
            }
        }
        InkoraFixture::TearDown();
    }
    /// Runs the event loop until the condition holds; false after 10 s.
    static bool waitFor(const std::function<bool()> &condition)
    {
        const QDeadlineTimer deadline(10000);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }
    static void publish(QProcess &process, const QString &name, quint16 port)
    {
        process.start(QStringLiteral("avahi-publish"),
                      {QStringLiteral("-s"), name, QStringLiteral("_inkora._udp"), QString::number(port)});
    }

    platform::ServiceBrowser::Handlers recording()
    {
        return {[this](const QString &name) { events << "found " + name; },
                [this](const QString &name) { events << "removed " + name; },
                [this](const QString &error) { events << "stopped " + error; }};
    }

    QStringList events;
    QProcess phone;
    QProcess other;
};

TEST_F(AvahiServiceBrowserTest, FindsResolvesAndLosesAnAdvertisedPhone)
{
    platform::AvahiServiceBrowser browser;
    browser.browse(QStringLiteral("_inkora._udp"), QStringLiteral("local"), recording());
    // A name of its own: the program's test advertises "Test Phone" on the same daemon, maybe at the same time.
    publish(phone, QStringLiteral("Browser Test Phone"), 45678);
    ASSERT_TRUE(waitFor([&] { return events.contains("found Browser Test Phone"); }))
        << events.join(", ").toStdString();
    EXPECT_EQ(events.count("found Browser Test Phone"), 1) << "instances fold into one service";

    QList<QByteArray> resolved;
    bool answered = false;
    const auto resolution = browser.resolve(QStringLiteral("Browser Test Phone"), 30.0,
                                            [&](const QList<QByteArray> &addresses, const QString &) {
                                                resolved = addresses;
                                                answered = true;
                                            });
    ASSERT_TRUE(waitFor([&] { return answered; }));
    // The phone is on loopback over both protocols: 127.0.0.1 and ::1, each with its port.
    ASSERT_FALSE(resolved.isEmpty());
    bool ipv4 = false;
    for (const QByteArray &address : resolved) {
        if (address.size() == qsizetype(sizeof(sockaddr_in))) {
            sockaddr_in in{};
            std::memcpy(&in, address.constData(), sizeof(in));
            EXPECT_EQ(in.sin_family, AF_INET);
            EXPECT_EQ(ntohs(in.sin_port), 45678);
            EXPECT_EQ(ntohl(in.sin_addr.s_addr), INADDR_LOOPBACK);
            ipv4 = true;
        } else {
            ASSERT_EQ(address.size(), qsizetype(sizeof(sockaddr_in6)));
            sockaddr_in6 in6{};
            std::memcpy(&in6, address.constData(), sizeof(in6));
            EXPECT_EQ(in6.sin6_family, AF_INET6);
            EXPECT_EQ(ntohs(in6.sin6_port), 45678);
            EXPECT_TRUE(IN6_IS_ADDR_LOOPBACK(&in6.sin6_addr));
        }
    }
    EXPECT_TRUE(ipv4);

    phone.kill();
    phone.waitForFinished();
    EXPECT_TRUE(waitFor([&] { return events.contains("removed Browser Test Phone"); }))
        << events.join(", ").toStdString();
}

TEST_F(AvahiServiceBrowserTest, ResolvingAServiceThatIsGoneAnswersWithAnError)
{
    platform::AvahiServiceBrowser browser;
    browser.browse(QStringLiteral("_inkora._udp"), QStringLiteral("local"), recording());
    QString error;
    bool answered = false;
    const auto resolution =
        browser.resolve(QStringLiteral("Nobody"), 30.0, [&](const QList<QByteArray> &addresses, const QString &text) {
            EXPECT_TRUE(addresses.isEmpty());
            error = text;
            answered = true;
        });
    ASSERT_TRUE(waitFor([&] { return answered; }));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(AvahiServiceBrowserTest, WithoutADaemonBrowsingStopsWithOneLine)
{
    log().expectWarning(QStringLiteral("ServiceBrowser: no Avahi daemon"));
    const QByteArray bus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/inkora-test-bus");
    platform::AvahiServiceBrowser browser;
    browser.browse(QStringLiteral("_inkora._udp"), QStringLiteral("local"), recording());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus);
    ASSERT_TRUE(waitFor([&] { return !events.isEmpty(); }));
    EXPECT_TRUE(events.first().startsWith(QStringLiteral("stopped")));
    EXPECT_EQ(log().count(QStringLiteral("ServiceBrowser: no Avahi daemon")), 1);
}

} // namespace
