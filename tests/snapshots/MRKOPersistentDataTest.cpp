#include "snapshots/MRKOPersistentData.h"

#include "platform/fake/FakeAlerts.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

class MRKOPersistentDataTest : public SnapshotsFixture
{
protected:
    static MRKOPersistentData &roll() { return MRKOPersistentData::sharedData(); }
    static QStringList names(const std::vector<std::shared_ptr<SnapInfo>> &infos)
    {
        QStringList out;
        for (const auto &info : infos)
            out << info->name();
        return out;
    }
};

TEST_F(MRKOPersistentDataTest, TheFirstShotMakesOneSnapshotsSequenceInADeleteJournalStore)
{
    const std::shared_ptr<SnapInfo> info =
        roll().addSnapshotForSequenceType(smallShot(QStringLiteral("Snapshot 1")), 0);
    ASSERT_TRUE(info);
    settleWrites();

    ASSERT_EQ(roll().sequences().size(), 1u);
    const std::shared_ptr<Sequence> sequence = roll().sequences().front();
    EXPECT_EQ(sequence->name(), QStringLiteral("Snapshots Sequence"));
    EXPECT_EQ(sequence->parentFolder(), QStringLiteral("Snapshots"));
    EXPECT_TRUE(QFileInfo(dataFolder() + QStringLiteral("/Snapshots/") + sequence->foldername()).isDir());
    EXPECT_TRUE(MRKOSnapshot::snapshotWithContentsOfFile(info->snapshotFileURL()));
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("PRAGMA journal_mode;")), QStringList{QStringLiteral("delete")});
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("PRAGMA user_version;")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("PRAGMA user_version;")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT s.name, i.name, i.position FROM snap_info i JOIN sequence s "
                                                "ON s.id = i.sequence_id;")),
              QStringList{QStringLiteral("Snapshots Sequence|Snapshot 1|0")});
}

TEST_F(MRKOPersistentDataTest, NewShotsStandFirstAndKeepTheirOrderInTheStore)
{
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("A")), 0);
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("B")), 0);
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("C"), true), 1);
    settleWrites();

    EXPECT_EQ(names(roll().items()), (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_EQ(names(roll().dazadUdizsItems()), QStringList{QStringLiteral("C")});
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT i.name, i.position FROM snap_info i JOIN sequence s ON "
                                                "s.id = i.sequence_id WHERE s.parent_folder = 'Snapshots' ORDER BY "
                                                "position;")),
              (QStringList{QStringLiteral("B|0"), QStringLiteral("A|1")}));
}

TEST_F(MRKOPersistentDataTest, KindsAndCurrentSequences)
{
    EXPECT_EQ(roll().arrayForSequenceType(2), nullptr);
    const std::shared_ptr<Sequence> snapshots = roll().currentSequenceWithSequenceType(2);
    ASSERT_TRUE(snapshots);
    EXPECT_EQ(snapshots->parentFolder(), QStringLiteral("Snapshots"));
    const std::shared_ptr<Sequence> second = roll().addNewSequenceWithType(0);
    roll().setSnapshotSequenceIndex(1);
    EXPECT_EQ(roll().currentSnapshotsSequence(), second);
    roll().setSnapshotSequenceIndex(2);
    EXPECT_EQ(roll().currentSnapshotsSequence(), snapshots) << "an index beyond the sequences gives the first";
}

TEST_F(MRKOPersistentDataTest, StoredRowsReadBackWithTheirKindOrderAndSafety)
{
    // Written by hand: a lower-case kind, a NULL name, duplicate and gapped positions, and names no path may use.
    QDir().mkpath(dataFolder());
    makeStore(rollPath(),
              QStringLiteral("INSERT INTO sequence (id, name, date, foldername, parent_folder) VALUES "
                             "(1, 'Snapshots Sequence', 1000, 'F1', 'snapshots'), (2, 'Evil', 900, '..', 'Snapshots'),"
                             " (3, 'Evil too', 800, 'F3', 'Snap/shots');"
                             "INSERT INTO snap_info (id, sequence_id, position, name, filename) VALUES "
                             "(10, 1, 0, 'first', 'a'), (11, 1, 0, NULL, 'b'), (12, 1, 5, 'third', 'c'),"
                             " (13, 1, 6, 'escape', '../x'), (14, 2, 0, 'hidden', 'd');"));
    log().expectWarning(QStringLiteral("names no usable"));

    ASSERT_EQ(roll().sequences().size(), 1u) << "the lower-case kind is a Snapshots sequence; unsafe folders skipped";
    EXPECT_EQ(names(roll().items()), (QStringList{QStringLiteral("first"), QString(), QStringLiteral("third")}));
    EXPECT_EQ(log().count(QStringLiteral("names no usable")), 3) << "one line per skipped row";

    ASSERT_TRUE(roll().saveAction());
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT id, position FROM snap_info WHERE sequence_id = 1 AND id < "
                                                "13 ORDER BY id;")),
              (QStringList{QStringLiteral("10|0"), QStringLiteral("11|1"), QStringLiteral("12|2")}))
        << "positions are written anew at the next save";
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT count(*) FROM snap_info;")), QStringList{QStringLiteral("5")})
        << "skipped rows stay untouched";
}

