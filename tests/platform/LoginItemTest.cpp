#include "platform/LoginItem.h"

#include "platform/HelperLink.h"
#include "platform/linux/DBusHelperLink.h"
#include "tests/support/InkoraFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// A program that appends `word` to `marker` when it runs.
void writeProgram(const QString &path, const QString &marker, const QString &word)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\necho %1 >> '%2'\n").arg(word, marker).toUtf8());
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class LoginItemTest : public InkoraFixture
{
protected:
    QString autostartFile() const
    {
        return home() + QStringLiteral("/config/autostart/com.Inkora.InkoraHelper.desktop");
    }
};

TEST_F(LoginItemTest, DesktopFileStartsTheProgramWhateverItsPathHolds)
{
    // GLib's reader stands in for the session's autostart: it must find and start the very program.
    struct Row
    {
        const char *name;
        const char *folder;
    };
    const Row rows[] = {
        {"Plain", "plain"},     {"Space", "with space"}, {"Dollar", "cost$HOME"},
        {"Quote", "say\"hi\""}, {"Backslash", "a\\b"},   {"Backtick", "tick`id`"},
    };
    const QString marker = home() + QStringLiteral("/marker");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString program = home() + QLatin1Char('/') + QString::fromUtf8(row.folder) + QStringLiteral("/prog");
        writeProgram(program, marker, QString::fromLatin1(row.name));
        platform::LoginItem item(QStringLiteral("com.Inkora.InkoraHelper"), program);
        QString error;
        ASSERT_TRUE(item.setEnabled(true, &error)) << error.toStdString();
        ASSERT_EQ(item.filePath(), autostartFile());
        EXPECT_TRUE(QFile::exists(autostartFile()));

        QProcess gio;
        gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), item.filePath()});
        ASSERT_TRUE(gio.waitForFinished(10000));
        ASSERT_EQ(gio.exitCode(), 0) << gio.readAllStandardError().constData();
        EXPECT_TRUE(QTest::qWaitFor([&] { return readFile(marker).contains(QString::fromLatin1(row.name)); }, 10000));
    }
    EXPECT_TRUE(readFile(autostartFile()).contains(QStringLiteral("\nName=prog\n")));
}

TEST_F(LoginItemTest, PercentSignIsDoubledInTheExecLine)
{
    const QString program = home() + QStringLiteral("/100%/prog");
    writeProgram(program, home() + QStringLiteral("/marker"), QStringLiteral("x"));
    platform::LoginItem item(QStringLiteral("com.Inkora.InkoraHelper"), program);
    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_TRUE(
        readFile(autostartFile()).contains(QStringLiteral("Exec=\"") + home() + QStringLiteral("/100%%/prog\"\n")));
}

TEST_F(LoginItemTest, RefusesWhatCannotBeStartedAndKeepsNoFile)
{
    struct Row
    {
        const char *name;
        QString program;
        bool create;
        const char *reason;
    };
    const Row rows[] = {
        {"Missing", home() + QStringLiteral("/nowhere/prog"), false, "no program at"},
        {"Folder", home(), false, "no program at"},
        {"LineBreak", home() + QStringLiteral("/two\nlines/prog"), true, "line break"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.create)
            writeProgram(row.program, home() + QStringLiteral("/marker"), QStringLiteral("x"));
        platform::LoginItem item(QStringLiteral("com.Inkora.InkoraHelper"), row.program);
        QString error;
        EXPECT_FALSE(item.setEnabled(true, &error));
        EXPECT_TRUE(error.contains(QString::fromLatin1(row.reason))) << error.toStdString();
        EXPECT_FALSE(QFile::exists(autostartFile()));
    }
}

TEST_F(LoginItemTest, DisablingRemovesTheFileAndSucceedsWhenThereIsNone)
{
    const QString program = home() + QStringLiteral("/bin/prog");
    writeProgram(program, home() + QStringLiteral("/marker"), QStringLiteral("x"));
    platform::LoginItem item(QStringLiteral("com.Inkora.InkoraHelper"), program);
    ASSERT_TRUE(item.setEnabled(true));
    ASSERT_TRUE(QFile::exists(autostartFile()));

    EXPECT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(QFile::exists(autostartFile()));
    EXPECT_TRUE(item.setEnabled(false));
}

TEST_F(LoginItemTest, BundlePathsFollowTheBundleLayout)
{
    EXPECT_EQ(platform::bundlePathForExecutable(QStringLiteral("/opt/Inkora/Contents/MacOS/Inkora")),
              QStringLiteral("/opt/Inkora"));
    EXPECT_EQ(platform::executableForBundle(QStringLiteral("/opt/Inkora/")),
              QStringLiteral("/opt/Inkora/Contents/MacOS/Inkora"));
    EXPECT_EQ(platform::executableForBundle(QStringLiteral("/opt/Inkora/Contents/Library/LoginItems/InkoraHelper")),
              QStringLiteral("/opt/Inkora/Contents/Library/LoginItems/InkoraHelper/Contents/MacOS/InkoraHelper"));
}

TEST_F(LoginItemTest, SessionLinkRegistersTheHelperInsideTheMainBundle)
{
    const QString bundle = home() + QStringLiteral("/Apps/Inkora");
    const QString helper =
        bundle + QStringLiteral("/Contents/Library/LoginItems/InkoraHelper/Contents/MacOS/InkoraHelper");
    writeProgram(helper, home() + QStringLiteral("/marker"), QStringLiteral("x"));
    platform::DBusHelperLink link(bundle + QStringLiteral("/Contents/MacOS/Inkora"));

    QString error;
    ASSERT_TRUE(link.setLoginItemEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(readFile(autostartFile()).contains(QStringLiteral("Exec=\"") + helper + QStringLiteral("\"\n")));
    ASSERT_TRUE(link.setLoginItemEnabled(false, &error));
    EXPECT_FALSE(QFile::exists(autostartFile()));

    // A main program without its helper cannot register it.
    QFile::remove(helper);
    EXPECT_FALSE(link.setLoginItemEnabled(true, &error));
    EXPECT_TRUE(error.contains(helper)) << error.toStdString();
}
