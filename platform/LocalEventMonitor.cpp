#include "platform/LocalEventMonitor.h"

#include "platform/EventQueue.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// The types a Qt event may become, so that nothing else is converted.
quint64 possibleTypes(QEvent::Type type)
{
    constexpr quint64 mouse = eventMask(EventType::LeftMouseDown) | eventMask(EventType::LeftMouseUp) |
                              eventMask(EventType::RightMouseDown) | eventMask(EventType::RightMouseUp) |
                              eventMask(EventType::MouseMoved) | eventMask(EventType::LeftMouseDragged) |
                              eventMask(EventType::RightMouseDragged);
    switch (type) {
    case QEvent::Wheel:
        return eventMask(EventType::ScrollWheel);
    case QEvent::NativeGesture:
        return eventMask(EventType::Magnify) | eventMask(EventType::SmartMagnify);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return mouse;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return eventMask(EventType::KeyDown) | eventMask(EventType::KeyUp) | eventMask(EventType::FlagsChanged);
    default:
        return 0;
    }
}

} // namespace

LocalEventMonitor::LocalEventMonitor(quint64 mask, Handler handler) : m_mask(mask), m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

LocalEventMonitor::~LocalEventMonitor() = default;

bool LocalEventMonitor::ownWindowTakesPointerAt(QPoint qtGlobal)
{
    const QWidget *widget = QApplication::widgetAt(qtGlobal);
    if (!widget)
        return false;
    const QWidget *window = widget->window();
    if (window->testAttribute(Qt::WA_TransparentForMouseEvents))
        return false;
    const QWindow *handle = window->windowHandle();
    const Qt::WindowFlags flags = handle ? handle->flags() : window->windowFlags();
    return !(flags & Qt::WindowTransparentForInput);
}

bool LocalEventMonitor::eventFilter(QObject *watched, QEvent *event)
{
    // Each input event reaches its window once, and then every widget on its way: look at it at the window.
    if (!(possibleTypes(event->type()) & m_mask))
        return false;
    auto *window = qobject_cast<QWindow *>(watched);
    if (!window || !m_handler)
        return false;
    QWidget *receiver = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window) {
            receiver = top;
            break;
        }
    }
    if (!receiver)
        return false;
    const auto converted = EventQueue::shared().eventFromQtEvent(*event, *receiver);
    if (!converted || !(m_mask & eventMask(converted->type)))
        return false;
    const Handler handler = m_handler; // the monitor may go inside the call
    return handler(*converted);
}

} // namespace platform
