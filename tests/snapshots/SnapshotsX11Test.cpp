#include "foundation/MRKOUtils.h"
#include "foundation/NSString+Bezier.h"
#include "platform/Defaults.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <csignal>

namespace {

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

} // namespace

// The program itself under the test's X server: shots taken by their shortcut land in the roll.
class SnapshotsX11Test : public SnapshotsFixture
{
protected:
    void SetUp() override
    {
        SnapshotsFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(1, QStringLiteral("DissolveModeKey")); // drawings stay until they are shot
        // Super+Alt+D shows the overlay: key 2 with the Control and Option flags.
        defaults.setObject(Bezier::base64EncodedString(QStringLiteral("runInkora:,786432,2,0")),
                           QStringLiteral("ShortcutActivate"));
        defaults.synchronize();
    }
    void TearDown() override
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished(10000);
        }
        SnapshotsFixture::TearDown();
    }

    void start()
    {
        m_output.clear();
        m_program.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&m_program, &QProcess::readyRead, [this] { m_output += m_program.readAll(); });
        m_program.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_program.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_output.contains("finishAppLaunching"); }, 30000));
    }
    /// Shows the overlay by its shortcut and draws one stroke down the diagonal.
    void showAndDraw()
    {
        XcbWindowProbe probe;
        ASSERT_TRUE(probe.isConnected());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const auto shown = [&] {
            for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_program.processId())) {
                if (w.geometry == screen)
                    return true;
            }
            return false;
        };
        // The shortcut is grabbed once the launch is complete; it is typed again until the overlay shows.
        bool overlay = false;
        for (int attempt = 0; attempt < 10 && !overlay; ++attempt) {
            ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("super+alt+d")}));
            overlay = QTest::qWaitFor(shown, 3000);
        }
        ASSERT_TRUE(overlay) << m_output.constData();
        ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("200"),
                             QStringLiteral("200"), QStringLiteral("mousedown"), QStringLiteral("1")}));
        for (int step = 220; step <= 400; step += 20)
            ASSERT_TRUE(xdotool(
                {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(step), QString::number(step)}));
        ASSERT_TRUE(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTest::qWait(500);
    }
    void snapshotKey() { ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")})); }
    [[nodiscard]] int records()
    {
        if (!QFileInfo::exists(rollPath()))
            return 0;
        // The program may have made the file but not yet its tables.
        if (sqlite(rollPath(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'snap_info';"))
                .value(0) != QStringLiteral("1"))
            return 0;
        return sqlite(rollPath(), QStringLiteral("SELECT count(*) FROM snap_info;")).value(0).toInt();
    }
    void terminate()
    {
        ::kill(pid_t(m_program.processId()), SIGTERM);
        ASSERT_TRUE(m_program.waitForFinished(60000));
        EXPECT_EQ(m_program.exitCode(), 0) << m_output.constData();
    }
    /// Every record's archive reads with Python's plistlib as a keyed archive.
    void expectEveryRecordHasItsFile()
    {
        const QStringList rows = sqlite(rollPath(), QStringLiteral("SELECT s.parent_folder || '/' || s.foldername || "
                                                                   "'/' || i.filename FROM snap_info i JOIN sequence s "
                                                                   "ON s.id = i.sequence_id;"));
        for (const QString &row : rows) {
            QProcess python;
            python.start(QStringLiteral("python3"),
                         {QStringLiteral("-c"),
                          QStringLiteral("import plistlib,sys; d=plistlib.load(open(sys.argv[1],'rb')); "
                                         "print(d['$archiver'])"),
                          dataFolder() + QLatin1Char('/') + row + QStringLiteral(".iksnapshot")});
            ASSERT_TRUE(python.waitForFinished(30000));
            EXPECT_EQ(python.readAllStandardOutput().trimmed(), QByteArray("NSKeyedArchiver")) << qPrintable(row);
        }
    }

    QProcess m_program;
    QByteArray m_output;
};

TEST_F(SnapshotsX11Test, ShotsTakenByTheirShortcutOutliveTheProgramAndTheNumberingGoesOn)
{
    start();
    showAndDraw();
    for (int i = 1; i <= 3; ++i) {
        snapshotKey();
        ASSERT_TRUE(QTest::qWaitFor([&] { return records() == i; }, 30000)) << m_output.constData();
    }
    terminate();

    EXPECT_EQ(
        sqlite(rollPath(), QStringLiteral("SELECT position, name FROM snap_info ORDER BY position;")),
        (QStringList{QStringLiteral("0|Snapshot 3"), QStringLiteral("1|Snapshot 2"), QStringLiteral("2|Snapshot 1")}));
    expectEveryRecordHasItsFile();

    start();
    showAndDraw();
    snapshotKey();
    ASSERT_TRUE(QTest::qWaitFor([&] { return records() == 4; }, 30000)) << m_output.constData();
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT name FROM snap_info WHERE position = 0;")),
              QStringList{QStringLiteral("Snapshot 4")});

    // Killed right after the shortcut: the shot is there with its file, or not at all.
    snapshotKey();
    QTest::qWait(30);
    m_program.kill();
    ASSERT_TRUE(m_program.waitForFinished(10000));
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("PRAGMA integrity_check;")), QStringList{QStringLiteral("ok")});
    EXPECT_GE(records(), 4);
    expectEveryRecordHasItsFile();
}
