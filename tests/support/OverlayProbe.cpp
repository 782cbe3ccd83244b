#include "tests/support/OverlayProbe.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

bool overlayVisible()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), QStringLiteral("^Inkora$")});
    return search.waitForFinished(10000) && search.exitStatus() == QProcess::NormalExit && search.exitCode() == 0;
}

bool showOverlayByShortcut(int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (overlayVisible())
            return true;
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+alt+d")});
        QDeadlineTimer deadline(6000);
        while (!deadline.hasExpired()) {
            if (overlayVisible())
                return true;
            QTest::qWait(200);
        }
    }
    return overlayVisible();
}
