#include "platform/HelperLink.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

using namespace platform::helperlink;

// The built helper program, copied into a bundle whose main program is a script that notes each start.
class HelperProgramTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(m_bus.isRunning());
        m_test = m_bus.connect(QStringLiteral("test"));
    }

    void TearDown() override
    {
        if (m_helper.state() != QProcess::NotRunning) {
            m_helper.kill();
            m_helper.waitForFinished(10000);
        }
        InkoraFixture::TearDown();
    }

    QString bundle() const { return home() + QStringLiteral("/Apps/Inkora"); }
    QString launchedMarker() const { return home() + QStringLiteral("/launched"); }
    QString notices() const { return readFile(home() + QStringLiteral("/notices")); }

    static QString readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    /// Copies the helper to `helperPath` and puts the stand-in main program into the bundle.
    void install(const QString &helperPath)
    {
        QDir().mkpath(QFileInfo(helperPath).absolutePath());
        ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(INKORA_HELPER_PROGRAM), helperPath));
        const QString main = bundle() + QStringLiteral("/Contents/MacOS/Inkora");
        QDir().mkpath(QFileInfo(main).absolutePath());
        QFile script(main);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho started >> '%1'\n").arg(launchedMarker()).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }

    QString helperInBundle() const
    {
        return bundle() + QStringLiteral("/Contents/Library/LoginItems/InkoraHelper/Contents/MacOS/InkoraHelper");
    }

    /// Starts the helper and waits until it serves on the bus.
    void start(const QString &helperPath)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        env.insert(QStringLiteral("INKORA_SYSTEM_LOG_COPY"), home() + QStringLiteral("/notices"));
        env.remove(QStringLiteral("INKORA_QUIT_AFTER_MS"));
        m_helper.setProcessEnvironment(env);
        m_helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_helper.start(helperPath, {});
        ASSERT_TRUE(m_helper.waitForStarted(10000));
        ASSERT_TRUE(m_bus.waitForService(QString::fromLatin1(kHelperId)));
    }

    QDBusMessage call(const char *method, const QVariantList &arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QString::fromLatin1(kHelperId), QString::fromLatin1(kHelperObjectPath),
                                           QString::fromLatin1(kHelperInterface), QString::fromLatin1(method));
        message.setArguments(arguments);
        QDBusPendingCall pending = m_test.asyncCall(message);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 10000));
        return pending.reply();
    }

    void postTerminate(const QString &object)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kNotificationPath),
                                                         QString::fromLatin1(kNotificationInterface),
                                                         QString::fromLatin1(kTerminateHelperNotification));
        signal << object;
        ASSERT_TRUE(m_test.send(signal));
    }

    PrivateBus m_bus;
    QDBusConnection m_test{QString()};
    QProcess m_helper;
};

TEST_F(HelperProgramTest, StartedAloneLaunchesTheMainProgramAndSaysSo)
{
    install(helperInBundle());
    start(helperInBundle());

    EXPECT_TRUE(QTest::qWaitFor([&] { return readFile(launchedMarker()) == QStringLiteral("started\n"); }, 10000));
    EXPECT_EQ(notices(), QStringLiteral("Launch Inkora at login\nInkora Launched using Helper. isActive - 1\n"));
}

TEST_F(HelperProgramTest, StartedWhileTheMainProgramRunsLaunchesNothing)
{
    ASSERT_TRUE(m_test.registerService(QString::fromLatin1(kMainId)));
    install(helperInBundle());
    start(helperInBundle());

    // The helper serves only after its launch decision, so nothing can be under way any more.
    EXPECT_EQ(notices(), QString());
    EXPECT_FALSE(QFile::exists(launchedMarker()));
}

TEST_F(HelperProgramTest, OutsideABundleTheFailedLaunchIsOnlyNotedAndTheHelperServes)
{
    install(home() + QStringLiteral("/a/b/c/d/InkoraHelper"));
    start(home() + QStringLiteral("/a/b/c/d/InkoraHelper"));

    EXPECT_EQ(notices(), QStringLiteral("Launch Inkora at login\nInkora Launched using Helper. isActive - 0\n"));
    EXPECT_EQ(call("getVersionWithReply").type(), QDBusMessage::ReplyMessage);
}

