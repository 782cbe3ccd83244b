#include "tests/support/Screenshot.h"

#include <QProcess>

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
