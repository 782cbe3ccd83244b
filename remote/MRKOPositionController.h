#pragma once

#include "platform/Dispatch.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

class MRKODraw;
class QWidget;

/// The phone's air pointer: smooths the phone's pitch and yaw on a 10 ms clock, moves the colour ball of one
/// canvas there and, between draw start and draw end, drags a stroke to it. States: idle (no timer), tracking
/// (timer runs), tracking and drawing (a stroke is open on the canvas). Main thread only.
class MRKOPositionController final : public QObject
{
    Q_OBJECT
public:
    static MRKOPositionController &sharedController();
    ~MRKOPositionController() override;
    Q_DISABLE_COPY_MOVE(MRKOPositionController)

    /// Radians, as the phone sends them; they count from the next tick on.
    void setPitchAndYaw(double pitch, double yaw);
    void startUpdates();
    void stopUpdates();
    [[nodiscard]] bool trackingIsOn() const { return m_isTracking; }
    [[nodiscard]] bool isDrawing() const { return m_isDrawing; }

    [[nodiscard]] MRKODraw *view() const;
    void setView(MRKODraw *view);
    /// The pointer in the view's points (y up), from the filter state; (0, 0) for no view.
    [[nodiscard]] QPointF pointForView(const QWidget *view) const;

    void drawStart();
    void drawEndIfNeeded();
    void undo();
    void redo();
    void toggleInkora();
    void repeat();

    /// One tick of the timer; public so that benchmarks can drive it.
    void timerTick();
    [[nodiscard]] double lastPitch() const { return m_lastPitch; }
    [[nodiscard]] double lastYaw() const { return m_lastYaw; }
    /// Ball moves queued and not yet run: never more than one, the newest point replaces a waiting one.
    [[nodiscard]] int pendingBallMoves() const { return m_pendingMove ? 1 : 0; }

private:
    MRKOPositionController();
    void applyPendingMove();

    platform::RunLoop::TimerId m_timer = 0;
    double m_pitch = 0; // radians, latest from the phone
    double m_yaw = 0;
    double m_lastPitch = 0; // the filter state, held at single precision
    double m_lastYaw = 0;
    bool m_isTracking = false;
    bool m_isDrawing = false;
    double m_updateInterval = 0.01; // seconds
    QPointer<MRKODraw> m_view;      // not owned
    bool m_pendingMove = false;
    QPointF m_pendingPoint;
};
