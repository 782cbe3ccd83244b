#include "helper/AppDelegate.h"

#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>

#include <unistd.h>

class AppDelegateTest : public InkoraFixture
{
};

TEST_F(AppDelegateTest, MainProgramLiesFourFoldersAboveTheHelperBundle)
{
    struct Row
    {
        const char *helper;
        const char *main;
    };
    const Row rows[] = {
        {"/opt/Inkora/Contents/Library/LoginItems/InkoraHelper/Contents/MacOS/InkoraHelper", "/opt/Inkora"},
        {"/home/u/My Apps/Inkora/Contents/Library/LoginItems/InkoraHelper/Contents/MacOS/InkoraHelper",
         "/home/u/My Apps/Inkora"},
        // Outside a bundle the path is worked out all the same; opening it fails later.
        {"/usr/local/bin/InkoraHelper", "/"},
        {"/a/b/c/d/e/f/g/h/InkoraHelper", "/a/b"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.helper);
        EXPECT_EQ(helper::AppDelegate::mainApplicationPath(QString::fromUtf8(row.helper)).toStdString(), row.main);
    }
}

TEST_F(AppDelegateTest, VersionReplyNamesTheVersionOrTheAbsentValue)
{
    helper::AppDelegate delegate(QDBusConnection(QStringLiteral("none")), QString(), ::getuid());
    QStringList replies;
    const auto reply = [&](const QString &text) { replies.append(text); };

    delegate.getVersionWithReply(reply);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.5.1"));
    delegate.getVersionWithReply(reply);
    QCoreApplication::setApplicationVersion(QString());

    EXPECT_EQ(replies, (QStringList{QStringLiteral("Inkora Helper Version: (null)"),
                                    QStringLiteral("Inkora Helper Version: 2.5.1")}));
}
