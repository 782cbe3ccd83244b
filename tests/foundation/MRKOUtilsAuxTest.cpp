#include "foundation/MRKOUtilsAux.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Event.h"
#include "platform/fake/FakeSystemCursor.h"
#include "shortcuts/KQShortCut.h"
#include "tests/support/InkoraFixture.h"

#include <QFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The identity of the file that standard error writes to.
std::pair<dev_t, ino_t> standardErrorFile()
{
    struct stat info = {};
    ::fstat(STDERR_FILENO, &info);
    return {info.st_dev, info.st_ino};
}

void writeToStandardError(const char *text)
{
    std::fputs(text, stderr);
    std::fflush(stderr);
}

} // namespace

class MRKOUtilsAuxTest : public InkoraFixture
{
protected:
    void TearDown() override
    {
        MRKOUtilsAux::suspendLog(); // never leave standard error in a test's file
        InkoraFixture::TearDown();
    }

    void setLogSetting(bool on) { MRKOUtils::userDefaults().setBool(on, QStringLiteral("EnableLog")); }
};

TEST_F(MRKOUtilsAuxTest, LogGoesToDocumentsAndKeepsOnePreviousLog)
{
    const auto original = standardErrorFile();
    setLogSetting(true);

    MRKOUtilsAux::logIfNeeded();
    writeToStandardError("first run\n");
    MRKOUtilsAux::logIfNeeded(); // still on: a fresh log, the first one kept as backup
    writeToStandardError("second run\n");

    EXPECT_TRUE(MRKOUtilsAux::isLogging());
    EXPECT_EQ(contents(MRKOUtils::logPath()), QByteArray("second run\n"));
    EXPECT_EQ(contents(MRKOUtils::logBakPath()), QByteArray("first run\n"));
    EXPECT_NE(standardErrorFile(), original);
}

TEST_F(MRKOUtilsAuxTest, SwitchingTheLogOffGivesStandardErrorBackAndOnAgainWorks)
{
    const auto original = standardErrorFile();
    setLogSetting(true);
    MRKOUtilsAux::logIfNeeded();

    setLogSetting(false);
    MRKOUtilsAux::logIfNeeded();

    EXPECT_FALSE(MRKOUtilsAux::isLogging());
    EXPECT_EQ(standardErrorFile(), original);
    EXPECT_TRUE(contents(MRKOUtils::logPath()).contains("Suspend Log"));
    writeToStandardError("after the log\n");
    EXPECT_FALSE(contents(MRKOUtils::logPath()).contains("after the log"));

    setLogSetting(true);
    MRKOUtilsAux::logIfNeeded();
    writeToStandardError("back on\n");
    EXPECT_EQ(contents(MRKOUtils::logPath()), QByteArray("back on\n"));
    EXPECT_TRUE(contents(MRKOUtils::logBakPath()).contains("Suspend Log"));
}

TEST_F(MRKOUtilsAuxTest, LogOffAtBothReadsDoesNothing)
{
    const auto original = standardErrorFile();

    MRKOUtilsAux::logIfNeeded();

    EXPECT_FALSE(log().contains("Suspend Log"));
    EXPECT_FALSE(QFile::exists(MRKOUtils::logPath()));
    EXPECT_EQ(standardErrorFile(), original);
}

TEST_F(MRKOUtilsAuxTest, LogThatCannotBeOpenedLeavesStandardErrorAlone)
{
    const auto original = standardErrorFile();
    ASSERT_TRUE(QDir(home()).rmdir(QStringLiteral("Documents")));
    qputenv("XDG_DOCUMENTS_DIR", (home() + "/missing/Documents").toLocal8Bit());

    MRKOUtilsAux::logToDocumentsAndRefresh();

    EXPECT_FALSE(MRKOUtilsAux::isLogging());
    EXPECT_EQ(standardErrorFile(), original);
    MRKOUtilsAux::suspendLog(); // nothing redirected: nothing logged
    EXPECT_FALSE(log().contains("Suspend Log"));
}

