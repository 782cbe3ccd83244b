#include "foundation/MRKOUtils.h"
#include "tests/support/InkoraFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

class AppFoldersTest : public InkoraFixture
{
protected:
    void touch(const QString &path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QString support() const { return home() + QStringLiteral("/data/com.Inkora.Inkora"); }
};

TEST_F(AppFoldersTest, FoldersFollowThePersistenceLayout)
{
    EXPECT_EQ(MRKOUtils::applicationSupportDir(), support());
    EXPECT_TRUE(QFileInfo(support()).isDir());

    struct Row
    {
        const char *name;
        QString url;
        QString dir;
        QString expected;
    };
    // The URL alone never creates its folder; the folder method does.
    const std::vector<Row> rows = {
        {"snapshots", MRKOUtils::snapshotsURL(), {}, support() + "/Snapshots"},
        {"dazadUdizs", MRKOUtils::dazadUdizsURL(), {}, support() + "/DazadUdizs"},
        {"trash", MRKOUtils::trashURL(), {}, support() + "/Trash"},
        {"presets", MRKOUtils::presetsURL(), {}, support() + "/Presets"},
        {"shortcutPresets", MRKOUtils::shortcutPresetsURL(), {}, support() + "/Presets/Shortcuts"},
        {"snapshotsCache", MRKOUtils::snapshotsCacheURL(), {}, home() + "/cache/com.Inkora.Inkora/Snapshots"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.url, row.expected);
        EXPECT_FALSE(QFileInfo::exists(row.expected));
    }
    EXPECT_EQ(MRKOUtils::shortcutPresetsDir(), support() + "/Presets/Shortcuts");
    EXPECT_EQ(MRKOUtils::trashDir(), support() + "/Trash");
    EXPECT_EQ(MRKOUtils::snapshotsCacheDir(), home() + "/cache/com.Inkora.Inkora/Snapshots");
    for (const QString &made :
         {support() + "/Presets/Shortcuts", support() + "/Trash", home() + "/cache/com.Inkora.Inkora/Snapshots"})
        EXPECT_TRUE(QFileInfo(made).isDir()) << qPrintable(made);

    EXPECT_EQ(MRKOUtils::sequencesDBURL(), support() + "/Sequences.db");
    EXPECT_EQ(MRKOUtils::trashDBURL(), support() + "/Trash.db");
    EXPECT_EQ(MRKOUtils::cachesDir(), home() + "/cache/com.Inkora.Inkora");
    EXPECT_EQ(MRKOUtils::appDocumentsDir(), home() + "/Documents");
    EXPECT_EQ(MRKOUtils::sequenceDirWithType(5), support() + "/Snapshots");
    EXPECT_EQ(MRKOUtils::sequenceDirWithType(1), support() + "/DazadUdizs");
}

TEST_F(AppFoldersTest, TemporaryFolderIsMadeOncePerRunAndRemoved)
{
    EXPECT_FALSE(MRKOUtils::isTempDirExists());
    MRKOUtils::removeTempDir(); // nothing made yet: nothing happens

    const QString temp = MRKOUtils::tempDir();
    EXPECT_TRUE(temp.startsWith(home() + "/tmp/"));
    EXPECT_TRUE(QFileInfo(temp).isDir());
    EXPECT_EQ(MRKOUtils::tempDir(), temp);
    EXPECT_TRUE(MRKOUtils::isTempDirExists());
    touch(temp + "/leftover.png");

    MRKOUtils::removeTempDir();

    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_FALSE(MRKOUtils::isTempDirExists());
}

TEST_F(AppFoldersTest, FolderThatCannotBeMadeIsLoggedAndRetriedLater)
{
    // A file where the program's folder belongs.
    touch(support());
    log().expectWarning("Error creating folder \"com.Inkora.Inkora\"");

    EXPECT_TRUE(MRKOUtils::applicationSupportDir().isNull());
    EXPECT_TRUE(MRKOUtils::snapshotsDir().isNull());
    EXPECT_TRUE(MRKOUtils::snapshotsURL().isNull());

    ASSERT_TRUE(QFile::remove(support()));
    EXPECT_EQ(MRKOUtils::applicationSupportDir(), support());
}

TEST_F(AppFoldersTest, FreeFileNamesCountUpFromOne)
{
    const QString folder = home() + "/Documents";
    const QString elsewhere = home() + "/tmp";

    // A path with nothing there is returned unchanged, whatever folder is given.
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(elsewhere + "/a.png", folder), elsewhere + "/a.png");

    touch(folder + "/a.png");
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(folder + "/a.png", folder), folder + "/a (1).png");
    touch(folder + "/a (1).png");
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(folder + "/a.png", folder), folder + "/a (2).png");

    // Without an extension there is no trailing dot; a leading dot starts no extension.
    touch(folder + "/notes");
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(folder + "/notes", folder), folder + "/notes (1)");
    touch(folder + "/.hidden");
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(folder + "/.hidden", folder), folder + "/.hidden (1)");

    // A link to nothing still holds its name: writing there would follow it.
    ASSERT_TRUE(QFile::link(home() + "/nowhere.png", folder + "/c.png"));
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolder(folder + "/c.png", folder), folder + "/c (1).png");
}

