#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

/// One input of `MRKOPSDEngine(layers, documentSize)`: a premultiplied RGBA bitmap and its name.
struct MRKOPSDBitmapLayer
{
    QImage bitmap;
    QString name;
    QRectF bounds;
    double opacity = 1.0;

    [[nodiscard]] static MRKOPSDBitmapLayer psdBitmapLayer(const QImage &bitmap, const QString &name,
                                                           const QRectF &bounds, double opacity)
    {
        return {bitmap, name, bounds, opacity};
    }
};
