#pragma once

#include "platform/Layer.h"

#include <QPainterPath>

namespace platform {

/// A layer that fills and strokes a path given in its own coordinates (points, y up), above its background
/// and below its sublayers. Stroke start and end (fractions of the path's length) trim the stroke only.
class ShapeLayer : public Layer
{
public:
    enum class FillRule : int { NonZero, EvenOdd };

    ShapeLayer() = default;
    [[nodiscard]] static std::shared_ptr<ShapeLayer> create() { return std::make_shared<ShapeLayer>(); }

    [[nodiscard]] const QPainterPath &path() const { return m_path; }
    void setPath(const QPainterPath &path);
    /// Opaque black unless set; an invalid colour fills nothing.
    [[nodiscard]] QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color);
    /// Invalid (no stroke) unless set.
    [[nodiscard]] QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor &color);
    [[nodiscard]] FillRule fillRule() const { return m_fillRule; }
    void setFillRule(FillRule rule);
    [[nodiscard]] double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);
    [[nodiscard]] Qt::PenCapStyle lineCap() const { return m_lineCap; }
    void setLineCap(Qt::PenCapStyle cap);
    [[nodiscard]] Qt::PenJoinStyle lineJoin() const { return m_lineJoin; }
    void setLineJoin(Qt::PenJoinStyle join);
    [[nodiscard]] double miterLimit() const { return m_miterLimit; }
    void setMiterLimit(double limit);
    [[nodiscard]] double strokeStart() const { return m_strokeStart; }
    void setStrokeStart(double fraction);
    [[nodiscard]] double strokeEnd() const { return m_strokeEnd; }
    void setStrokeEnd(double fraction);

    [[nodiscard]] QVariant modelValue(const QString &key) const override;
    void drawInContext(QPainter &painter, bool presentation) const override;

    /// The part of `path` between two fractions of its length, as open polylines.
    [[nodiscard]] static QPainterPath trimmedPath(const QPainterPath &path, double start, double end);

private:
    QPainterPath m_path;
    QColor m_fillColor{0, 0, 0};
    QColor m_strokeColor;
    FillRule m_fillRule = FillRule::NonZero;
    double m_lineWidth = 1;
    Qt::PenCapStyle m_lineCap = Qt::FlatCap;
    Qt::PenJoinStyle m_lineJoin = Qt::MiterJoin;
    double m_miterLimit = 10;
    double m_strokeStart = 0;
    double m_strokeEnd = 1;
};

} // namespace platform
