#include "app/StatusBarImages.h"

#include "foundation/InkoraLog.h"

#include <QPainter>
#include <QPainterPath>

namespace inkora {

namespace {

constexpr int kSide = 22;      // points
constexpr double kScale = 2;   // pixels per point
const QColor kInk(40, 40, 40); // dark enough for light panels; tray hosts of dark panels draw it as given

enum Decoration : int { None = 0, Filled = 1, Pin = 2, Air = 4 };

QImage blank()
{
    QImage image(int(kSide * kScale), int(kSide * kScale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(kScale);
    return image;
}

// A pen nib leaning to the right: the program's mark. Shown states fill it.
QImage icon(int decoration)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath nib;
    nib.moveTo(6, 18);
    nib.lineTo(7.5, 12.5);
    nib.lineTo(15, 5);
    nib.lineTo(19, 9);
    nib.lineTo(11.5, 16.5);
    nib.closeSubpath();
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(decoration & Filled ? QBrush(kInk) : Qt::NoBrush);
    p.drawPath(nib);
    if (decoration & Pin) {
        // A small ring at the upper left: clicks pass through.
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(5.5, 5.5), 3, 3);
    }
    if (decoration & Air) {
        // Two arcs at the lower right: the phone remote.
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(13, 13, 6, 6), -30 * 16, 150 * 16);
        p.drawArc(QRectF(11, 11, 10, 10), -30 * 16, 150 * 16);
    }
    return image;
}

QImage dot(const QColor &colour)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(colour);
    p.drawEllipse(QPointF(18, 18), 3.2, 3.2);
    return image;
}

} // namespace

QImage statusBarImage(const QString &name)
{
    if (name == QLatin1String("MRKOStatusBar"))
        return icon(None);
    if (name == QLatin1String("MRKOStatusBarActive"))
        return icon(Filled);
    if (name == QLatin1String("MRKOStatusBarInactivePin"))
        return icon(Pin);
    if (name == QLatin1String("MRKOStatusBarActivePin"))
        return icon(Filled | Pin);
    if (name == QLatin1String("MRKOStatusBarAir"))
        return icon(Air);
    if (name == QLatin1String("MRKOStatusBarAirActive"))
        return icon(Filled | Air);
    if (name == QLatin1String("MRKOStatusBarActiveGreen"))
        return dot(QColor(52, 199, 89));
    if (name == QLatin1String("MRKOStatusBarAirActiveGreen"))
        return dot(QColor(10, 132, 255));
    qCWarning(lcApp).noquote() << QStringLiteral("statusBarImage: no image named %1; no image").arg(name);
    return {};
}

} // namespace inkora
