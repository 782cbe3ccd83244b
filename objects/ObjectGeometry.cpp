#include "objects/ObjectGeometry.h"

#include <algorithm>
#include <cmath>

namespace inkora {

QRectF integralRect(const QRectF &rect)
{
    if (!(rect.width() > 0.0) || !(rect.height() > 0.0))
        return {};
    const double left = std::floor(rect.x());
    const double bottom = std::floor(rect.y());
    const double right = std::ceil(rect.x() + rect.width());
    const double top = std::ceil(rect.y() + rect.height());
    return {left, bottom, right - left, top - bottom};
}

QRectF unionRect(const QRectF &a, const QRectF &b)
{
    const QRectF na = a.normalized(), nb = b.normalized();
    const double left = std::min(na.x(), nb.x());
    const double bottom = std::min(na.y(), nb.y());
    const double right = std::max(na.x() + na.width(), nb.x() + nb.width());
    const double top = std::max(na.y() + na.height(), nb.y() + nb.height());
    return {left, bottom, right - left, top - bottom};
}

bool rectsEqual(const QRectF &a, const QRectF &b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

bool pointsEqual(QPointF a, QPointF b)
{
    return a.x() == b.x() && a.y() == b.y();
}

} // namespace inkora
