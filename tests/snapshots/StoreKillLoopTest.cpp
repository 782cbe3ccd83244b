#include "snapshots/MRKOSnapshot.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>

#include <csignal>

namespace {

constexpr qint64 kLoopBudget = 20000; // milliseconds of killing, whatever the machine's speed
constexpr int kMinRounds = 3;         // even on a slow, busy machine
constexpr int kMaxRounds = 30;

struct Dump
{
    int exitCode = -1;
    QHash<QString, int> stores; // file name -> the records naming it in either store
    QHash<QString, QString> paths;
};

} // namespace

class StoreKillLoopTest : public SnapshotsFixture
{
protected:
    Dump dump()
    {
        QProcess driver;
        driver.start(QStringLiteral(STORE_DRIVER), {QStringLiteral("dump")});
        EXPECT_TRUE(driver.waitForFinished(60000));
        Dump result;
        result.exitCode = driver.exitCode();
        for (const QString &line : QString::fromUtf8(driver.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            const QStringList parts = line.split('|');
            if (parts.size() != 6)
                continue;
            result.stores[parts[5]] += 1;
            result.paths[parts[5]] =
                dataFolder() + QStringLiteral("/%1/%2/%3.iksnapshot").arg(parts[1], parts[2], parts[5]);
        }
        return result;
    }
    void expectSoundFile(const QString &path)
    {
        for (const char *check : {"PRAGMA integrity_check;", "PRAGMA foreign_key_check;"}) {
            const QStringList answer = sqlite(path, QString::fromLatin1(check));
            if (QByteArray(check).contains("integrity"))
                EXPECT_EQ(answer, QStringList{QStringLiteral("ok")}) << qPrintable(path);
            else
                EXPECT_TRUE(answer.isEmpty()) << qPrintable(answer.join('\n'));
        }
    }
};

TEST_F(StoreKillLoopTest, KilledAtAnyMomentTheStoresHoldEveryCommittedShotOnceWithItsFile)
{
    QRandomGenerator random(20250611);
    QSet<QString> committed;
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    while (rounds < kMinRounds || (rounds < kMaxRounds && clock.elapsed() < kLoopBudget)) {
        ++rounds;
        QProcess driver;
        QByteArray output;
        QObject::connect(&driver, &QProcess::readyReadStandardOutput,
                         [&] { output += driver.readAllStandardOutput(); });
        driver.start(QStringLiteral(STORE_DRIVER), {QStringLiteral("churn"), QString::number(random.generate())});
        ASSERT_TRUE(driver.waitForStarted(10000));
        // Let it work until it has committed something, then a little longer, then kill it without warning.
        QElapsedTimer started;
        started.start();
        while (!output.contains("committed") && started.elapsed() < 30000)
            driver.waitForReadyRead(50);
        driver.waitForFinished(random.bounded(20, 400));
        ::kill(pid_t(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(10000));
        output += driver.readAllStandardOutput();
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith("committed "))
                committed.insert(QString::fromUtf8(line.mid(10)));
        }
        SCOPED_TRACE(rounds);

        expectSoundFile(rollPath());
        expectSoundFile(binPath());
        const Dump stores = dump();
        ASSERT_EQ(stores.exitCode, 0) << "our reader opens both stores as they are";
        for (const QString &file : std::as_const(committed)) {
            ASSERT_EQ(stores.stores.value(file), 1) << qPrintable(file) << " is in exactly one store";
            ASSERT_TRUE(MRKOSnapshot::snapshotWithContentsOfFile(stores.paths.value(file))) << qPrintable(file);
        }
        for (auto it = stores.paths.begin(); it != stores.paths.end(); ++it)
            ASSERT_TRUE(MRKOSnapshot::snapshotWithContentsOfFile(it.value())) << "no record without its file";
    }
    EXPECT_FALSE(committed.isEmpty());
}