TEST(MRKOUtilsAuxNamesTest, DrawToScreenMethodNames)
{
    EXPECT_EQ(MRKOUtilsAux::drawToScreenMethodToScrings(0), QStringLiteral("DataProvider"));
    EXPECT_EQ(MRKOUtilsAux::drawToScreenMethodToScrings(1), QStringLiteral("CreateImage"));
    EXPECT_EQ(MRKOUtilsAux::drawToScreenMethodToScrings(2), QStringLiteral("CopyDirtyPixels"));
    EXPECT_EQ(MRKOUtilsAux::drawToScreenMethodToScrings(3), QStringLiteral("Unknown DrawToScreenMethod"));
    inkora::liveSettings().drawToScreenMethod = 2;
    EXPECT_EQ(MRKOUtilsAux::drawToScreenMethodString(), QStringLiteral("CopyDirtyPixels"));
}

TEST(MRKOUtilsAuxTypingTest, TextTypingShortcuts)
{
    struct Row
    {
        const char *name;
        quint16 keyCode;
        quint64 flags;
        bool typing;
    };
    const std::vector<Row> rows = {
        {"CommandA", 0, 0x100000, true},
        {"ShiftCommandA", 0, 0x120000, false},
        {"PlainA", 0, 0, false},
        {"CommandX", 7, 0x100000, true},
        {"CommandC", 8, 0x100000, true},
        {"PlainDelete", 51, 0, true},
        {"CommandDelete", 51, 0x100000, true},
        {"OptionDelete", 51, 0x80000, false},
        {"PlainEquals", 24, 0, true},
        {"CommandEquals", 24, 0x100000, false},
        {"PlainGrave", 50, 0, true},
        {"PlainPeriod", 47, 0, true},
        {"PlainZ", 6, 0, false},
        {"F1", 122, 0, false},
        {"CapsLockSlash", 44, 0x10000, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MRKOUtilsAux::isTextTypingShortcut(row.keyCode, row.flags), row.typing);
    }
}

namespace {

class TypingDelegate final : public AppDelegate
{
public:
    bool isFirstResponderTextInput() const override { return typing; }
    bool typing = false;
};

} // namespace

TEST_F(MRKOUtilsAuxTest, ShortcutsTypingNeedsWaitWhileTextIsEdited)
{
    const auto selectAll = KQShortCut::shortCutWithKeyCode(0, 0x100000, nullptr, QStringLiteral("selectAll:"));
    const auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undo:"));
    EXPECT_TRUE(MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(*selectAll)); // no delegate

    TypingDelegate delegate;
    EXPECT_TRUE(MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(*selectAll));
    delegate.typing = true;
    EXPECT_FALSE(MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(*selectAll));
    EXPECT_TRUE(MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(*undo));

    platform::Event keyUp;
    keyUp.type = platform::EventType::KeyUp;
    keyUp.keyCode = 51;
    EXPECT_TRUE(MRKOUtilsAux::isTextTypingShortcut(keyUp));
    EXPECT_FALSE(MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(keyUp));
}

TEST_F(MRKOUtilsAuxTest, SystemCursorHidesAndShowsCountedAndLogsFailures)
{
    MRKOUtilsAux::hideSystemCursor();
    MRKOUtilsAux::hideSystemCursor();
    EXPECT_FALSE(MRKOUtilsAux::systemCursorIsVisible());
    MRKOUtilsAux::showSystemCursor();
    EXPECT_FALSE(MRKOUtilsAux::systemCursorIsVisible()); // one hide is still outstanding
    MRKOUtilsAux::showSystemCursor();
    EXPECT_TRUE(MRKOUtilsAux::systemCursorIsVisible());

    fakes().systemCursor->setError(5);
    log().expectWarning(QStringLiteral("Unable to hide cursor 5"));
    log().expectWarning(QStringLiteral("Unable to show cursor 5"));
    MRKOUtilsAux::hideSystemCursor();
    MRKOUtilsAux::showSystemCursor();
    EXPECT_EQ(log().count(QStringLiteral("Unable to hide cursor 5")), 1);
    EXPECT_EQ(log().count(QStringLiteral("Unable to show cursor 5")), 1);
}
