#include "snapshots/CanvasStandIns.h"

#include "platform/Layer.h"

namespace inkora {

double activeCanvasDisplayScale()
{
    // TODO: ask AppDelegate::activeDrawView() once the canvas exists; until then no canvas is active.
    return 0;
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
