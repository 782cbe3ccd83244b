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

// A black stroke with a white edge around it.
void outlined(QPainter &p, const QPainterPath &path, double width)
{
    p.setBrush(Qt::NoBrush);
    QPen edge(Qt::white, width + 8);
    edge.setCapStyle(Qt::RoundCap);
    edge.setJoinStyle(Qt::RoundJoin);
    p.setPen(edge);
    p.drawPath(path);
    stroke(p, path, width);
}

// A black shape with a white edge around it.
void outlinedFill(QPainter &p, const QPainterPath &path)
{
    QPen edge(Qt::white, 8);
    edge.setJoinStyle(Qt::RoundJoin);
    p.setPen(edge);
    p.setBrush(Qt::white);
    p.drawPath(path);
    fill(p, path);
}

// Scissors crossing at `pivot`, the blades pointing up, opened by `spread` radians either side.
void scissorsCursor(QPainter &p, QPointF pivot, double spread)
{
    for (const double side : {-1.0, 1.0}) {
        const double angle = -kPi / 2 + side * spread; // y down: up is -pi/2
        const QPointF dir(std::cos(angle), std::sin(angle));
        const QPointF normal(-dir.y(), dir.x());
        QPainterPath blade;
        blade.moveTo(pivot - dir * 6 + normal * 5);
        blade.lineTo(pivot + dir * 44);
        blade.lineTo(pivot - dir * 6 - normal * 5);
        blade.closeSubpath();
        outlinedFill(p, blade);
        // The handle of this blade runs on from the pivot to a finger ring on the other side.
        const QPointF ringCentre = pivot - dir * 30;
        QPainterPath shank;
        shank.moveTo(pivot);
        shank.lineTo(ringCentre);
        outlined(p, shank, 6);
        QPainterPath ring;
        ring.addEllipse(ringCentre - dir * 4, 10, 10);
        outlined(p, ring, 6);
    }
}

const QSizeF kCursor(24, 24);
const QSizeF kMedium(40, 40);
const QSizeF kSmall(16, 16);

