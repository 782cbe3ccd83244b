#pragma once

#include "platform/Event.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace platform {

/// Input that reaches any window of ours, seen once per event before the window's widgets get it. The handler
/// answers whether it swallows the event. Removed when destroyed. Main thread.
class LocalEventMonitor final : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<bool(const Event &event)>;

    /// `mask`: eventMask() bits of the types wanted; events of other types pass untouched.
    LocalEventMonitor(quint64 mask, Handler handler);
    ~LocalEventMonitor() override;

    /// Whether a window of ours that takes the pointer lies at the point (Qt's global coordinates): input there
    /// reaches local monitors, so watchers of raw input leave it to them.
    [[nodiscard]] static bool ownWindowTakesPointerAt(QPoint qtGlobal);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    quint64 m_mask = 0;
    Handler m_handler;
};

} // namespace platform
