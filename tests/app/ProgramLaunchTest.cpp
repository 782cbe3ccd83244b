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

TEST_F(ProgramLaunchTest, HangupAndQuitSignalsRunTheQuitSequenceAsSigtermDoes)
{
    for (const int signal : {SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        m_output.clear();
        QProcess program;
        start(program);
        ASSERT_TRUE(waitForLine("finishAppLaunching"));

        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(60000));
        m_output += program.readAll();

        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << m_output.constData();
        EXPECT_EQ(count("applicationWillTerminate: done"), 1) << m_output.constData();
    }
}

TEST_F(ProgramLaunchTest, LosingTheDisplayEndsWithOneLineAndStatusOne)
{
    QProcess program;
    start(program);
    ASSERT_TRUE(waitForLine("finishAppLaunching"));
    // Any window of the program names its X client; killing the client closes its connection, as a log-out does.
    // The overlay, shown by its shortcut, is one.
    QByteArray window;
    const auto findWindow = [&] {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+alt+d")});
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(program.processId())});
        search.waitForFinished(10000);
        window = search.readAllStandardOutput().split('\n').value(0).trimmed();
        return !window.isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor(findWindow, 20000));
    ASSERT_FALSE(window.isEmpty());
    ASSERT_EQ(QProcess::execute(QStringLiteral("xkill"), {QStringLiteral("-id"), QString::fromLatin1(window)}), 0);

    ASSERT_TRUE(program.waitForFinished(60000));
    m_output += program.readAll();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << m_output.constData();
    EXPECT_EQ(program.exitCode(), 1) << m_output.constData();
    const int from = int(m_output.indexOf("Inkora lost its X11 display"));
    ASSERT_GE(from, 0) << m_output.constData();
    EXPECT_EQ(m_output.mid(from).trimmed().count('\n'), 0) << "nothing after the one line: " << m_output.constData();
}

TEST_F(ProgramLaunchTest, WithoutADisplayTheProgramSaysSoBeforeQtStarts)
{
    const struct
    {
        const char *name;
        const char *display; // null: unset
        const char *line;
    } rows[] = {
        {"Unset", nullptr, "Inkora needs an X11 display: DISPLAY is not set\n"},
        {"NoServer", ":998", "Inkora needs an X11 display: cannot open display \":998\"\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (row.display)
            env.insert(QStringLiteral("DISPLAY"), QLatin1String(row.display));
        else
            env.remove(QStringLiteral("DISPLAY"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 1);
        EXPECT_EQ(program.readAllStandardError(), QByteArray(row.line));
    }
}