// The options sidebar's row images and the volume popover's speakers, 18 x 18 and 17 x 17 points.
void addOptionsArtworks(std::map<std::string, Artwork> &all)
{
    const QSizeF row(18, 18);
    const QPointF mid(50, 50);
    all["MRKOConnectionsThin"] = {row, [mid](QPainter &p) {
                                      fill(p, ring(mid, 8, 0));
                                      for (const double r : {26.0, 42.0}) {
                                          QPainterPath left;
                                          left.arcMoveTo(QRectF(50 - r, 50 - r, 2 * r, 2 * r), 135);
                                          left.arcTo(QRectF(50 - r, 50 - r, 2 * r, 2 * r), 135, 90);
                                          stroke(p, left, 6);
                                          QPainterPath right;
                                          right.arcMoveTo(QRectF(50 - r, 50 - r, 2 * r, 2 * r), -45);
                                          right.arcTo(QRectF(50 - r, 50 - r, 2 * r, 2 * r), -45, 90);
                                          stroke(p, right, 6);
                                      }
                                  }};
    all["MRKOKeyboardSmall"] = {row, [](QPainter &p) {
                                    QPainterPath body;
                                    body.addRoundedRect(QRectF(8, 24, 84, 52), 8, 8);
                                    stroke(p, body, 6);
                                    for (int r = 0; r < 2; ++r) {
                                        for (int c = 0; c < 5; ++c) {
                                            QPainterPath key;
                                            key.addRect(QRectF(18 + c * 14, 34 + r * 13, 8, 7));
                                            fill(p, key);
                                        }
                                    }
                                    QPainterPath space;
                                    space.addRect(QRectF(30, 60, 40, 7));
                                    fill(p, space);
                                }};
    all["MRKOGearStroke"] = {row, [mid](QPainter &p) {
                                 QPainterPath gear;
                                 for (int i = 0; i < 16; ++i) {
                                     const double angle = i * kPi / 8;
                                     const double r = i % 2 == 0 ? 42 : 32;
                                     const QPointF point = mid + QPointF(std::cos(angle), std::sin(angle)) * r;
                                     i == 0 ? gear.moveTo(point) : gear.lineTo(point);
                                 }
                                 gear.closeSubpath();
                                 stroke(p, gear, 6);
                                 stroke(p, ring(mid, 12, 12), 6);
                             }};
    all["MRKOMessage"] = {row, [](QPainter &p) {
                              QPainterPath bubble;
                              bubble.addRoundedRect(QRectF(10, 16, 80, 54), 14, 14);
                              bubble.moveTo(28, 70);
                              bubble.lineTo(22, 88);
                              bubble.lineTo(46, 70);
                              stroke(p, bubble, 6);
                          }};
    all["MRKOInfo"] = {row, [mid](QPainter &p) {
                           stroke(p, ring(mid, 40, 40), 6);
                           fill(p, ring(QPointF(50, 30), 6, 0));
                           QPainterPath stem(QPointF(50, 44));
                           stem.lineTo(QPointF(50, 74));
                           stroke(p, stem, 9);
                       }};
    all["MRKOBulbSmall"] = {row, [](QPainter &p) {
                                QPainterPath bulb;
                                bulb.moveTo(38, 66);
                                bulb.cubicTo(20, 54, 22, 12, 50, 12);
                                bulb.cubicTo(78, 12, 80, 54, 62, 66);
                                bulb.closeSubpath();
                                stroke(p, bulb, 6);
                                QPainterPath base(QPointF(40, 78));
                                base.lineTo(QPointF(60, 78));
                                base.moveTo(QPointF(43, 88));
                                base.lineTo(QPointF(57, 88));
                                stroke(p, base, 6);
                            }};
    all["MRKOPowerOff"] = {row, [mid](QPainter &p) {
                               QPainterPath arc;
                               arc.arcMoveTo(QRectF(14, 18, 72, 72), 60);
                               arc.arcTo(QRectF(14, 18, 72, 72), 60, -300);
                               stroke(p, arc, 7);
                               QPainterPath stem(QPointF(50, 10));
                               stem.lineTo(QPointF(50, 48));
                               stroke(p, stem, 7);
                               Q_UNUSED(mid)
                           }};
    const QSizeF speaker(17, 17);
    const auto speakerBody = [](QPainter &p) {
        QPainterPath body;
        body.moveTo(12, 38);
        body.lineTo(30, 38);
        body.lineTo(52, 18);
        body.lineTo(52, 82);
        body.lineTo(30, 62);
        body.lineTo(12, 62);
        body.closeSubpath();
        fill(p, body);
    };
    all["MRKOSpeakerDown"] = {speaker, speakerBody};
    all["MRKOSpeakerUp"] = {speaker, [speakerBody](QPainter &p) {
                                speakerBody(p);
                                for (const double r : {16.0, 30.0}) {
                                    QPainterPath wave;
                                    wave.arcMoveTo(QRectF(52 - r, 50 - r, 2 * r, 2 * r), -50);
                                    wave.arcTo(QRectF(52 - r, 50 - r, 2 * r, 2 * r), -50, 100);
                                    stroke(p, wave, 6);
                                }
                            }};
}

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

    // The panel's small buttons.
    const QSizeF small(20, 20);
    auto curvedArrow = [](bool backwards) {
        return [backwards](QPainter &p) {
            if (backwards) { // redo mirrors undo
                p.translate(100, 0);
                p.scale(-1, 1);
            }
            QPainterPath arc(QPointF(74, 76));
            arc.cubicTo(QPointF(86, 48), QPointF(64, 30), QPointF(38, 36));
            stroke(p, arc, 9);
            fill(p, arrowHead(QPointF(16, 40), kPi + 0.15, 28, 0.6));
        };
    };
    all["MRKOUndo"] = {small, curvedArrow(false)};
    all["MRKORedo"] = {small, curvedArrow(true)};
    all["MRKOFlashlight"] = {
        small, [](QPainter &p) {
            QPainterPath beam;
            beam.addPolygon(QPolygonF({QPointF(36, 14), QPointF(64, 14), QPointF(80, 46), QPointF(20, 46)}));
            beam.closeSubpath();
            fill(p, beam);
            QPainterPath handle;
            handle.addRoundedRect(QRectF(38, 50, 24, 40), 5, 5);
            fill(p, handle);
        }};
    auto scissors = [](double width) {
        return [width](QPainter &p) {
            QPainterPath blades(QPointF(30, 12));
            blades.lineTo(QPointF(64, 62));
            blades.moveTo(QPointF(70, 12));
            blades.lineTo(QPointF(36, 62));
            stroke(p, blades, width);
            QPainterPath rings;
            rings.addEllipse(QPointF(30, 76), 12, 12);
            rings.addEllipse(QPointF(70, 76), 12, 12);
            stroke(p, rings, width);
        };
    };
    all["MRKOScissors"] = {small, scissors(7)};
    all["MRKOScissorsOn"] = {small, scissors(11)};
    auto hand = [](bool filled) {
        return [filled](QPainter &p) {
            QPainterPath palm;
            palm.addRoundedRect(QRectF(26, 44, 50, 46), 16, 16);
            for (int i = 0; i < 4; ++i)
                palm.addRoundedRect(QRectF(26 + i * 13, 12 + (i == 0 || i == 3 ? 10 : 0), 11, 48), 5.5, 5.5);
            palm.addRoundedRect(QRectF(10, 48, 26, 11), 5.5, 5.5);
            palm.setFillRule(Qt::WindingFill);
            if (filled)
                fill(p, palm.simplified());
            else
                stroke(p, palm.simplified(), 6);
        };
    };
    all["MRKOHand"] = {small, hand(false)};
    all["MRKOHandOn"] = {small, hand(true)};
    all["MRKOOptions"] = {small, [mid](QPainter &p) {
                              QPainterPath gear = ring(mid, 24, 11);
                              for (int i = 0; i < 8; ++i) {
                                  QPainterPath tooth;
                                  tooth.addRect(QRectF(-6, -38, 12, 18));
                                  fill(p, QTransform().translate(50, 50).rotate(i * 45).map(tooth));
                              }
                              fill(p, gear);
                          }};
    all["MRKOCloseToolbar"] = {small, [](QPainter &p) {
                                   QPainterPath cross(QPointF(26, 26));
                                   cross.lineTo(QPointF(74, 74));
                                   cross.moveTo(QPointF(74, 26));
                                   cross.lineTo(QPointF(26, 74));
                                   stroke(p, cross, 10);
                               }};

    // The panel's flashlight light.
    all["MRKOSpotLight"] = {QSizeF(60, 64), [](QPainter &p) {
                                QRadialGradient glow(QPointF(50, 0), 90);
                                glow.setColorAt(0, QColor(255, 244, 200, 230));
                                glow.setColorAt(1, QColor(255, 244, 200, 0));
                                p.fillRect(QRectF(0, 0, 100, 100), glow);
                            }};

    // The canvas's cursors, 24 x 24 points (a design unit is 0.24 point): black shapes with a white edge, so that
    // they show on any background. Hot spots lie on the drawn tips: the brush's at (3, 2), the eraser's at
    // (5, 5), the others in the middle.
    all["MRKOBrushCursor"] = {kCursor, [](QPainter &p) {
                                  QPainterPath handle;
                                  handle.moveTo(88, 92);
                                  handle.lineTo(52, 56);
                                  outlined(p, handle, 12);
                                  QPainterPath bristles;
                                  bristles.moveTo(12.5, 8.33); // the tip: (3, 2) points
                                  bristles.cubicTo(22, 30, 40, 46, 56, 48);
                                  bristles.lineTo(48, 56);
                                  bristles.cubicTo(46, 40, 30, 22, 12.5, 8.33);
                                  bristles.closeSubpath();
                                  outlinedFill(p, bristles);
                              }};
    all["MRKOEraserCursor"] = {kCursor, [](QPainter &p) {
                                   // A block along the diagonal whose leading edge passes through (5, 5) points.
                                   const QPointF tip(20.83, 20.83);
                                   const QPointF across(13, -13);
                                   const QPointF along(44, 44);
                                   QPainterPath block;
                                   block.moveTo(tip + across);
                                   block.lineTo(tip + across + along);
                                   block.lineTo(tip - across + along);
                                   block.lineTo(tip - across);
                                   block.closeSubpath();
                                   outlinedFill(p, block);
                                   QPainterPath band;
                                   band.moveTo(tip + across + along * 0.45);
                                   band.lineTo(tip - across + along * 0.45);
                                   p.setPen(QPen(Qt::white, 5));
                                   p.drawPath(band);
                               }};
    all["MRKOScissorsCursor"] = {kCursor, [mid](QPainter &p) { scissorsCursor(p, mid, 0.42); }};
    all["MRKOScissorsCutCursor"] = {kCursor, [mid](QPainter &p) { scissorsCursor(p, mid, 0.12); }};
    all["MRKOTextCursor"] = {kCursor, [](QPainter &p) {
                                 QPainterPath beam;
                                 beam.moveTo(36, 14);
                                 beam.cubicTo(44, 14, 50, 18, 50, 26);
                                 beam.cubicTo(50, 18, 56, 14, 64, 14);
                                 beam.moveTo(50, 26);
                                 beam.lineTo(50, 74);
                                 beam.moveTo(36, 86);
                                 beam.cubicTo(44, 86, 50, 82, 50, 74);
                                 beam.cubicTo(50, 82, 56, 86, 64, 86);
                                 beam.moveTo(40, 50);
                                 beam.lineTo(60, 50);
                                 outlined(p, beam, 7);
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
    // The snapshot panel's buttons.
    const QSizeF panelIcon(17, 17);
    const auto plusOval = [mid](bool frame) {
        return [mid, frame](QPainter &p) {
            QPainterPath disc;
            disc.addEllipse(mid, 46, 46);
            fill(p, disc);
            p.setCompositionMode(QPainter::CompositionMode_Clear);
            QPainterPath plus;
            plus.moveTo(50, 28);
            plus.lineTo(50, 72);
            plus.moveTo(28, 50);
            plus.lineTo(72, 50);
            if (frame) {
                QPainterPath corners;
                corners.addRect(QRectF(30, 30, 40, 40));
                stroke(p, corners, 6);
            } else {
                stroke(p, plus, 10);
            }
        };
    };
    all["MRKOAddOval"] = {panelIcon, plusOval(false)};
    all["MRKOAddDazadUdizOval"] = {panelIcon, plusOval(true)};
    all["MRKODeleteAllOval"] = {panelIcon, [mid](QPainter &p) {
                                    QPainterPath disc;
                                    disc.addEllipse(mid, 46, 46);
                                    fill(p, disc);
                                    p.setCompositionMode(QPainter::CompositionMode_Clear);
                                    QPainterPath bin;
                                    bin.addRect(QRectF(34, 38, 32, 36));
                                    bin.moveTo(28, 32);
                                    bin.lineTo(72, 32);
                                    stroke(p, bin, 7);
                                }};
    all["MRKORemovedSnapshot"] = {QSizeF(29, 30), [](QPainter &p) {
                                      QPainterPath bin;
                                      bin.addRect(QRectF(26, 30, 48, 58));
                                      bin.moveTo(16, 22);
                                      bin.lineTo(84, 22);
                                      bin.moveTo(40, 12);
                                      bin.lineTo(60, 12);
                                      stroke(p, bin, 7);
                                  }};
    all["MRKOSnapshotApply"] = {panelIcon, [](QPainter &p) {
                                    QPainterPath tick;
                                    tick.moveTo(16, 52);
                                    tick.lineTo(40, 76);
                                    tick.lineTo(84, 24);
                                    stroke(p, tick, 11);
                                }};
    all["MRKOSnapshotShare"] = {panelIcon, [](QPainter &p) {
                                    QPainterPath box;
                                    box.moveTo(30, 40);
                                    box.lineTo(18, 40);
                                    box.lineTo(18, 90);
                                    box.lineTo(82, 90);
                                    box.lineTo(82, 40);
                                    box.lineTo(70, 40);
                                    box.moveTo(50, 62);
                                    box.lineTo(50, 10);
                                    box.moveTo(34, 26);
                                    box.lineTo(50, 10);
                                    box.lineTo(66, 26);
                                    stroke(p, box, 8);
                                }};
    all["MRKOSnapshotRemove"] = {panelIcon, [](QPainter &p) {
                                     QPainterPath bin;
                                     bin.addRect(QRectF(26, 30, 48, 58));
                                     bin.moveTo(14, 22);
                                     bin.lineTo(86, 22);
                                     stroke(p, bin, 8);
                                 }};
    all["MRKOSnapshotQuickLook"] = {panelIcon, [mid](QPainter &p) {
                                        QPainterPath eye;
                                        eye.moveTo(8, 50);
                                        eye.quadTo(50, 6, 92, 50);
                                        eye.quadTo(50, 94, 8, 50);
                                        stroke(p, eye, 7);
                                        QPainterPath pupil;
                                        pupil.addEllipse(mid, 14, 14);
                                        fill(p, pupil);
                                    }};
    all["MRKOSnapshotSave"] = {panelIcon, [](QPainter &p) {
                                   QPainterPath tray;
                                   tray.moveTo(14, 62);
                                   tray.lineTo(14, 88);
                                   tray.lineTo(86, 88);
                                   tray.lineTo(86, 62);
                                   tray.moveTo(50, 10);
                                   tray.lineTo(50, 66);
                                   tray.moveTo(32, 48);
                                   tray.lineTo(50, 66);
                                   tray.lineTo(68, 48);
                                   stroke(p, tray, 8);
                               }};
    all["MRKOSnapshotPutBack"] = {panelIcon, [](QPainter &p) {
                                      QPainterPath back;
                                      back.moveTo(84, 80);
                                      back.quadTo(84, 40, 30, 40);
                                      stroke(p, back, 8);
                                      fill(p, arrowHead(QPointF(14, 40), kPi, 26, 0.6));
                                  }};
    all["MRKOSnapshotCleanUp"] = {
        panelIcon, [](QPainter &p) {
            QPainterPath broom;
            broom.moveTo(70, 10);
            broom.lineTo(46, 56);
            stroke(p, broom, 8);
            QPainterPath head;
            head.addPolygon(QPolygonF({QPointF(30, 52), QPointF(62, 64), QPointF(48, 92), QPointF(12, 82)}));
            head.closeSubpath();
            fill(p, head);
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
    // Whiteboard layouts: a display outline with the covered part filled (drawing rows run down).
    auto layout = [](QRectF covered) {
        return [covered](QPainter &p) {
            QPainterPath display;
            display.addRoundedRect(QRectF(10, 20, 80, 60), 6, 6);
            stroke(p, display, 6);
            QPainterPath part;
            part.addRect(
                QRectF(10 + covered.x() * 80, 20 + covered.y() * 60, covered.width() * 80, covered.height() * 60));
            fill(p, part);
        };
    };
    all["MRKOWBLayoutFullSize"] = {kSmall, layout(QRectF(0, 0, 1, 1))};
    all["MRKOWBLayoutLeftHalf"] = {kSmall, layout(QRectF(0, 0, 0.5, 1))};
    all["MRKOWBLayoutRightHalf"] = {kSmall, layout(QRectF(0.5, 0, 0.5, 1))};
    all["MRKOWBLayoutTopHalf"] = {kSmall, layout(QRectF(0, 0, 1, 0.5))};
    all["MRKOWBLayoutBottomHalf"] = {kSmall, layout(QRectF(0, 0.5, 1, 0.5))};
    all["MRKOWBLayoutTopLeftCorner"] = {kSmall, layout(QRectF(0, 0, 0.5, 0.5))};
    all["MRKOWBLayoutTopRightCorner"] = {kSmall, layout(QRectF(0.5, 0, 0.5, 0.5))};
    all["MRKOWBLayoutBottomLeft"] = {kSmall, layout(QRectF(0, 0.5, 0.5, 0.5))};
    all["MRKOWBLayoutBottomRight"] = {kSmall, layout(QRectF(0.5, 0.5, 0.5, 0.5))};
    all["MRKOScreenIcon"] = {kSmall, layout(QRectF())};
    all["MRKOScreenOffIcon"] = {kSmall, [layout](QPainter &p) {
                                    layout(QRectF())(p);
                                    QPainterPath slash(QPointF(16, 86));
                                    slash.lineTo(QPointF(84, 14));
                                    stroke(p, slash, 7);
                                }};
    all["MRKOWhiteboardIcon"] = {kSmall, [](QPainter &p) {
                                     QPainterPath board;
                                     board.addRect(QRectF(12, 16, 76, 54));
                                     stroke(p, board, 6);
                                     QPainterPath stand(QPointF(50, 70));
                                     stand.lineTo(QPointF(50, 88));
                                     stand.moveTo(QPointF(30, 90));
                                     stand.lineTo(QPointF(50, 72));
                                     stand.lineTo(QPointF(70, 90));
                                     stroke(p, stand, 6);
                                 }};
    addOptionsArtworks(all);
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
