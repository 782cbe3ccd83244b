#include "tools/CanvasUnderPointer.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "platform/Event.h"

#include <QCursor>
#include <QWidget>

namespace inkora {

void passMouseMovedToCanvasUnderPointer()
{
    AppDelegate *app = AppDelegate::shared();
    MRKOWindowController *controller = app ? app->windowControllerForMouseLocation() : nullptr;
    MRKODraw *canvas = controller ? controller->drawView() : nullptr;
    if (!canvas)
        return;
    const QPointF local = canvas->mapFromGlobal(QCursor::pos());
    platform::Event event;
    event.type = platform::EventType::MouseMoved;
    event.locationInWindow = QPointF(local.x(), canvas->height() - local.y());
    canvas->mouseMoved(event);
}

} // namespace inkora
