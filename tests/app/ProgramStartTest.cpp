#include "tests/support/InkoraFixture.h"

#include <QProcess>

class ProgramStartTest : public InkoraFixture
{
};

TEST_F(ProgramStartTest, ProgramsStartAndQuitCleanly)
{
    for (const char *program : {INKORA_PROGRAM, INKORA_HELPER_PROGRAM}) {
        SCOPED_TRACE(program);
        QProcess process;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("INKORA_QUIT_AFTER_MS"), QStringLiteral("300"));
        process.setProcessEnvironment(env);
        process.start(QString::fromLocal8Bit(program), {});
        ASSERT_TRUE(process.waitForStarted(10000));
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    }
}
