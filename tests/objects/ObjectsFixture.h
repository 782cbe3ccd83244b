#pragma once

#include "platform/Path.h"
#include "tests/support/InkoraFixture.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QVariantMap>

#include <functional>

class QPainter;

/// Builders for drawn-object tests: colours, rendering into an image in canvas points (y up), path measures.
class ObjectsFixture : public InkoraFixture
{
protected:
    static QColor red() { return QColor::fromRgbF(1, 0, 0, 1); }
    static QColor blue() { return QColor::fromRgbF(0, 0, 1, 1); }

    /// An image of `area` (canvas points, one pixel per point) painted by `draw` with canvas coordinates, y up.
    static QImage render(const QRectF &area, const std::function<void(QPainter &)> &draw);
    /// The colour of the pixel that holds the canvas point in an image made by render().
    static QColor colorAt(const QImage &image, const QRectF &area, QPointF point);

    /// Twice the signed area of each subpath (positive: counter-clockwise with y up), curves by their points.
    static std::vector<double> subpathOrientations(const platform::Path &path);
    /// Whether a non-zero fill of the path covers the point.
    static bool fills(const platform::Path &path, QPointF point);

    /// The keyed values of the first object of the class in a keyed archive; empty when there is none.
    static QVariantMap archivedObject(const QByteArray &archive, const QString &className);
    /// The index into "$objects" that a keyed value refers to; -1 when it is not a reference.
    static qint64 referenceOf(const QVariantMap &object, const QString &key);
};
