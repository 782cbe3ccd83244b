#include "tools/ToolPanelKeyHandler.h"

#include "platform/EventQueue.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <QEvent>
#include <QWidget>

namespace inkora {

ToolPanelKeyHandler::ToolPanelKeyHandler(QObject *parent)
    : ToolPanelKeyHandler(&KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent, parent)
{}

ToolPanelKeyHandler::ToolPanelKeyHandler(KeyDown keyDown, QObject *parent)
    : QObject(parent), m_keyDown(std::move(keyDown))
{}

bool ToolPanelKeyHandler::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto converted =
        platform::EventQueue::shared().eventFromQtEvent(*event, *static_cast<const QWidget *>(watched));
    if (!converted || converted->type != platform::EventType::KeyDown)
        return false;
    return m_keyDown(*converted);
}

} // namespace inkora
