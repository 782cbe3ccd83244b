#include "tests/support/Screenshot.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>

QImage screenshot()
{
    QProcess import;
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    if (!import.waitForFinished(20000) || import.exitCode() != 0)
        return QImage();
    return QImage::fromData(import.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

QColor screenshotPixel(const QImage &image, int x, int y)
{
    if (image.isNull() || !image.valid(x, y))
        return QColor();
    return QColor(image.pixel(x, y));
}

QImage screenshotWhileDraggingDiagonally(int from, int to, int probe, const QColor &colour)
{
    QStringList drag = {QStringLiteral("mousemove"), QStringLiteral("--sync"),    QString::number(from),
                        QString::number(from),       QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int p = from + 20; p <= to; p += 20)
        drag << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p) << QString::number(p);
    QProcess dragging;
    QProcess release;
    QImage shot;
    bool done = false;
    // Bounded by time rather than tries: on a busy machine one screenshot alone may take a second.
    QDeadlineTimer giveUp;
    QTimer poll;
    poll.setSingleShot(true);
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        shot = screenshot();
        if (screenshotPixel(shot, probe, probe) != colour && !giveUp.hasExpired()) {
            poll.start();
            return;
        }
        release.start(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
        release.waitForFinished(20000);
        done = true;
    });
    QObject::connect(&dragging, &QProcess::finished, [&] {
        giveUp.setRemainingTime(20000);
        poll.start();
    });
    dragging.start(QStringLiteral("xdotool"), drag);
    if (!QTest::qWaitFor([&] { return done; }, 120000))
        return QImage();
    return shot;
}
