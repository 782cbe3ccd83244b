#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

#include <QProcess>
#include <QTest>

#include <csignal>

// The program itself, started under the test's X server with the test's settings file.
class ProgramLaunchTest : public InkoraFixture
{
protected:
    void start(QProcess &program)
    {
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        MRKOUtils::userDefaults().synchronize();
        program.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&program, &QProcess::readyRead, [&] { m_output += program.readAll(); });
        program.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        ASSERT_TRUE(waitForLine("applicationDidFinishLaunching:"));
    }
    bool waitForLine(const char *line, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return m_output.contains(line); }, ms);
    }
    void terminate(QProcess &program)
    {
        ::kill(pid_t(program.processId()), SIGTERM);
        ASSERT_TRUE(program.waitForFinished(60000));
        m_output += program.readAll();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << m_output.constData();
    }
    [[nodiscard]] int count(const char *line) const { return int(m_output.count(line)); }

    QByteArray m_output;
};

TEST_F(ProgramLaunchTest, TheLaunchCompletesOnceAndSigtermRunsTheQuitSequence)
{
    QProcess program;
    start(program);
    ASSERT_TRUE(waitForLine("finishAppLaunching"));
    QTest::qWait(300);

    terminate(program);

    EXPECT_EQ(count("finishAppLaunching"), 1);
    EXPECT_EQ(count("applicationWillTerminate: done"), 1);
    EXPECT_LT(m_output.indexOf("Signal 15: quitting"), m_output.indexOf("applicationWillTerminate:"));
}

TEST_F(ProgramLaunchTest, WithDisableFullLoadAtLaunchTheFirstModifierChangeCompletesTheLaunch)
{
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("DisableFullLoadAtLaunch"));
    QProcess program;
    start(program);
    QTest::qWait(1000);
    EXPECT_EQ(count("finishAppLaunching"), 0) << "waits for a modifier";

    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift")});
    ASSERT_TRUE(waitForLine("finishAppLaunching"));
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl")});
    QTest::qWait(500);

    terminate(program);
    EXPECT_EQ(count("finishAppLaunching"), 1);
}
