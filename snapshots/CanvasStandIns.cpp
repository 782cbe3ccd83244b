#include "snapshots/CanvasStandIns.h"

#include "platform/Layer.h"

#include <cmath>

namespace inkora {

double activeCanvasDisplayScale()
{
    // TODO: ask AppDelegate::activeDrawView() once the canvas exists; until then no canvas is active.
    return 0;
}

QRectF whiteboardRect(const QRectF &rect, quint64 layout)
{
    const double w = rect.width();
    const double h = rect.height();
    const double hw = std::floor(w * 0.5);
    const double hh = std::floor(h * 0.5);
    const double right = rect.x() + w - hw; // maxX - hw
    const double top = rect.y() + h - hh;   // maxY - hh
    switch (layout) {
    case 1:
        return {0, 0, hw, h};
    case 2:
        return {right, 0, hw, h};
    case 3:
        return {0, top, w, hh};
    case 4:
        return {0, 0, w, hh};
    case 5:
        return {0, top, hw, hh};
    case 6:
        return {right, top, hw, hh};
    case 7:
        return {0, 0, hw, hh};
    case 8:
        return {right, 0, hw, hh};
    default:
        return rect;
    }
}

QColor whiteboardColorForType(qint64 colorType)
{
    switch (colorType) {
    case 0:
        return QColor::fromRgbF(1, 1, 1);
    case 1:
        return QColor::fromRgbF(0.2f, 0.2f, 0.2f);
    default:
        return QColor::fromRgbF(0, 0, 0);
    }
}

void enableDrawingsShadow(platform::Layer &layer, double scale)
{
    if (!(scale > 0))
        scale = 1.0;
    layer.setShadowColor(QColor(0, 0, 0));
    layer.setShadowOpacity(1.0);
    layer.setShadowRadius(2 * scale);
    layer.setShadowOffset(QPointF(0, -scale));
}

void beginSaveOperation()
{
    // TODO: hand over to MRKOFrontmostApp once the shell has it (overlay to the floating level, command shortcuts
    // unbound); until then there is no overlay to move.
}

void endSaveOperation()
{
    // TODO: as beginSaveOperation.
}

} // namespace inkora
