#include "platform/AnimationValue.h"

#include "platform/Transform3D.h"

#include <QColor>
#include <QMatrix4x4>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cmath>
#include <numbers>
#include <optional>

namespace platform {

namespace {

template <typename T> bool is(const QVariant &v)
{
    return v.metaType() == QMetaType::fromType<T>();
}

bool isNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

double mix(double a, double b, double f)
{
    return a + (b - a) * f;
}

QPointF mix(QPointF a, QPointF b, double f)
{
    return {mix(a.x(), b.x(), f), mix(a.y(), b.y(), f)};
}

// The parts of a transform whose z axis is not rotated and which has no perspective.
struct Decomposed
{
    double tx = 0, ty = 0, tz = 0;
    double sx = 1, sy = 1, sz = 1;
    double angle = 0; // radians, about z
    double shear = 0;
};

bool isPlanar(const QMatrix4x4 &m)
{
    return m(2, 0) == 0 && m(2, 1) == 0 && m(0, 2) == 0 && m(1, 2) == 0 && m(3, 0) == 0 && m(3, 1) == 0 &&
           m(3, 2) == 0 && m(3, 3) == 1;
}

Decomposed decompose(const QMatrix4x4 &m)
{
    Decomposed d;
    d.tx = m(0, 3);
    d.ty = m(1, 3);
    d.tz = m(2, 3);
    d.sz = m(2, 2);
    const double a = m(0, 0), b = m(1, 0), c = m(0, 1), e = m(1, 1);
    d.sx = std::hypot(a, b);
    if (d.sx > 0) {
        d.angle = std::atan2(b, a);
        const double ux = a / d.sx, uy = b / d.sx;
        d.shear = ux * c + uy * e;
        const double cx = c - ux * d.shear, cy = e - uy * d.shear;
        d.sy = std::hypot(cx, cy);
        if (ux * cy - uy * cx < 0)
            d.sy = -d.sy;
        if (d.sy != 0)
            d.shear /= d.sy;
    } else {
        // Degenerate x axis (a scale of 0): keep the y column as it is.
        d.sy = std::hypot(c, e);
        d.angle = d.sy > 0 ? std::atan2(-c, e) : 0;
    }
    return d;
}

QMatrix4x4 compose(const Decomposed &d)
{
    QMatrix4x4 m;
    m.translate(float(d.tx), float(d.ty), float(d.tz));
    m.rotate(float(d.angle * 180 / std::numbers::pi), 0, 0, 1);
    QMatrix4x4 shear;
    shear(0, 1) = float(d.shear);
    m *= shear;
    m.scale(float(d.sx), float(d.sy), float(d.sz));
    return m;
}

QMatrix4x4 mixMatrices(const QMatrix4x4 &a, const QMatrix4x4 &b, double f)
{
    if (isPlanar(a) && isPlanar(b)) {
        const Decomposed da = decompose(a);
        const Decomposed db = decompose(b);
        double delta = db.angle - da.angle;
        while (delta > std::numbers::pi)
            delta -= 2 * std::numbers::pi;
        while (delta < -std::numbers::pi)
            delta += 2 * std::numbers::pi;
        Decomposed r;
        r.tx = mix(da.tx, db.tx, f);
        r.ty = mix(da.ty, db.ty, f);
        r.tz = mix(da.tz, db.tz, f);
        r.sx = mix(da.sx, db.sx, f);
        r.sy = mix(da.sy, db.sy, f);
        r.sz = mix(da.sz, db.sz, f);
        r.angle = da.angle + delta * f;
        r.shear = mix(da.shear, db.shear, f);
        return compose(r);
    }
    // Perspective, turns in depth: by decomposition, so that a bar turning about y turns rather than squashes.
    const std::optional<Transform3D::Decomposed> da = Transform3D::fromMatrix(a).decomposed();
    const std::optional<Transform3D::Decomposed> db = Transform3D::fromMatrix(b).decomposed();
    if (da && db)
        return Transform3D::recomposed(Transform3D::interpolate(*da, *db, f)).toMatrix();
    QMatrix4x4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r(row, col) = float(mix(a(row, col), b(row, col), f));
    return r;
}

QVariant mixPaths(const QPainterPath &a, const QPainterPath &b, double f)
{
    if (a.elementCount() != b.elementCount())
        return f < 0.5 ? QVariant::fromValue(a) : QVariant::fromValue(b);
    QPainterPath r = a;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element &ea = a.elementAt(i);
        const QPainterPath::Element &eb = b.elementAt(i);
        if (ea.type != eb.type)
            return f < 0.5 ? QVariant::fromValue(a) : QVariant::fromValue(b);
        r.setElementPositionAt(i, mix(ea.x, eb.x, f), mix(ea.y, eb.y, f));
    }
    return QVariant::fromValue(r);
}

} // namespace

QVariant interpolateValues(const QVariant &from, const QVariant &to, double f)
{
    if (isNumber(from) && isNumber(to))
        return mix(from.toDouble(), to.toDouble(), f);
    if (from.metaType() != to.metaType())
        return f < 0.5 ? from : to;
    if (is<QPointF>(from))
        return mix(from.toPointF(), to.toPointF(), f);
    if (is<QSizeF>(from)) {
        const QSizeF a = from.toSizeF(), b = to.toSizeF();
        return QSizeF(mix(a.width(), b.width(), f), mix(a.height(), b.height(), f));
    }
    if (is<QRectF>(from)) {
        const QRectF a = from.toRectF(), b = to.toRectF();
        return QRectF(mix(a.topLeft(), b.topLeft(), f),
                      QSizeF(mix(a.width(), b.width(), f), mix(a.height(), b.height(), f)));
    }
    if (is<QColor>(from)) {
        const QColor a = from.value<QColor>().toRgb(), b = to.value<QColor>().toRgb();
        return QColor::fromRgbF(float(mix(a.redF(), b.redF(), f)), float(mix(a.greenF(), b.greenF(), f)),
                                float(mix(a.blueF(), b.blueF(), f)), float(mix(a.alphaF(), b.alphaF(), f)));
    }
    if (is<QMatrix4x4>(from))
        return mixMatrices(from.value<QMatrix4x4>(), to.value<QMatrix4x4>(), f);
    if (is<QPainterPath>(from))
        return mixPaths(from.value<QPainterPath>(), to.value<QPainterPath>(), f);
    return f < 0.5 ? from : to;
}

QVariant addValues(const QVariant &from, const QVariant &by)
{
    if (isNumber(from) && isNumber(by))
        return from.toDouble() + by.toDouble();
    if (from.metaType() != by.metaType())
        return from;
    if (is<QPointF>(from))
        return from.toPointF() + by.toPointF();
    if (is<QSizeF>(from))
        return from.toSizeF() + by.toSizeF();
    if (is<QRectF>(from)) {
        const QRectF a = from.toRectF(), b = by.toRectF();
        return QRectF(a.topLeft() + b.topLeft(), a.size() + b.size());
    }
    if (is<QColor>(from)) {
        const QColor a = from.value<QColor>().toRgb(), b = by.value<QColor>().toRgb();
        return QColor::fromRgbF(a.redF() + b.redF(), a.greenF() + b.greenF(), a.blueF() + b.blueF(),
                                a.alphaF() + b.alphaF());
    }
    if (is<QMatrix4x4>(from))
        return from.value<QMatrix4x4>() * by.value<QMatrix4x4>();
    return from;
}

} // namespace platform
