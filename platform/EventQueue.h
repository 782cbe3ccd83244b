#pragma once

#include "platform/Dispatch.h"
#include "platform/Event.h"

#include <deque>
#include <limits>
#include <optional>

class QEvent;
class QWidget;

namespace platform {

/// The process's queue of input events, for loops that take events themselves until a button goes up.
///
/// Qt input is converted here (the one place that tracks the Menu key, which stands in for Function). While a
/// tracking loop runs, views post what they receive instead of handling it, and `nextEventMatchingMask` takes the
/// matching events in order and leaves the others queued; when none is queued it runs Qt's event loop, so input
/// keeps arriving and painting goes on. Tests post scripted events before a press, so a whole stroke runs without
/// a window system. Main thread only.
class EventQueue final
{
public:
    static constexpr quint64 kAnyEventMask = ~quint64(0);
    static constexpr double kDistantFuture = std::numeric_limits<double>::infinity();

    static EventQueue &shared();

    /// Converts a Qt input event received by `receiver` into an event located in the receiver's window (points,
    /// y up); nothing for input without an event type here.
    [[nodiscard]] std::optional<Event> eventFromQtEvent(const QEvent &event, const QWidget &receiver);

    /// Appends the event, or puts it before every queued one. Events left queued while no tracking loop runs are
    /// dropped on the next pass of the main queue: nothing outside a loop reads them, and a stale button-up must
    /// not end the next press at once.
    void postEvent(const Event &event, bool atStart = false);

    /// Takes (or with `dequeue` false, only reads) the first queued event whose type is in the mask. While none is
    /// queued, runs Qt's event loop in the run-loop mode given, until one arrives or the media time `untilDate`
    /// has come; a date already past looks once without waiting. A taken event becomes the current event.
    [[nodiscard]] std::optional<Event> nextEventMatchingMask(quint64 mask, double untilDate = kDistantFuture,
                                                             RunLoop::Mode mode = RunLoop::EventTrackingMode,
                                                             bool dequeue = true);
    void discardEventsMatchingMask(quint64 mask);
    [[nodiscard]] size_t count() const { return m_events.size(); }

    /// The event being handled: the last one taken from the queue or dispatched by a view; null before any.
    [[nodiscard]] const Event *currentEvent() const { return m_current ? &*m_current : nullptr; }
    void setCurrentEvent(const Event &event) { m_current = event; }
    /// The modifier flags of the current event: the state of the modifier keys as input last reported it.
    [[nodiscard]] quint64 currentModifierFlags() const { return m_current ? m_current->modifierFlags : 0; }

    /// Whether a tracking loop runs: views then post their input here.
    [[nodiscard]] bool isTracking() const { return m_trackingDepth > 0; }

    /// Marks a tracking loop for its lifetime. Qt's compression of pointer and tablet events is off meanwhile,
    /// so every sample of a stroke arrives.
    class TrackingScope
    {
    public:
        TrackingScope();
        ~TrackingScope();
        TrackingScope(const TrackingScope &) = delete;
        TrackingScope &operator=(const TrackingScope &) = delete;
    };

private:
    EventQueue() = default;
    void beginTracking();
    void endTracking();
    void scheduleDropIfIdle();

    std::deque<Event> m_events;
    std::optional<Event> m_current;
    int m_trackingDepth = 0;
    bool m_menuKeyDown = false;
    bool m_dropScheduled = false;
    bool m_savedCompressHighFrequency = true;
    bool m_savedCompressTablet = true;
};

} // namespace platform
