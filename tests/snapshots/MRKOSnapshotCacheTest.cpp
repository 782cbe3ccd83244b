#include "snapshots/MRKOSnapshotCache.h"

#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <thread>

class MRKOSnapshotCacheTest : public SnapshotsFixture
{
protected:
    static MRKOSnapshotCache &cache() { return MRKOSnapshotCache::sharedCache(); }
    QString path(int n) const { return QDir(home()).filePath(QStringLiteral("shot%1.iksnapshot").arg(n)); }
    /// A snapshot whose screen image weighs `width` x `height` x 4 bytes; the pixels are not filled.
    static std::shared_ptr<MRKOSnapshot> weighing(int width, int height)
    {
        QImage screen(width, height, QImage::Format_RGBA8888_Premultiplied);
        return MRKOSnapshot::snapshotWithLayers({}, screen, QRectF(0, 0, width, height), 0);
    }
};

TEST_F(MRKOSnapshotCacheTest, KeysAreFileNamesWithoutExtension)
{
    EXPECT_EQ(MRKOSnapshotCache::keyWithURL(QStringLiteral("/a/b/ABC123.iksnapshot")), QStringLiteral("ABC123"));
}

TEST_F(MRKOSnapshotCacheTest, TheEleventhEntryOrASecondLargeScreenPushesOneOut)
{
    for (int i = 0; i < 11; ++i)
        cache().addSnapshotForURL(weighing(4, 4), path(i));
    EXPECT_EQ(cache().count(), 10u);
    EXPECT_FALSE(cache().containsURL(path(0))) << "the least recently used goes";
    EXPECT_TRUE(cache().containsURL(path(10)));

    const std::shared_ptr<MRKOSnapshot> big = weighing(5120, 2880);
    EXPECT_EQ(big->cost(), 58982400);
    cache().addSnapshotForURL(big, path(20));
    EXPECT_TRUE(cache().containsURL(path(20)));
    const size_t before = cache().count();
    cache().addSnapshotForURL(weighing(5120, 2880), path(21));
    EXPECT_LE(cache().totalCost(), MRKOSnapshotCache::kTotalCostLimit);
    EXPECT_FALSE(cache().containsURL(path(20)));
    EXPECT_TRUE(cache().containsURL(path(21)));
    EXPECT_LT(cache().count(), before + 1);
}

TEST_F(MRKOSnapshotCacheTest, AnEntryUnusedForSixtySecondsIsReadFromItsFileAgain)
{
    const std::shared_ptr<MRKOSnapshot> original = smallShot(QStringLiteral("on disk"));
    ASSERT_TRUE(original->writeSnapshotToFile(path(1)));
    cache().addSnapshotForURL(original, path(1));

    advance(59);
    EXPECT_EQ(cache().snapshotWithURL(path(1)), original) << "a use restarts the minute";
    advance(59);
    EXPECT_TRUE(cache().containsURL(path(1)));
    advance(2);
    EXPECT_FALSE(cache().containsURL(path(1)));

    const std::shared_ptr<MRKOSnapshot> reread = cache().snapshotWithURL(path(1));
    ASSERT_TRUE(reread);
    EXPECT_NE(reread, original);
    EXPECT_EQ(reread->name(), QStringLiteral("on disk"));

    // Touched from a worker thread, the entry still expires on time.
    cache().removeObjectForURL(path(1));
    std::thread worker([this] { (void)cache().snapshotWithURL(path(1)); });
    worker.join();
    EXPECT_TRUE(cache().containsURL(path(1)));
    advance(60);
    EXPECT_FALSE(cache().containsURL(path(1)));
    EXPECT_FALSE(cache().snapshotWithURL(path(2))) << "no file, no snapshot";
}

