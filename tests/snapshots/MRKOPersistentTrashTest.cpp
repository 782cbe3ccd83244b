#include "snapshots/MRKOPersistentTrash.h"

#include "platform/fake/FakeAlerts.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/StoreContext.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

class MRKOPersistentTrashTest : public SnapshotsFixture
{
protected:
    static MRKOPersistentData &roll() { return MRKOPersistentData::sharedData(); }
    static MRKOPersistentTrash &bin() { return MRKOPersistentTrash::sharedTrash(); }

    /// Shots named n1 ... nN in the Snapshots sequence, the last one first; their files, thumbnails and previews
    /// exist.
    std::vector<std::shared_ptr<SnapInfo>> addShots(int count, const QString &prefix = QStringLiteral("n"))
    {
        QStringList files;
        for (int i = 1; i <= count; ++i) {
            const auto info = roll().addSnapshotForSequenceType(smallShot(prefix + QString::number(i)), 0);
            (void)info->quickLookImage();
            files += info->cleanUpURLs();
        }
        settleWrites();
        // The thumbnails and previews are written in the background; what a test deletes must stay deleted.
        QDeadlineTimer deadline(10000);
        while (!allExist(files) && !deadline.hasExpired())
            QThread::msleep(5);
        EXPECT_TRUE(allExist(files));
        return roll().items();
    }
    void moveToBin(const std::shared_ptr<SnapInfo> &info)
    {
        ASSERT_TRUE(roll().moveSnapshotToTrash(info));
        roll().finalizeMoveToTrashOrPutBack();
    }
    /// The files of a record: archive, thumbnail, preview.
    static QStringList filesOf(const SnapInfo &info) { return info.cleanUpURLs(); }
    static bool allExist(const QStringList &paths)
    {
        return std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QFileInfo::exists(p); });
    }
    static bool noneExists(const QStringList &paths)
    {
        return std::none_of(paths.begin(), paths.end(), [](const QString &p) { return QFileInfo::exists(p); });
    }
};

TEST_F(MRKOPersistentTrashTest, DeletingOneOfFiveMakesOneBinSequenceDatedNowAndLeavesTheFile)
{
    const auto infos = addShots(5);
    const std::shared_ptr<SnapInfo> doomed = infos[2];
    const QString file = doomed->snapshotFileURL();
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);

    moveToBin(doomed);

    ASSERT_EQ(bin().sequences().size(), 1u);
    const std::shared_ptr<Sequence> binSequence = bin().sequences().front();
    EXPECT_TRUE(binSequence->inTrash());
    EXPECT_GE(binSequence->date(), before);
    ASSERT_EQ(binSequence->snapInfos().size(), 1u);
    EXPECT_EQ(binSequence->firstInfoName(), QStringLiteral("n3"));
    EXPECT_EQ(roll().items().size(), 4u);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(binSequence->snapInfos().at(0)->snapshotFileURL(), file) << "the bin points at the same file";
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT count(*) FROM snap_info;")), QStringList{QStringLiteral("4")});
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("SELECT s.in_trash, i.name FROM snap_info i JOIN sequence s ON s.id = "
                                               "i.sequence_id;")),
              QStringList{QStringLiteral("1|n3")});
}

TEST_F(MRKOPersistentTrashTest, PuttingBackLandsFirstInTheLiveSequenceOrInANewOneOfTheOldFolder)
{
    const auto infos = addShots(3);
    moveToBin(infos[1]);
    bin().putSequenceBack(bin().sequences().front());
    roll().finalizeMoveToTrashOrPutBack();

    ASSERT_EQ(roll().items().size(), 3u);
    EXPECT_EQ(roll().items().front()->name(), QStringLiteral("n2"));
    EXPECT_FALSE(bin().hasObjects());
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("SELECT count(*) FROM sequence;")), QStringList{QStringLiteral("0")});

    // The live sequence goes while its shot waits in the bin.
    const std::shared_ptr<Sequence> live = roll().currentSnapshotsSequence();
    const QString foldername = live->foldername();
    moveToBin(roll().items().front());
    roll().setSequences({});
    roll().managedObjectContext()->deleteObject(live);
    ASSERT_TRUE(roll().saveAction());

    bin().putSequenceBack(bin().sequences().front());
    roll().finalizeMoveToTrashOrPutBack();

    ASSERT_EQ(roll().sequences().size(), 1u);
    const std::shared_ptr<Sequence> reborn = roll().sequences().front();
    EXPECT_NE(reborn, live);
    EXPECT_EQ(reborn->foldername(), foldername);
    EXPECT_GE(reborn->date(), QDateTime::currentDateTimeUtc().addSecs(-5));
    ASSERT_EQ(reborn->snapInfos().size(), 1u);
    EXPECT_EQ(reborn->firstInfoName(), QStringLiteral("n2"));
    EXPECT_TRUE(reborn->snapshot()) << "its file is where it was";
}

