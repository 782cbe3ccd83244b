#include "platform/fake/FakeOpenPanel.h"
#include "platform/fake/FakeSavePanel.h"
#include "snapshots/MRKOExportMethod.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapInfo.h"
#include "tests/snapshots/ExternalReaders.h"
#include "tests/snapshots/SnapshotPanelFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>

namespace {

/// A record of a real shot that cancels the export while its shot is read (the write still finishes).
class CancellingRecord final : public MRKOSnapshotInfoProtocol
{
public:
    CancellingRecord(std::shared_ptr<MRKOSnapshot> shot, bool cancel) : m_shot(std::move(shot)), m_cancel(cancel) {}
    QImage snapshotImage() override { return {}; }
    QImage quickLookImage() override { return {}; }
    bool isSnapshotImageReady() const override { return false; }
    std::shared_ptr<MRKOSnapshot> snapshot() override
    {
        if (m_cancel)
            MRKOSnapshotPanel::sharedSnapshotPanel().setExportCancelled(true);
        return m_shot;
    }
    qint64 sequenceType() const override { return 0; }
    QString name() const override { return m_shot ? m_shot->name() : QString(); }

private:
    std::shared_ptr<MRKOSnapshot> m_shot;
    bool m_cancel = false;
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class MRKOSnapshotManagerExportTest : public SnapshotPanelFixture
{
protected:
    [[nodiscard]] QString folder(const QString &name) const
    {
        const QString path = QDir(home()).filePath(name);
        QDir().mkpath(path);
        return path;
    }
    void exportAndWait(const MRKOSnapshotManager::Records &records, const QStringList &paths, quint64 method)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        manager().saveSnapshotsAsyncToPathsWithMethod(records, paths, method, [done] { *done = true; });
        waitFor([done] { return done->load(); });
        advance(0.3);
    }
    /// The page sizes pdfinfo reports, "w x h" in points.
    static QStringList pageSizes(const QString &pdf)
    {
        const readers::Result result =
            readers::run(QStringLiteral("pdfinfo"),
                         {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("99"), pdf});
        EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
        QStringList sizes;
        const QRegularExpression line(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts"));
        for (auto it = line.globalMatch(result.out); it.hasNext();) {
            const auto match = it.next();
            sizes << match.captured(1) + QStringLiteral(" x ") + match.captured(2);
        }
        return sizes;
    }
};

TEST_F(MRKOSnapshotManagerExportTest, ACancelStopsBeforeTheNextShot)
{
    MRKOSnapshotManager::Records records;
    QStringList paths;
    const QString out = folder(QStringLiteral("out"));
    for (int i = 0; i < 10; ++i) {
        records.push_back(std::make_shared<CancellingRecord>(smallShot(QStringLiteral("s%1").arg(i)), i == 2));
        paths << QDir(out).filePath(QStringLiteral("s%1.png").arg(i));
    }
    exportAndWait(records, paths, MRKOExportMethodPNG);
    EXPECT_EQ(filesIn(out),
              (QStringList{QStringLiteral("s0.png"), QStringLiteral("s1.png"), QStringLiteral("s2.png")}));
    EXPECT_FALSE(panel().hasExportOverlay()) << "the sheet goes when the loop ends";
}

TEST_F(MRKOSnapshotManagerExportTest, BatchExportNamesFilesSafelyAndFreely)
{
    addNamed({QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("a/b"), QStringLiteral("..")});
    const QString out = folder(QStringLiteral("batch"));
    fakes().openPanel->answer = {out};
    manager().saveSelectedIndexesWithMethod({0, 1, 2, 3}, MRKOExportMethodPNG);
    ASSERT_EQ(fakes().openPanel->requests.size(), 1);
    EXPECT_EQ(fakes().openPanel->requests[0].message, QStringLiteral("Choose a location for selected shots"));
    EXPECT_TRUE(fakes().openPanel->requests[0].canChooseDirectories);
    waitFor([&] { return filesIn(out).size() == 4 && !panel().hasExportOverlay(); });
    EXPECT_EQ(filesIn(out), (QStringList{QStringLiteral("A (1).png"), QStringLiteral("A.png"),
                                         QStringLiteral("Snapshot.png"), QStringLiteral("a-b.png")}));
    EXPECT_EQ(QDir(home()).entryList(QDir::Files), QStringList()) << "nothing lands outside the folder";
}

TEST_F(MRKOSnapshotManagerExportTest, ACountMismatchWritesNothing)
{
    addNamed({QStringLiteral("a")});
    log().expectWarning(QStringLiteral("saveSnapshotsAsync. Can't save. Count mismatch"));
    exportAndWait(manager().snapshots(), {}, MRKOExportMethodPNG);
    EXPECT_TRUE(log().contains(QStringLiteral("saveSnapshotsAsync. Can't save. Count mismatch")));
}

TEST_F(MRKOSnapshotManagerExportTest, MultiPagePdfPagesTakeEachShotsSizeInTheChosenOrder)
{
    // Three shots of different sizes; the browser shows the newest first.
    for (int i = 0; i < 3; ++i) {
        auto shot = MRKOSnapshot::snapshotWithLayers({drawing(QRectF(5, 5, 20, 20), 1, Qt::red)},
                                                     screenImage(100 + 50 * i, 60), QRectF(0, 0, 100 + 50 * i, 60), 0);
        manager().addSnapshot(shot);
    }
    settleWrites();
    const QString out = folder(QStringLiteral("pdf"));
    for (const bool straight : {false, true}) {
        SCOPED_TRACE(straight);
        fakes().savePanel->answer = QDir(out).filePath(QStringLiteral("All Snapshots.pdf"));
        fakes().savePanel->checkBoxAnswer = straight;
        const qsizetype before = filesIn(out).size();
        manager().saveMultiPagesPDFWithPanelFull(true, std::nullopt);
        EXPECT_EQ(fakes().savePanel->requests.last().proposedName, QStringLiteral("All Snapshots"));
        EXPECT_EQ(fakes().savePanel->requests.last().checkBoxTitle, QStringLiteral("Pages Order from Left to Right"));
        waitFor([&] { return filesIn(out).size() == before + 1 && !panel().hasExportOverlay(); });
        const QString written = QDir(out).filePath(straight ? QStringLiteral("All Snapshots (1).pdf")
                                                            : QStringLiteral("All Snapshots.pdf"));
        const QStringList sizes = pageSizes(written);
        // Box off: page 1 is the rightmost (oldest) item; on: the leftmost.
        EXPECT_EQ(sizes, straight ? (QStringList{"200 x 60", "150 x 60", "100 x 60"})
                                  : (QStringList{"100 x 60", "150 x 60", "200 x 60"}));
    }
}

TEST_F(MRKOSnapshotManagerExportTest, PromisesNameTheFilesTheyWrite)
{
    addNamed({QStringLiteral("Same"), QStringLiteral("Same"), QStringLiteral("Third")});
    MRKOSnapshotsViewController &browser = *panel().snapshotsViewController();
    const QString out = folder(QStringLiteral("promise"));
    auto run = [&](const std::vector<qint64> &indexes) {
        auto done = std::make_shared<std::atomic<bool>>(false);
        const QStringList names =
            browser.namesOfPromisedFilesDroppedAtDestination(out, indexes, [done] { *done = true; });
        waitFor([done] { return done->load(); });
        advance(0.3);
        return names;
    };
    // Without a delegate the single export format is PNG; equal names get distinct files.
    EXPECT_EQ(run({0, 1}), (QStringList{QStringLiteral("Third.png"), QStringLiteral("Same.png")}));
    EXPECT_EQ(run({1, 2}), (QStringList{QStringLiteral("Same (1).png"), QStringLiteral("Same (2).png")}));
    EXPECT_EQ(filesIn(out).size(), 4);

    // A multi-page name is made free first, so it names the file written.
    QFile(QDir(out).filePath(QStringLiteral("3 Selected Snapshots.pdf"))).open(QIODevice::WriteOnly);
    auto done = std::make_shared<std::atomic<bool>>(false);
    const QString written = manager().saveSnapshotsAsPDFWithPath(
        manager().snapshots(), QDir(out).filePath(QStringLiteral("3 Selected Snapshots.pdf")), true, false,
        [done] { *done = true; });
    waitFor([done] { return done->load(); });
    EXPECT_EQ(QFileInfo(written).fileName(), QStringLiteral("3 Selected Snapshots (1).pdf"));
    EXPECT_EQ(pageSizes(written).size(), 3);
}

TEST_F(MRKOSnapshotManagerExportTest, DazadUdizPromisesAreAlwaysPng)
{
    addNamed({QStringLiteral("d")}, true);
    manager().showCollectionWithViewType(1);
    drainMainQueue();
    const QString out = folder(QStringLiteral("dz"));
    auto done = std::make_shared<std::atomic<bool>>(false);
    const QStringList names =
        panel().snapshotsViewController()->namesOfPromisedFilesDroppedAtDestination(out, {0}, [done] { *done = true; });
    waitFor([done] { return done->load(); });
    EXPECT_EQ(names, QStringList{QStringLiteral("d.png")});
    EXPECT_EQ(QImage(QDir(out).filePath(QStringLiteral("d.png"))).size(), QSize(160, 100)) << "the screen image";
}

TEST_F(MRKOSnapshotManagerExportTest, SnapshotFilesCopyOutAndLoadBackSkippingBadOnes)
{
    addNamed({QStringLiteral("one"), QStringLiteral("two")});
    const QString out = folder(QStringLiteral("files"));
    fakes().openPanel->answer = {out};
    manager().saveAllSnapshots();
    EXPECT_EQ(fakes().openPanel->requests.last().message, QStringLiteral("Choose a location to save all snapshots"));
    waitFor([&] { return filesIn(out).size() == 2 && !panel().hasExportOverlay(); });
    EXPECT_EQ(filesIn(out), (QStringList{QStringLiteral("one.iksnapshot"), QStringLiteral("two.iksnapshot")}));

    const QString bad = writeFile(QStringLiteral("bad.iksnapshot"), QByteArray("not an archive"));
    fakes().openPanel->answer = {QDir(out).filePath(QStringLiteral("one.iksnapshot")), bad};
    log().expectWarning(QStringLiteral("bad.iksnapshot"));
    log().expectWarning(QStringLiteral("not a snapshot"));
    manager().loadSnapshots();
    settleWrites();
    EXPECT_EQ(fakes().openPanel->requests.last().message,
              QStringLiteral("Choose snapshots to load into Snapshots Roll"));
    EXPECT_TRUE(fakes().openPanel->requests.last().allowsMultipleSelection);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("one")}));
    EXPECT_TRUE(log().contains(QStringLiteral("bad.iksnapshot")));
}
