#include "platform/EventQueue.h"

#include "platform/Clock.h"
#include "platform/PlatformLog.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QTabletEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform {

EventQueue &EventQueue::shared()
{
    static EventQueue queue;
    return queue;
}

std::optional<Event> EventQueue::eventFromQtEvent(const QEvent &event, const QWidget &receiver)
{
    const QWidget *window = receiver.window();
    EventContext context;
    context.viewHeight = receiver.height();
    context.windowNumber = qint64(window->effectiveWinId());
    context.menuKeyDown = m_menuKeyDown;

    std::optional<Event> result;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        result = eventFromQt(static_cast<const QMouseEvent &>(event), context);
        break;
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity:
        result = eventFromQt(static_cast<const QTabletEvent &>(event), context);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto &key = static_cast<const QKeyEvent &>(event);
        result = eventFromQt(key, context);
        if (key.key() == Qt::Key_Menu && !key.isAutoRepeat())
            m_menuKeyDown = event.type() == QEvent::KeyPress;
        break;
    }
    case QEvent::Wheel:
        result = eventFromQt(static_cast<const QWheelEvent &>(event), context);
        break;
    case QEvent::NativeGesture:
        result = eventFromQt(static_cast<const QNativeGestureEvent &>(event), context);
        break;
    default:
        break;
    }
    if (result && window != &receiver) {
        // Positions came relative to the receiver; the event's location is in its window, y up.
        const QPoint origin = receiver.mapTo(window, QPoint(0, 0));
        result->locationInWindow += QPointF(origin.x(), window->height() - (origin.y() + receiver.height()));
    }
    return result;
}

void EventQueue::postEvent(const Event &event, bool atStart)
{
    if (atStart)
        m_events.push_front(event);
    else
        m_events.push_back(event);
    scheduleDropIfIdle();
}

std::optional<Event> EventQueue::nextEventMatchingMask(quint64 mask, double untilDate, RunLoop::Mode mode, bool dequeue)
{
    TrackingScope tracking;
    bool lookedOnce = false;
    for (;;) {
        const auto found = std::find_if(m_events.begin(), m_events.end(),
                                        [mask](const Event &e) { return (mask & eventMask(e.type)) != 0; });
        if (found != m_events.end()) {
            const Event event = *found;
            if (dequeue) {
                m_events.erase(found);
                m_current = event;
            }
            return event;
        }
        if (!QCoreApplication::instance() || lookedOnce)
            return std::nullopt;

        const double now = services().clock->now();
        RunLoop::main().pushMode(mode);
        if (untilDate <= now) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            lookedOnce = true;
        } else {
            // Waiting for more events also wakes for the run loop's timers and the main queue's posts.
            QTimer deadline;
            bool timedOut = false;
            if (std::isfinite(untilDate)) {
                deadline.setSingleShot(true);
                QObject::connect(&deadline, &QTimer::timeout, [&timedOut] { timedOut = true; });
                deadline.start(int(std::ceil((untilDate - now) * 1000.0)));
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            lookedOnce = timedOut;
        }
        RunLoop::main().popMode();
    }
}

void EventQueue::discardEventsMatchingMask(quint64 mask)
{
    std::erase_if(m_events, [mask](const Event &e) { return (mask & eventMask(e.type)) != 0; });
}

void EventQueue::beginTracking()
{
    if (m_trackingDepth++ > 0)
        return;
    m_savedCompressHighFrequency = QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents);
    m_savedCompressTablet = QCoreApplication::testAttribute(Qt::AA_CompressTabletEvents);
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
}

void EventQueue::endTracking()
{
    if (m_trackingDepth == 0) {
        qCWarning(lcPlatform) << "EventQueue::endTracking: no tracking loop to end";
        return;
    }
    if (--m_trackingDepth > 0)
        return;
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, m_savedCompressHighFrequency);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, m_savedCompressTablet);
    scheduleDropIfIdle();
}

void EventQueue::scheduleDropIfIdle()
{
    if (isTracking() || m_dropScheduled || m_events.empty())
        return;
    m_dropScheduled = true;
    DispatchQueue::main().async([this] {
        m_dropScheduled = false;
        if (isTracking() || m_events.empty())
            return;
        qCDebug(lcPlatform) << "EventQueue: dropped" << m_events.size() << "events left outside a tracking loop";
        m_events.clear();
    });
}

EventQueue::TrackingScope::TrackingScope()
{
    shared().beginTracking();
}

EventQueue::TrackingScope::~TrackingScope()
{
    shared().endTracking();
}

} // namespace platform
