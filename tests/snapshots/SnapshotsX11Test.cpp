#include "foundation/MRKOUtils.h"
#include "foundation/NSString+Bezier.h"
#include "platform/Defaults.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/snapshots/ExternalReaders.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>

namespace {

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

/// A window of another program that takes whatever is dropped on it and keeps what it was handed.
class DropTarget final : public QWidget
{
public:
    DropTarget() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAcceptDrops(true);
    }

    bool dropped = false;
    QStringList formats;
    QByteArray png;
    QList<QUrl> urls;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override
    {
        formats = event->mimeData()->formats();
        png = event->mimeData()->data(QStringLiteral("image/png"));
        urls = event->mimeData()->urls();
        dropped = true;
        event->acceptProposedAction();
    }
};

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
    /// The mapped windows of the program with exactly this frame (root coordinates, y down).
    [[nodiscard]] bool shows(const QRect &frame)
    {
        XcbWindowProbe probe;
        for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_program.processId())) {
            if (w.geometry == frame)
                return true;
        }
        return false;
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

TEST_F(SnapshotsX11Test, ANewShotIsAnnouncedAndTheRollOpensAndHandsItsShotToAnotherProgram)
{
    start();
    showAndDraw();

    // A small window rises bottom left, 44 points in and 10 up, and goes by itself.
    const auto announced = [this](std::optional<QRect> *frame) {
        XcbWindowProbe probe;
        for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_program.processId())) {
            if (w.geometry.x() == 44 && w.geometry.width() < 400) {
                *frame = w.geometry;
                return true;
            }
        }
        return false;
    };
    std::optional<QRect> added;
    snapshotKey();
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced(&added); }, 30000)) << m_output.constData();
    EXPECT_EQ(added->bottom() + 1, 900 - 10) << added->y() << " " << added->height();
    std::optional<QRect> ignored;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !announced(&ignored); }, 20000));
    ASSERT_EQ(records(), 1);

    // The panel: the whole width of the display, 200 high, at its bottom.
    const QRect open(0, 700, 1440, 200);
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("super+s")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shows(open); }, 20000)) << m_output.constData();
    QTest::qWait(1000); // the slide ends and the thumbnail shows

    // The thumbnail dragged out through the top of the panel onto a window of another program.
    DropTarget target;
    target.setGeometry(520, 150, 400, 300);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("125"),
                         QStringLiteral("785"), QStringLiteral("mousedown"), QStringLiteral("1")}));
    for (int step = 1; step <= 30; ++step) {
        const QPoint at = QPoint(125, 785) + (QPoint(720, 300) - QPoint(125, 785)) * step / 30;
        ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}));
        QTest::qWait(50);
    }
    QTest::qWait(500);
    ASSERT_TRUE(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return target.dropped; }, 60000)) << m_output.constData();

    EXPECT_TRUE(target.formats.contains(QStringLiteral("image/png"))) << qPrintable(target.formats.join(' '));
    EXPECT_TRUE(target.formats.contains(QStringLiteral("text/uri-list"))) << qPrintable(target.formats.join(' '));
    QTemporaryDir out;
    QFile handed(QDir(out.path()).filePath(QStringLiteral("handed.png")));
    ASSERT_TRUE(handed.open(QIODevice::WriteOnly));
    handed.write(target.png);
    handed.close();
    ASSERT_EQ(target.urls.size(), 1);
    EXPECT_EQ(QFileInfo(target.urls.front().toLocalFile()).fileName(), QStringLiteral("Snapshot 1.png"));
    for (const QString &file : {handed.fileName(), target.urls.front().toLocalFile()}) {
        const readers::Result check = readers::run(QStringLiteral("pngcheck"), {file});
        EXPECT_EQ(check.exitCode, 0) << qPrintable(file) << qPrintable(check.out);
        EXPECT_TRUE(check.out.contains(QStringLiteral("1440x900"))) << qPrintable(check.out);
    }

    // The panel came back once the drag ended; the shortcut slides it away.
    ASSERT_TRUE(QTest::qWaitFor([&] { return shows(open); }, 20000)) << m_output.constData();
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("super+s")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shows(open); }, 20000)) << m_output.constData();
    terminate();
}