TEST_F(MRKOPersistentDataTest, ADamagedStoreIsSetAsideByteForByteAndANewOneStarts)
{
    QDir().mkpath(dataFolder());
    QString values;
    for (int i = 0; i < 200; ++i)
        values += QStringLiteral("%1(%2, 1, %2, 'shot %2 %3', 'f%2')").arg(i ? "," : "").arg(i).arg(QString(60, 'x'));
    makeStore(rollPath(), QStringLiteral("INSERT INTO sequence VALUES (1, 'S', 1, 'F', 'Snapshots', 0, 0, NULL, NULL, "
                                         "0); INSERT INTO snap_info (id, sequence_id, position, name, filename) "
                                         "VALUES %1;")
                              .arg(values));
    QFile file(rollPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_GT(file.size(), 3 * 4096);
    file.seek(4096);
    file.write(QByteArray(4096, char(0xA5)));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray damaged = file.readAll();
    file.close();
    log().expectWarning(QStringLiteral("Unresolved error"));

    const std::shared_ptr<SnapInfo> info = roll().addSnapshotForSequenceType(smallShot(QStringLiteral("new")), 0);
    settleWrites();

    const QStringList aside = QDir(dataFolder()).entryList({QStringLiteral("Sequences.db.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QDir(dataFolder()).filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged) << "byte for byte";
    ASSERT_EQ(fakes().alerts->errors.size(), 1);
    const platform::ErrorReport &error = fakes().alerts->errors.first();
    EXPECT_EQ(error.code, 9999);
    EXPECT_EQ(error.description, QStringLiteral("Failed to initialize the application's saved data"));
    EXPECT_EQ(
        error.failureReason,
        QStringLiteral("The saved data in “%1” is damaged and was moved to “%2”.").arg(rollPath(), kept.fileName()));
    ASSERT_TRUE(info);
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT name FROM snap_info;")), QStringList{QStringLiteral("new")});
}

TEST_F(MRKOPersistentDataTest, AFileThatIsNoDatabaseIsSetAsideToo)
{
    QDir().mkpath(dataFolder());
    const QByteArray noise = QByteArray("not a database at all ").repeated(300);
    writeFile(QStringLiteral("data/com.Inkora.Inkora/Trash.db"), noise);
    log().expectWarning(QStringLiteral("Unresolved error"));

    EXPECT_FALSE(MRKOPersistentTrash::sharedTrash().hasObjects());
    ASSERT_NE(MRKOPersistentTrash::sharedTrash().managedObjectContext(), nullptr);

    const QStringList aside = QDir(dataFolder()).entryList({QStringLiteral("Trash.db.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QDir(dataFolder()).filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), noise);
    ASSERT_EQ(fakes().alerts->errors.size(), 1);
    EXPECT_EQ(fakes().alerts->errors.first().code, 9999);
}

TEST_F(MRKOPersistentDataTest, AStoreOfANewerVersionIsLeftUntouched)
{
    QDir().mkpath(dataFolder());
    makeStore(rollPath(), QStringLiteral("PRAGMA user_version = 7;"));
    QFile file(rollPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    log().expectWarning(QStringLiteral("Unresolved error"));
    log().expectWarning(QStringLiteral("addSnapshot: Sequence can't be nil"));

    EXPECT_EQ(roll().managedObjectContext(), nullptr);
    EXPECT_FALSE(roll().addSnapshotForSequenceType(smallShot(QStringLiteral("lost?")), 0));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_TRUE(QDir(dataFolder()).entryList({QStringLiteral("*.damaged-*")}).isEmpty());
    ASSERT_EQ(fakes().alerts->errors.size(), 1);
    EXPECT_EQ(fakes().alerts->errors.first().code, 9999);
    EXPECT_TRUE(fakes().alerts->errors.first().failureReason.contains(QStringLiteral("newer version")));
}

TEST_F(MRKOPersistentDataTest, AFailedSaveAtQuitAsksWhetherToQuitAnyway)
{
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("kept")), 0);
    settleWrites();
    // Another writer makes every new record fail, as a full disk would.
    (void)sqlite(rollPath(), QStringLiteral("CREATE TRIGGER no_room BEFORE INSERT ON snap_info BEGIN SELECT "
                                            "RAISE(ABORT, 'database or disk is full'); END;"));
    log().expectWarning(QStringLiteral("could not be saved"));
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("unsaved")), 0);
    settleWrites();
    fakes().alerts->errors.clear();
    fakes().alerts->alerts.clear();

    struct Row
    {
        const char *name;
        int answer;
        bool quits;
    };
    for (const Row row : {Row{"Cancel", platform::Alerts::kFirstButton + 1, false},
                          Row{"QuitAnyway", platform::Alerts::kFirstButton, true}}) {
        SCOPED_TRACE(row.name);
        fakes().alerts->answer = row.answer;
        EXPECT_EQ(roll().applicationShouldTerminate(), row.quits);
        ASSERT_FALSE(fakes().alerts->alerts.isEmpty());
        const platform::AlertContent &alert = fakes().alerts->alerts.last();
        EXPECT_EQ(alert.message, QStringLiteral("Could not save changes while quitting. Quit anyway?"));
        EXPECT_EQ(alert.informativeText,
                  QStringLiteral("Quitting now will lose any changes you have made since the last successful save"));
        EXPECT_EQ(alert.buttons, (QStringList{QStringLiteral("Quit anyway"), QStringLiteral("Cancel")}));
        EXPECT_TRUE(fakes().alerts->errors.last().failureReason.contains(QStringLiteral("disk is full")));
    }
    fakes().alerts->errorDealtWith = true;
    const int alerts = int(fakes().alerts->alerts.size());
    EXPECT_FALSE(roll().applicationShouldTerminate()) << "an error dealt with cancels the quit without asking";
    EXPECT_EQ(fakes().alerts->alerts.size(), alerts);
}

TEST_F(MRKOPersistentDataTest, AShotWhoseFileCannotBeWrittenIsDroppedAndTheUserToldOnce)
{
    roll().addSnapshotForSequenceType(smallShot(QStringLiteral("first")), 0);
    settleWrites();
    const std::shared_ptr<Sequence> sequence = roll().currentSnapshotsSequence();
    const QString folder = dataFolder() + QStringLiteral("/Snapshots/") + sequence->foldername();
    // The folder turns into a file: nothing can be written into it.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    writeFile(QStringLiteral("data/com.Inkora.Inkora/Snapshots/") + sequence->foldername(), "in the way");
    log().expectWarning(QStringLiteral("cannot write"));
    log().expectWarning(QStringLiteral("Error creating folder"));
    log().expectWarning(QStringLiteral("could not be written"));
    std::vector<std::shared_ptr<SnapInfo>> dropped;
    roll().setWriteFailureHandler([&](const std::shared_ptr<SnapInfo> &info) { dropped.push_back(info); });

    const std::shared_ptr<SnapInfo> info = roll().addSnapshotForSequenceType(smallShot(QStringLiteral("second")), 0);
    ASSERT_TRUE(info);
    const QString cacheKeyPath =
        sequence->folderPath() + QStringLiteral("/") + info->filename() + QStringLiteral(".iksnapshot");
    settleWrites();

    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped.front(), info);
    EXPECT_EQ(names(roll().items()), QStringList{QStringLiteral("first")});
    EXPECT_FALSE(MRKOSnapshotCache::sharedCache().containsURL(cacheKeyPath));
    ASSERT_EQ(fakes().alerts->alerts.size(), 1);
    EXPECT_EQ(fakes().alerts->alerts.first().message, QStringLiteral("The snapshot “second” could not be saved."));
    EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT name FROM snap_info;")), QStringList{QStringLiteral("first")});
    EXPECT_TRUE(log().contains(QStringLiteral("could not be written")));
}