TEST_F(MRKOSnapshotCacheTest, ARecordShowsItsThumbnailFileWithoutReadingTheArchive)
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    const std::shared_ptr<SnapInfo> info = roll.addSnapshotForSequenceType(smallShot(QStringLiteral("Snapshot 1")), 0);
    settleWrites();
    const QImage rendered = info->snapshotImage();
    ASSERT_FALSE(rendered.isNull());
    EXPECT_TRUE(info->isSnapshotImageReady());
    EXPECT_EQ(info->snapshotImage().cacheKey(), rendered.cacheKey()) << "asked twice, rendered once";
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(info->snapshotImageURL()) && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(QFileInfo::exists(info->snapshotImageURL()));

    // The thumbnail file stands for the shot; the archive is damaged and nothing of it is in memory.
    QImage marker(30, 20, QImage::Format_RGBA8888);
    marker.fill(QColor(1, 2, 3));
    ASSERT_TRUE(marker.save(info->snapshotImageURL(), "PNG"));
    QFile archive(info->snapshotFileURL());
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly | QIODevice::Truncate));
    archive.write("garbage");
    archive.close();
    cache().removeObjectForURL(info->snapshotFileURL());
    // The bin's copy of the record knows only the files.
    ASSERT_TRUE(roll.moveSnapshotToTrash(info));
    const std::shared_ptr<Sequence> binSequence = MRKOPersistentTrash::sharedTrash().sequences().front();

    EXPECT_FALSE(binSequence->isSnapshotImageReady());
    EXPECT_EQ(binSequence->snapshotImage().pixelColor(0, 0), QColor(1, 2, 3));
    EXPECT_FALSE(cache().containsURL(info->snapshotFileURL())) << "no archive was decoded";

    log().expectWarning(QStringLiteral("not a snapshot"));
    EXPECT_FALSE(binSequence->snapshot()) << "a damaged file gives no snapshot and no crash";
    EXPECT_TRUE(binSequence->quickLookImage().isNull());
}

TEST_F(MRKOSnapshotCacheTest, ARetitledRecordGivesItsSnapshotUnderTheNewName)
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    const std::shared_ptr<SnapInfo> info = roll.addSnapshotForSequenceType(smallShot(QStringLiteral("Snapshot 1")), 0);
    settleWrites();
    info->setName(QStringLiteral("Quarterly figures"));
    cache().removeObjectForURL(info->snapshotFileURL());

    const std::shared_ptr<MRKOSnapshot> shot = info->snapshot();
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->name(), QStringLiteral("Quarterly figures"));
    const QString exported = shot->writeToFolder(home(), 1);
    EXPECT_EQ(exported, QStringLiteral("Quarterly figures.png"));
    EXPECT_TRUE(QFileInfo::exists(QDir(home()).filePath(exported)));
}

TEST_F(MRKOSnapshotCacheTest, RecordFilePlaces)
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    const std::shared_ptr<SnapInfo> info = roll.addSnapshotForSequenceType(smallShot(QStringLiteral("Snapshot 2")), 0);
    settleWrites();
    const std::shared_ptr<Sequence> sequence = info->sequence();
    const QString name = info->filename();

    EXPECT_EQ(info->snapshotFileURL(),
              dataFolder() + QStringLiteral("/Snapshots/%1/%2.iksnapshot").arg(sequence->foldername(), name));
    EXPECT_EQ(info->snapshotImageURL(),
              home() +
                  QStringLiteral("/cache/com.Inkora.Inkora/Snapshots/%1/%2.png").arg(sequence->foldername(), name));
    EXPECT_TRUE(info->quickLookImageURL().endsWith(QStringLiteral("/%1_ql.png").arg(name)));
    EXPECT_TRUE(info->quickLookImageURL().startsWith(home() + QStringLiteral("/tmp/")));
    EXPECT_EQ(info->userFileName(), QStringLiteral("Snapshot 2.iksnapshot"));
    writeFile(QStringLiteral("Snapshot 2.iksnapshot"), "taken");
    EXPECT_EQ(info->uniqueURLForUserSnapshotFileInDirectory(home()),
              QDir(home()).filePath(QStringLiteral("Snapshot 2 (1).iksnapshot")));

    const std::shared_ptr<Sequence> empty = roll.addNewSequenceWithType(0);
    EXPECT_TRUE(empty->snapshotImage().isNull());
    EXPECT_FALSE(empty->snapshot());
    EXPECT_FALSE(empty->isSnapshotImageReady());
}
