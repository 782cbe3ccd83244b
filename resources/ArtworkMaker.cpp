// Draws the program's icons into PNG files at one and two pixels a point, for the build to compile in as
// resources. Icons are templates: black where they are opaque, tinted when a control draws them.
//
// Usage: inkora_artwork <folder> <name>...   (writes <name>.png and <name>@2x.png for each name)

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

using Drawing = std::function<void(QPainter &)>;

constexpr double kPi = 3.14159265358979323846;

struct Artwork
{
    QSizeF size;  // points
    Drawing draw; // in a 100 x 100 design space stretched over the size, y down
};

QPen pen(double width)
{
    QPen p(Qt::black, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void stroke(QPainter &p, const QPainterPath &path, double width)
{
    p.setPen(pen(width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void fill(QPainter &p, const QPainterPath &path)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(path);
}

QPainterPath arrowHead(QPointF tip, double angle, double length, double spread)
{
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - QPointF(std::cos(angle - spread), std::sin(angle - spread)) * length);
    head.lineTo(tip - QPointF(std::cos(angle + spread), std::sin(angle + spread)) * length);
    head.closeSubpath();
    return head;
}

QPainterPath ring(QPointF centre, double outer, double inner)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(centre, outer, outer);
    path.addEllipse(centre, inner, inner);
    return path;
}

const QSizeF kMedium(40, 40);
const QSizeF kSmall(16, 16);

std::map<std::string, Artwork> artworks()
{
    const QPointF mid(50, 50);
    std::map<std::string, Artwork> all;

    // Tools.
    all["BrushMedium"] = {kMedium, [](QPainter &p) {
                              QPainterPath s(QPointF(24, 72));
                              s.cubicTo(QPointF(30, 40), QPointF(48, 78), QPointF(56, 50));
                              s.cubicTo(QPointF(62, 30), QPointF(72, 30), QPointF(78, 26));
                              stroke(p, s, 9);
                          }};
    all["ArrowMedium"] = {kMedium, [](QPainter &p) {
                              QPainterPath shaft(QPointF(24, 76));
                              shaft.lineTo(QPointF(66, 34));
                              stroke(p, shaft, 7);
                              fill(p, arrowHead(QPointF(78, 22), -kPi / 4, 28, 0.45));
                          }};
    all["RectangleMedium"] = {kMedium, [](QPainter &p) {
                                  QPainterPath r;
                                  r.addRoundedRect(QRectF(20, 28, 60, 44), 5, 5);
                                  stroke(p, r, 7);
                              }};
    all["TextMedium"] = {kMedium, [](QPainter &p) {
                             QPainterPath t;
                             t.addRect(QRectF(26, 22, 48, 10));
                             t.addRect(QRectF(45, 22, 10, 56));
                             fill(p, t);
                         }};
    all["QuickArrowMedium"] = {kMedium, [](QPainter &p) {
                                   QPainterPath shaft(QPointF(22, 74));
                                   shaft.quadTo(QPointF(30, 30), QPointF(64, 34));
                                   stroke(p, shaft, 7);
                                   fill(p, arrowHead(QPointF(80, 36), 0.06, 26, 0.5));
                               }};
    all["LineMedium"] = {kMedium, [](QPainter &p) {
                             QPainterPath line(QPointF(22, 78));
                             line.lineTo(QPointF(78, 22));
                             stroke(p, line, 7);
                         }};
    all["EllipseMedium"] = {kMedium, [](QPainter &p) {
                                QPainterPath e;
                                e.addEllipse(QRectF(18, 28, 64, 44));
                                stroke(p, e, 7);
                            }};

    // The same tools at menu size, for the menus that list tool actions.
    for (const char *tool : {"Brush", "Arrow", "Rectangle", "Text", "QuickArrow", "Line", "Ellipse"})
        all[std::string(tool) + "Small"] = {kSmall, all[std::string(tool) + "Medium"].draw};

    // Marks drawn over tool buttons.
    // White, not a template: it is laid over a tinted icon with the exclusion blend, which inverts under white.
    all["StripesMedium"] = {kMedium, [](QPainter &p) {
                                QPainterPath stripes;
                                for (int x = -100; x < 100; x += 14)
                                    stripes.addPolygon(QPolygonF({QPointF(x, 100), QPointF(x + 7, 100),
                                                                  QPointF(x + 107, 0), QPointF(x + 100, 0)}));
                                p.setPen(Qt::NoPen);
                                p.setBrush(Qt::white);
                                p.drawPath(stripes);
                            }};
    all["MRKOPopUpTriangle"] = {kMedium, [](QPainter &p) {
                                    QPainterPath t;
                                    t.addPolygon(QPolygonF({QPointF(78, 94), QPointF(96, 94), QPointF(96, 76)}));
                                    t.closeSubpath();
                                    fill(p, t);
                                }};

    // Thickness: three bars, one an image, stacked into the icon.
    auto bar = [](double top, double height) {
        return [top, height](QPainter &p) {
            QPainterPath b;
            b.addRoundedRect(QRectF(22, top, 56, height), height / 2, height / 2);
            fill(p, b);
        };
    };
    all["ThicknessMedium1"] = {kMedium, bar(26, 4)};
    all["ThicknessMedium2"] = {kMedium, bar(40, 8)};
    all["ThicknessMedium3"] = {kMedium, bar(58, 14)};
    all["ThicknessMedium"] = {kMedium, [bar](QPainter &p) {
                                  bar(26, 4)(p);
                                  bar(40, 8)(p);
                                  bar(58, 14)(p);
                              }};

    // Colours: the rainbow button's shape, the colour wheel, its ring and its inner disc.
    all["ColorShuffle"] = {kMedium, [mid](QPainter &p) { fill(p, ring(mid, 34, 14)); }};
    all["MRKOWheel"] = {kMedium, [mid](QPainter &p) {
                            fill(p, ring(mid, 38, 31));
                            QPainterPath disc;
                            disc.addEllipse(mid, 24, 24);
                            fill(p, disc);
                        }};
    all["MRKOWheelRing"] = {kMedium, [mid](QPainter &p) { fill(p, ring(mid, 46, 36)); }};
    all["MRKOWheelMask"] = {kMedium, [mid](QPainter &p) {
                                QPainterPath disc;
                                disc.addEllipse(mid, 30, 30);
                                fill(p, disc);
                            }};

    // Freeze and fade, repeat.
    all["DissolveMedium"] = {kMedium, [mid](QPainter &p) {
                                 for (int i = 0; i < 12; ++i) {
                                     const double a = i * kPi / 6;
                                     const double r = 3 + 4 * (i % 3) / 2.0;
                                     QPainterPath dot;
                                     dot.addEllipse(mid + QPointF(std::cos(a), std::sin(a)) * 30, r, r);
                                     fill(p, dot);
                                 }
                             }};
    all["DissolveOffMedium"] = {kMedium, [mid](QPainter &p) {
                                    QPainterPath flake;
                                    for (int i = 0; i < 3; ++i) {
                                        const double a = i * kPi / 3;
                                        const QPointF d(std::cos(a) * 32, std::sin(a) * 32);
                                        flake.moveTo(mid - d);
                                        flake.lineTo(mid + d);
                                    }
                                    stroke(p, flake, 7);
                                }};
    all["MRKORepeat"] = {kMedium, [mid](QPainter &p) {
                             QPainterPath arc;
                             arc.arcMoveTo(QRectF(22, 22, 56, 56), 60);
                             arc.arcTo(QRectF(22, 22, 56, 56), 60, 270);
                             stroke(p, arc, 8);
                             const QPointF end = mid + QPointF(std::cos(kPi / 6) * 28, -std::sin(kPi / 6) * 28);
                             fill(p, arrowHead(end + QPointF(-2, -12), kPi / 2 + 0.5, 22, 0.55));
                         }};

    // The panel's flashlight light and its own brush cursor.
    all["MRKOSpotLight"] = {QSizeF(60, 64), [](QPainter &p) {
                                QRadialGradient glow(QPointF(50, 0), 90);
                                glow.setColorAt(0, QColor(255, 244, 200, 230));
                                glow.setColorAt(1, QColor(255, 244, 200, 0));
                                p.fillRect(QRectF(0, 0, 100, 100), glow);
                            }};
    all["MRKOBrushCursor"] = {QSizeF(16, 16), [mid](QPainter &p) {
                                  p.setPen(QPen(Qt::white, 16));
                                  p.setBrush(Qt::NoBrush);
                                  p.drawEllipse(mid, 34, 34);
                                  p.setPen(QPen(Qt::black, 8));
                                  p.drawEllipse(mid, 34, 34);
                              }};

    // The colour popover: pick from the screen, close, the "#" of the hexadecimal field, the black-and-white swatch.
    all["KPPicker"] = {QSizeF(20, 20), [](QPainter &p) {
                           QPainterPath dropper;
                           dropper.moveTo(22, 78);
                           dropper.lineTo(58, 42);
                           stroke(p, dropper, 10);
                           QPainterPath bulb;
                           bulb.addEllipse(QPointF(70, 30), 16, 16);
                           fill(p, bulb);
                           QPainterPath collar;
                           collar.moveTo(48, 34);
                           collar.lineTo(66, 52);
                           stroke(p, collar, 12);
                       }};
    all["KPCloseOval"] = {QSizeF(17, 17), [mid](QPainter &p) {
                              QPainterPath cross;
                              cross.moveTo(34, 34);
                              cross.lineTo(66, 66);
                              cross.moveTo(66, 34);
                              cross.lineTo(34, 66);
                              QPainterPath disc;
                              disc.addEllipse(mid, 46, 46);
                              fill(p, disc);
                              p.setCompositionMode(QPainter::CompositionMode_Clear);
                              stroke(p, cross, 10);
                          }};
    const auto hash = [](double width) {
        return [width](QPainter &p) {
            QPainterPath sign;
            sign.moveTo(40, 18);
            sign.lineTo(32, 82);
            sign.moveTo(68, 18);
            sign.lineTo(60, 82);
            sign.moveTo(20, 38);
            sign.lineTo(84, 38);
            sign.moveTo(16, 62);
            sign.lineTo(80, 62);
            stroke(p, sign, width);
        };
    };
    all["MRKOHexPrefix"] = {QSizeF(15, 15), hash(7)};
    all["MRKOHexPrefixBold"] = {QSizeF(15, 15), hash(12)};
    all["MRKOBlackWhiteSwatch"] = {QSizeF(15, 15), [mid](QPainter &p) {
                                       p.setPen(Qt::NoPen);
                                       p.setBrush(Qt::white);
                                       p.drawPie(QRectF(mid.x() - 36, mid.y() - 36, 72, 72), 45 * 16, 180 * 16);
                                       p.setBrush(Qt::black);
                                       p.drawPie(QRectF(mid.x() - 36, mid.y() - 36, 72, 72), 225 * 16, 180 * 16);
                                   }};
    return all;
}

bool write(const std::string &folder, const std::string &name, const Artwork &art, int scale)
{
    const QSize pixels((art.size * scale).toSize());
    QImage image(pixels, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(pixels.width() / 100.0, pixels.height() / 100.0);
        art.draw(p);
    }
    const std::string file = folder + "/" + name + (scale == 2 ? "@2x" : "") + ".png";
    if (!image.save(QString::fromStdString(file), "PNG")) {
        std::fprintf(stderr, "inkora_artwork: cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: inkora_artwork <folder> <name>...\n");
        return 2;
    }
    const std::string folder = argv[1];
    QDir().mkpath(QString::fromStdString(folder));
    const std::map<std::string, Artwork> all = artworks();
    for (int i = 2; i < argc; ++i) {
        const auto found = all.find(argv[i]);
        if (found == all.end()) {
            std::fprintf(stderr, "inkora_artwork: no artwork named %s\n", argv[i]);
            return 1;
        }
        if (!write(folder, found->first, found->second, 1) || !write(folder, found->first, found->second, 2))
            return 1;
    }
    return 0;
}
