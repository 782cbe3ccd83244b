#include "foundation/NSCursor+Resize.h"
#include "platform/ImageLoader.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <optional>

namespace Resize {

namespace {

// Hot spots in points from the top left; a negative one means the middle of the image.
QCursor makeCursor(const QString &name, QPointF hotSpot)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QImage image = platform::ImageLoader::namedImage(name, screen ? screen->devicePixelRatio() : 1.0);
    if (image.isNull())
        return QCursor(Qt::ArrowCursor); // the loader has said which image is missing
    const QPixmap pixmap = QPixmap::fromImage(image);
    const QSizeF size = pixmap.deviceIndependentSize();
    const QPointF hot = hotSpot.x() < 0 ? QPointF(size.width() / 2, size.height() / 2) : hotSpot;
    // The X11 cursor takes its hot spot in the image's own pixels, so a 2x image needs it scaled too.
    const double ratio = pixmap.devicePixelRatio();
    return QCursor(pixmap, int(hot.x() * ratio), int(hot.y() * ratio));
}

const QCursor &cached(std::optional<QCursor> &slot, const char *name, QPointF hotSpot)
{
    if (!slot)
        slot = makeCursor(QString::fromLatin1(name), hotSpot);
    return *slot;
}

constexpr QPointF kMiddle(-1, -1);

} // namespace

const QCursor &scissors()
{
    static std::optional<QCursor> cursor;
    return cached(cursor, "MRKOScissorsCursor", kMiddle);
}

const QCursor &scissorsCut()
{
    static std::optional<QCursor> cursor;
    return cached(cursor, "MRKOScissorsCutCursor", kMiddle);
}

const QCursor &brushCursor()
{
    static std::optional<QCursor> cursor;
    return cached(cursor, "MRKOBrushCursor", QPointF(3, 2));
}

const QCursor &eraserCursor()
{
    static std::optional<QCursor> cursor;
    return cached(cursor, "MRKOEraserCursor", QPointF(5, 5));
}

const QCursor &textChangeCursor()
{
    static std::optional<QCursor> cursor;
    return cached(cursor, "MRKOTextCursor", kMiddle);
}

} // namespace Resize