TEST_F(HelperProgramTest, GdbusAsksForTheVersion)
{
    ASSERT_TRUE(m_test.registerService(QString::fromLatin1(kMainId)));
    install(helperInBundle());
    start(helperInBundle());

    QProcess gdbus;
    gdbus.start(QStringLiteral("gdbus"),
                {QStringLiteral("call"), QStringLiteral("--address"), m_bus.address(), QStringLiteral("--dest"),
                 QString::fromLatin1(kHelperId), QStringLiteral("--object-path"),
                 QString::fromLatin1(kHelperObjectPath), QStringLiteral("--method"),
                 QString::fromLatin1(kHelperInterface) + QStringLiteral(".getVersionWithReply")});
    ASSERT_TRUE(gdbus.waitForFinished(20000));
    EXPECT_EQ(gdbus.exitCode(), 0) << gdbus.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(gdbus.readAllStandardOutput()),
              QStringLiteral("('Inkora Helper Version: %1',)\n").arg(QStringLiteral(INKORA_VERSION)));
}

TEST_F(HelperProgramTest, QuitsOnTheNotificationFromTheMainProgramOnly)
{
    ASSERT_TRUE(m_test.registerService(QString::fromLatin1(kMainId)));
    install(helperInBundle());
    start(helperInBundle());

    postTerminate(QStringLiteral("com.Example.Other"));
    // Answered after the notification, which came first from the same connection: the helper still runs.
    EXPECT_EQ(call("getVersionWithReply").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_helper.state(), QProcess::Running);

    postTerminate(QString::fromLatin1(kMainId));
    ASSERT_TRUE(m_helper.waitForFinished(20000));
    EXPECT_EQ(m_helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_helper.exitCode(), 0);
}

TEST_F(HelperProgramTest, KillCallQuitsTheHelper)
{
    ASSERT_TRUE(m_test.registerService(QString::fromLatin1(kMainId)));
    install(helperInBundle());
    start(helperInBundle());

    QDBusMessage kill =
        QDBusMessage::createMethodCall(QString::fromLatin1(kHelperId), QString::fromLatin1(kHelperObjectPath),
                                       QString::fromLatin1(kHelperInterface), QStringLiteral("killApp"));
    ASSERT_TRUE(m_test.send(kill));
    ASSERT_TRUE(m_helper.waitForFinished(20000));
    EXPECT_EQ(m_helper.exitCode(), 0);
}

TEST_F(HelperProgramTest, ShowRequestPutsTheArrowIndicatorOnTheDisplayUntilItFades)
{
    ASSERT_TRUE(m_test.registerService(QString::fromLatin1(kMainId)));
    install(helperInBundle());
    start(helperInBundle());
    XcbWindowProbe probe;
    ASSERT_TRUE(probe.isConnected());

    ASSERT_TRUE(m_test.send(
        QDBusMessage::createMethodCall(QString::fromLatin1(kHelperId), QString::fromLatin1(kHelperObjectPath),
                                       QString::fromLatin1(kHelperInterface), QStringLiteral("showToolForToolType"))
        << QVariant::fromValue<qulonglong>(1)));
    std::optional<XcbWindowProbe::Window> indicator;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (indicator = probe.mappedWindowOfProcess(m_helper.processId())).has_value(); }, 20000));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(indicator->geometry.x() + indicator->geometry.width() / 2, screen.x() + screen.width() / 2);
    EXPECT_EQ(indicator->geometry.y() + indicator->geometry.height() / 2, screen.y() + qRound(screen.height() * 0.7));
    EXPECT_TRUE(indicator->overrideRedirect);
    EXPECT_EQ(indicator->inputRects, 0);

    // It closes by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !probe.mappedWindowOfProcess(m_helper.processId()); }, 20000));
}