TEST_F(MRKOPersistentTrashTest, AMoveToTheBinIsOneTransactionOnBothStores)
{
    const auto infos = addShots(2);
    // The bin refuses every new record, as a full disk would.
    (void)sqlite(binPath(), QStringLiteral("CREATE TRIGGER no_room BEFORE INSERT ON snap_info BEGIN SELECT "
                                           "RAISE(ABORT, 'database or disk is full'); END;"));
    log().expectWarning(QStringLiteral("could not be saved"));

    moveToBin(infos[0]);

    ASSERT_EQ(fakes().alerts->errors.size(), 1);
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT count(*) FROM snap_info;")), QStringList{QStringLiteral("2")})
        << "the roll keeps the record the bin could not take";
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("SELECT count(*) FROM sequence;")), QStringList{QStringLiteral("0")});
}

TEST_F(MRKOPersistentTrashTest, RemovingForGoodDeletesTheShotsFilesAndOnlyEmptyUnusedFolders)
{
    const auto infos = addShots(3);
    const std::shared_ptr<Sequence> live = roll().currentSnapshotsSequence();
    const QStringList first = filesOf(*infos[0]);
    const QStringList second = filesOf(*infos[1]);
    ASSERT_TRUE(allExist(first));
    moveToBin(infos[0]);
    moveToBin(infos[1]);

    // One of two bin entries of the folder, with the live sequence still there.
    bin().removeSequence(bin().sequences().back());
    bin().waitForFileDeletions();
    EXPECT_TRUE(noneExists(first));
    EXPECT_TRUE(allExist(second)) << "another bin entry of the folder keeps its files";
    EXPECT_TRUE(QFileInfo(live->folderPath()).isDir());

    // The live sequence goes; the folder still holds the third shot's file, which is no bin entry's.
    roll().setSequences({});
    roll().managedObjectContext()->deleteObject(live);
    ASSERT_TRUE(roll().saveAction());
    bin().removeAllSequencesAsync(false);
    EXPECT_TRUE(noneExists(second));
    EXPECT_TRUE(QFileInfo(live->folderPath()).isDir()) << "a folder with other files in it stays";
    EXPECT_TRUE(QFileInfo::exists(infos[2]->snapshotFileURL()));
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("SELECT count(*) FROM sequence;")), QStringList{QStringLiteral("0")});
}

TEST_F(MRKOPersistentTrashTest, RemovingTheLastEntryOfAGoneSequenceRemovesItsEmptyFolders)
{
    const auto infos = addShots(1);
    const std::shared_ptr<Sequence> live = roll().currentSnapshotsSequence();
    moveToBin(infos[0]);
    roll().setSequences({});
    roll().managedObjectContext()->deleteObject(live);
    ASSERT_TRUE(roll().saveAction());

    bin().removeSequencesAtIndexes({0});
    bin().waitForFileDeletions();

    EXPECT_FALSE(QFileInfo::exists(live->folderPath()));
    EXPECT_FALSE(QFileInfo::exists(live->folderCachePath()));
}

TEST_F(MRKOPersistentTrashTest, MovingToTheSystemTrashRenamesTheFileAfterTheShot)
{
    struct Row
    {
        const char *name;
        QString shot;
        QString trashed; // empty: the file stays
    };
    const std::vector<Row> rows = {
        {"Plain", QStringLiteral("Snapshot 4"), QStringLiteral("Snapshot 4.iksnapshot")},
        {"PathLike", QStringLiteral("../../x"), QStringLiteral("-..-x.iksnapshot")},
        {"NameTaken", QStringLiteral("Taken"), QString()},
    };
    const QString trashFiles = home() + QStringLiteral("/data/Trash/files/");
    log().expectWarning(QStringLiteral("cannot rename"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto infos = addShots(1, row.shot);
        const std::shared_ptr<SnapInfo> info = infos.front();
        info->setName(row.shot);
        const QString file = info->snapshotFileURL();
        if (row.trashed.isEmpty())
            writeFile(QDir(home()).relativeFilePath(QFileInfo(file).dir().filePath(QStringLiteral("Taken.iksnapshot"))),
                      "someone else's");
        moveToBin(info);

        bin().moveSequencesAtIndexesToBin({0});
        bin().waitForFileDeletions();

        if (row.trashed.isEmpty()) {
            EXPECT_TRUE(QFileInfo::exists(file)) << "a taken name leaves the file where it was";
            EXPECT_TRUE(log().contains(QStringLiteral("cannot rename")));
        } else {
            EXPECT_FALSE(QFileInfo::exists(file));
            EXPECT_TRUE(QFileInfo::exists(trashFiles + row.trashed));
            EXPECT_TRUE(QFileInfo::exists(home() + QStringLiteral("/data/Trash/info/") + row.trashed +
                                          QStringLiteral(".trashinfo")));
        }
        EXPECT_FALSE(bin().hasObjects());
    }
}
