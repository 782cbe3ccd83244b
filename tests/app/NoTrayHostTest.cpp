#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QProcess>

// The X server of the tests runs no panel, so no tray host is there.
class NoTrayHostTest : public InkoraFixture
{
};

TEST_F(NoTrayHostTest, ProgramSaysSoOnceAndRunsOn)
{
    // A bus of its own: another copy of the program on the shared bus would take this start over.
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    env.insert(QStringLiteral("INKORA_QUIT_AFTER_MS"), QStringLiteral("1500"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(INKORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(program.waitForFinished(60000));

    const QString output = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << output.toStdString();
    EXPECT_EQ(output.count(QStringLiteral("no system tray")), 1) << output.toStdString();
}
