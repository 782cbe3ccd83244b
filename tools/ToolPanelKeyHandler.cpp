#include "tools/ToolPanelKeyHandler.h"

#include "platform/EventQueue.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <QEvent>
#include <QWidget>

namespace inkora {

ToolPanelKeyHandler::ToolPanelKeyHandler(QObject *parent) : QObject(parent) {}

bool ToolPanelKeyHandler::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto converted =
        platform::EventQueue::shared().eventFromQtEvent(*event, *static_cast<const QWidget *>(watched));
    if (!converted || converted->type != platform::EventType::KeyDown)
        return false;
    return KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent(*converted);
}

} // namespace inkora
