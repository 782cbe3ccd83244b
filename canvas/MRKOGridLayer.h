#pragma once

#include "canvas/MRKOGrid.h"
#include "platform/Layer.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <memory>

namespace platform {
class ShapeLayer;
}

/// Draws a grid over its bounds, one thin shape sublayer (a stripe) per line; the factories flatten a grid into
/// one bitmap layer for a display scale.
class MRKOGridLayer final : public platform::Layer
{
public:
    /// More stripes than this in one family are refused (one line), so a tiny cell cannot hang the program.
    static constexpr qint64 kMaxStripes = 100000;

    [[nodiscard]] static std::shared_ptr<MRKOGridLayer> create() { return std::make_shared<MRKOGridLayer>(); }

    [[nodiscard]] const std::shared_ptr<MRKOGrid> &grid() const { return m_grid; }
    /// Keeps the grid, takes the current bounds size as the size the stripes are counted for, and rebuilds them.
    void setGrid(std::shared_ptr<MRKOGrid> grid);
    void updateAllStripes();

    void updateDiagonalTopLeftBottomRight(platform::ShapeLayer &stripe, qint64 index) const;
    void updateDiagonalTopRightBottomLeft(platform::ShapeLayer &stripe, qint64 index) const;
    void updateVerticalStripe(platform::ShapeLayer &stripe, qint64 index) const;
    void updateHorizontalStripe(platform::ShapeLayer &stripe, qint64 index) const;
    [[nodiscard]] std::shared_ptr<platform::ShapeLayer> makeStripe() const;
    /// The segment shifted half a point down and left below a contents scale of 2; nothing at scale 0.
    void updateStripeLayout(platform::ShapeLayer &stripe, QPointF point1, QPointF point2) const;

    /// A rectangular grid counted from the bottom left, rendered into one layer with the frame; null when no
    /// bitmap can be made.
    [[nodiscard]] static platform::LayerPtr rasterGridWihSize(QSizeF cellSize, const QRectF &frame,
                                                              const inkora::SrgbColor &color, double displayScale);
    [[nodiscard]] static platform::LayerPtr rasterGridWihGrid(const std::shared_ptr<MRKOGrid> &grid,
                                                              const QRectF &frame, double displayScale);

private:
    QSizeF m_imageSize;
    std::shared_ptr<MRKOGrid> m_grid;
};
