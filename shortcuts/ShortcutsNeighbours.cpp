#include "shortcuts/ShortcutsNeighbours.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "shortcuts/KQTextField.h"

#include <QPainter>
#include <QPointer>

#include <array>
#include <functional>

namespace inkora {

namespace {

constexpr qint64 kBadgeCount = 10;
constexpr double kSmallSwatchSide = 15; // points

QList<QPointer<KQTextField>> &fieldList()
{
    static QList<QPointer<KQTextField>> fields;
    return fields;
}

std::array<QString, kBadgeCount> &badgeStrings()
{
    static std::array<QString, kBadgeCount> strings;
    return strings;
}

// The swatch keys and default hues of the ten colours, in hue-index order.
struct Hue
{
    const char *key;
    double hue;
};
constexpr std::array<Hue, 10> kHues = {{
    {"HueRed", 0.0},
    {"HueOrange", 0.08},
    {"HueYellow", 0.15},
    {"HueGreen", 0.3},
    {"HueTurquoise", 0.45},
    {"HueCyan", 0.5},
    {"HueBlue", 0.65},
    {"HuePurple", 0.75},
    {"HueMagenta", 0.85},
    {"HueCrimson", 0.93},
}};

/// The bounds inset by 2 points, an oval filled in the colour, at twice the density.
QImage smallSwatch(const std::function<void(QPainter &, const QRectF &)> &fill)
{
    QImage image(QSize(int(kSmallSwatchSide * 2), int(kSmallSwatchSide * 2)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    fill(painter, QRectF(2, 2, kSmallSwatchSide - 4, kSmallSwatchSide - 4));
    return image;
}

} // namespace

QList<KQTextField *> shortcutsTextFields()
{
    QList<KQTextField *> fields;
    for (const QPointer<KQTextField> &field : std::as_const(fieldList())) {
        if (field)
            fields.append(field.data());
    }
    return fields;
}

void setShortcutsTextFields(const QList<KQTextField *> &fields)
{
    fieldList().clear();
    for (KQTextField *field : fields)
        fieldList().append(field);
}

QString keyWithTextBadgeIndex(qint64 index)
{
    return QStringLiteral("TextBadge%1").arg(index);
}

void updateStringForTextBadgeIndex(const QString &string, qint64 index)
{
    if (index < 0 || index >= kBadgeCount)
        return;
    badgeStrings()[size_t(index)] = string;
}

QString customTextBadgeString(qint64 index)
{
    if (index < 0 || index >= kBadgeCount)
        return QString();
    return badgeStrings()[size_t(index)];
}

QList<QImage> allSwatchesSmall()
{
    QList<QImage> swatches;
    for (const Hue &hue : kHues) {
        const SrgbColor stored = ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), QLatin1String(hue.key));
        const QColor colour = (stored.isValid() ? stored : OnOffColor::rainbowColorWithHue(hue.hue)).toQColor();
        swatches.append(smallSwatch([&colour](QPainter &painter, const QRectF &oval) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(oval);
        }));
    }
    return swatches;
}

QImage smallSwatchBlackWhite()
{
    return smallSwatch([](QPainter &painter, const QRectF &oval) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(oval);
        painter.setBrush(Qt::black);
        painter.drawPie(oval, 45 * 16, 180 * 16); // the upper-left half
    });
}

} // namespace inkora
