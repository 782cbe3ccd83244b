#include "snapshots/CanvasStandIns.h"

#include "app/AppDelegate.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/MRKODraw.h"
#include "platform/Layer.h"

namespace inkora {

double activeCanvasDisplayScale()
{
    const AppDelegate *app = AppDelegate::shared();
    const MRKODraw *canvas = app ? app->activeDrawView() : nullptr;
    return canvas ? canvas->displayScale() : 0;
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
    MRKOFrontmostApp::beginSaveOperation();
}

void endSaveOperation()
{
    MRKOFrontmostApp::endSaveOperation();
}

} // namespace inkora
