#include "objects/ObjectGeometry.h"

namespace inkora {

bool rectsEqual(const QRectF &a, const QRectF &b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

bool pointsEqual(QPointF a, QPointF b)
{
    return a.x() == b.x() && a.y() == b.y();
}

} // namespace inkora
