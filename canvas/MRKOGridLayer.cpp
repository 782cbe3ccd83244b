#include "canvas/MRKOGridLayer.h"

#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

bool finiteSize(QSizeF s)
{
    return std::isfinite(s.width()) && std::isfinite(s.height());
}

// A count of whole cells, or -1 (no stripes) for a cell that truncates to 0 or a count beyond the limit.
qint64 cellCount(double extent, double cell, const char *what)
{
    const double whole = std::trunc(cell);
    if (whole == 0)
        return -1;
    const double n = std::trunc(extent / whole);
    if (!(std::fabs(n) <= double(MRKOGridLayer::kMaxStripes))) {
        qCWarning(lcCanvas, "Grid layer: %g %s stripes are too many; none are made", n, what);
        return -1;
    }
    return qint64(n);
}

} // namespace

void MRKOGridLayer::setGrid(std::shared_ptr<MRKOGrid> grid)
{
    m_grid = std::move(grid);
    m_imageSize = bounds().size();
    updateAllStripes();
}

void MRKOGridLayer::updateAllStripes()
{
    if (!sublayers().empty()) {
        platform::TransactionScope transaction(true);
        setSublayers({});
    }
    platform::TransactionScope transaction(true);
    if (!m_grid)
        return;
    const QSizeF cell = m_grid->gridSize();
    if (!finiteSize(cell) || !finiteSize(m_imageSize) || !finiteSize(bounds().size())) {
        qCWarning(lcCanvas, "Grid layer: the cell size or the bounds are not finite; no stripes");
        return;
    }
    const qint64 nx = cellCount(m_imageSize.width(), cell.width(), "vertical");
    const qint64 ny = cellCount(m_imageSize.height(), cell.height(), "horizontal");
    auto add = [this](qint64 count, void (MRKOGridLayer::*place)(platform::ShapeLayer &, qint64) const) {
        for (qint64 i = 0; i <= count; ++i) {
            const std::shared_ptr<platform::ShapeLayer> stripe = makeStripe();
            (this->*place)(*stripe, i);
            addSublayer(stripe);
        }
    };
    if (m_grid->type() != MRKOGridTypeDiagonal) {
        if (nx >= 0)
            add(nx, &MRKOGridLayer::updateVerticalStripe);
        if (ny >= 0)
            add(ny, &MRKOGridLayer::updateHorizontalStripe);
        return;
    }
    // A cell dimension that truncates to 0 gives no diagonal stripes (and no remainder by 0).
    if (nx < 0 || ny < 0)
        return;
    const qint64 m = nx + ny / 2;
    add(m, &MRKOGridLayer::updateDiagonalTopLeftBottomRight);
    add(m, &MRKOGridLayer::updateDiagonalTopRightBottomLeft);
}

void MRKOGridLayer::updateDiagonalTopLeftBottomRight(platform::ShapeLayer &stripe, qint64 index) const
{
    const double h = bounds().height();
    const double gw = m_grid->gridSize().width(), gh = m_grid->gridSize().height();
    const double i = double(index);
    updateStripeLayout(stripe, QPointF(0, h - (2 * i - 1) * gh), QPointF((i - 0.5) * gw, h));
}

void MRKOGridLayer::updateDiagonalTopRightBottomLeft(platform::ShapeLayer &stripe, qint64 index) const
{
    const double w = bounds().width(), h = bounds().height();
    const double gw = m_grid->gridSize().width(), gh = m_grid->gridSize().height();
    // Both were checked finite and the cell width non-zero when truncated; clamp into 32 bits before converting.
    const auto int32 = [](double v) { return qint32(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0)); };
    const qint32 divisor = int32(gw);
    const double r = divisor == 0 ? 0 : double(int32(m_imageSize.width()) % divisor);
    const double i = double(index);
    updateStripeLayout(stripe, QPointF(w + gw - r, h - (2 * i + 1) * gh), QPointF(w - r - (i - 0.5) * gw, h));
}

void MRKOGridLayer::updateVerticalStripe(platform::ShapeLayer &stripe, qint64 index) const
{
    const double w = bounds().width(), h = bounds().height();
    const double gw = m_grid->gridSize().width();
    const qint64 a = m_grid->alignment();
    const bool fromRight = a == MRKOGridAlignmentRightTop || a == MRKOGridAlignmentRightBottom;
    const double x = fromRight ? std::floor(w - gw * double(index)) : std::floor(gw * double(index));
    updateStripeLayout(stripe, QPointF(x, 0), QPointF(x, h));
}

void MRKOGridLayer::updateHorizontalStripe(platform::ShapeLayer &stripe, qint64 index) const
{
    const double w = bounds().width(), h = bounds().height();
    const double gh = m_grid->gridSize().height();
    const qint64 a = m_grid->alignment();
    const bool fromBottom = a == MRKOGridAlignmentLeftBottom || a == MRKOGridAlignmentRightBottom;
    const double y = fromBottom ? std::floor(gh * double(index)) : std::floor(h - gh * double(index));
    updateStripeLayout(stripe, QPointF(0, y), QPointF(w, y));
}

std::shared_ptr<platform::ShapeLayer> MRKOGridLayer::makeStripe() const
{
    auto stripe = platform::ShapeLayer::create();
    const inkora::SrgbColor color =
        m_grid && m_grid->stripeColor().isValid() ? m_grid->stripeColor() : inkora::SrgbColor(0.5, 0.5, 0.5, 1);
    stripe->setStrokeColor(color.toQColor());
    stripe->setLineWidth(1.0);
    return stripe;
}

void MRKOGridLayer::updateStripeLayout(platform::ShapeLayer &stripe, QPointF point1, QPointF point2) const
{
    const double s = contentsScale();
    if (s == 0)
        return;
    const double o = s < 2 ? 0.5 : 0.0;
    QPainterPath path;
    path.moveTo(point1.x() - o, point1.y() - o);
    path.lineTo(point2.x() - o, point2.y() - o);
    stripe.setPath(path);
}

platform::LayerPtr MRKOGridLayer::rasterGridWihSize(QSizeF cellSize, const QRectF &frame,
                                                    const inkora::SrgbColor &color, double displayScale)
{
    return rasterGridWihGrid(
        MRKOGrid::gridWihSize(cellSize, MRKOGridTypeRectangular, MRKOGridAlignmentLeftBottom, color), frame,
        displayScale);
}

platform::LayerPtr MRKOGridLayer::rasterGridWihGrid(const std::shared_ptr<MRKOGrid> &grid, const QRectF &frame,
                                                    double displayScale)
{
    const auto layer = create();
    layer->setFrame(frame);
    layer->setGrid(grid);
    platform::LayerPtr rendered = inkora::renderedLayerForScale(*layer, displayScale);
    if (rendered)
        rendered->setFrame(frame);
    return rendered;
}