TEST_F(AppFoldersTest, FuturePathsCountAsTakenAndTheCounterEndsInAUniqueName)
{
    const QString folder = home() + "/Documents";

    // The future-paths form never hands back the path itself when it is listed.
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolderFuturePaths(folder + "/b.pdf", folder, {folder + "/b.pdf"}),
              folder + "/b (1).pdf");
    EXPECT_EQ(MRKOUtils::uniqueFilePathWithPathFolderFuturePaths(folder + "/b.pdf", folder, {}), folder + "/b.pdf");

    // With the name and the numbers 1 to 9999 taken, the name carries a unique string instead of 10000.
    QStringList taken = {folder + "/b.pdf"};
    for (int n = 1; n <= 9999; ++n)
        taken << QStringLiteral("%1/b (%2).pdf").arg(folder).arg(n);
    const QString unique = MRKOUtils::uniqueFilePathWithPathFolderFuturePaths(folder + "/b.pdf", folder, taken);
    EXPECT_TRUE(unique.startsWith(folder + "/b (")) << qPrintable(unique);
    EXPECT_TRUE(unique.endsWith(").pdf"));
    EXPECT_FALSE(taken.contains(unique));
    EXPECT_NE(unique, folder + "/b (10000).pdf");
}

TEST_F(AppFoldersTest, RemovingContentRemovesFilesAndFolders)
{
    const QString folder = home() + "/Documents/old";
    ASSERT_TRUE(QDir().mkpath(folder + "/inner"));
    touch(folder + "/inner/x.png");

    MRKOUtils::removeContentAtURLIfNeeded(folder);
    MRKOUtils::removeContentAtURLIfNeeded(folder); // nothing there any more: nothing happens

    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(AppFoldersTablesTest, SequenceNamesAndExtensions)
{
    struct Row
    {
        qint64 type;
        const char *sequence;
        const char *title;
    };
    for (const Row row :
         {Row{0, "Snapshots", "Snapshots"}, Row{1, "DazadUdizs", "DazadUdizs"}, Row{2, "Trash", "Recently Deleted"},
          Row{5, "Snapshots", "Snapshots"}, Row{-1, "Snapshots", "Snapshots"}}) {
        SCOPED_TRACE(row.type);
        EXPECT_EQ(MRKOUtils::sequenceNameWithType(row.type), QLatin1String(row.sequence));
        EXPECT_EQ(MRKOUtils::shotsViewNameWithType(row.type), QLatin1String(row.title));
    }
    EXPECT_EQ(MRKOUtils::sequenceTypeWithName(QStringLiteral("Trash")), 2);
    EXPECT_EQ(MRKOUtils::sequenceTypeWithName(QStringLiteral("DazadUdizs")), 1);
    EXPECT_EQ(MRKOUtils::sequenceTypeWithName(QStringLiteral("Recently Deleted")), 0);

    const char *exports[] = {"psd", "png", "pdf", "psd", "png", "pdf", "pdf", "pdf", "png", "png"};
    for (qint64 method = 0; method < 10; ++method)
        EXPECT_EQ(MRKOUtils::extentionWithExportMethod(method), QLatin1String(exports[method])) << method;
    EXPECT_EQ(MRKOUtils::extentionWithGraphicFormat(0), QStringLiteral("png"));
    EXPECT_EQ(MRKOUtils::extentionWithGraphicFormat(1), QStringLiteral("psd"));
    EXPECT_EQ(MRKOUtils::extentionWithGraphicFormat(2), QStringLiteral("pdf"));
    EXPECT_EQ(MRKOUtils::extentionWithGraphicFormat(3), QStringLiteral("png"));
}

TEST_F(AppFoldersTest, SafeFileNamesCannotLeaveTheFolderAndFitTheFileSystem)
{
    struct Row
    {
        const char *name;
        QString given;
        QString expected;
    };
    const std::vector<Row> rows = {
        {"Plain", QStringLiteral("Snapshot 4"), QStringLiteral("Snapshot 4.iksnapshot")},
        {"PathLike", QStringLiteral("../../x"), QStringLiteral("-..-x.iksnapshot")},
        {"Hidden", QStringLiteral(".profile"), QStringLiteral("profile.iksnapshot")},
        {"Nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("a-b.iksnapshot")},
        {"Empty", QString(), QStringLiteral("Snapshot.iksnapshot")},
        {"OnlyDots", QStringLiteral("..."), QStringLiteral("Snapshot.iksnapshot")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MRKOUtils::safeFileName(row.given, QStringLiteral("iksnapshot"), QStringLiteral("Snapshot")),
                  row.expected);
    }
    EXPECT_EQ(MRKOUtils::safeFileName(QStringLiteral("x"), QString(), QStringLiteral("DazadUdiz")),
              QStringLiteral("x"));

    // Long names are cut between characters, leaving room for " (10000)" and the extension in 255 bytes.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // four bytes, two UTF-16 units
    const QString cut = MRKOUtils::safeFileName(emoji.repeated(100), QStringLiteral("iksnapshot"), QStringLiteral("S"));
    EXPECT_LE(cut.toUtf8().size() + 8, 255);
    EXPECT_GT(cut.toUtf8().size() + 8, 255 - 4);
    EXPECT_TRUE(cut.endsWith(emoji + QStringLiteral(".iksnapshot"))) << "no half character";
}
