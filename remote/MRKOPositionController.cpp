#include "remote/MRKOPositionController.h"

#include "canvas/MRKODraw.h"
#include "remote/RemoteNeighbours.h"

#include <QWidget>

#include <cmath>
#include <numbers>

namespace {

constexpr double kTimeConstant = 0.05; // seconds of the low-pass filter
constexpr double kPitchScale = 6.0;
constexpr double kYawScale = -4.0; // negative: the phone turning right moves the pointer right on screen

} // namespace

MRKOPositionController &MRKOPositionController::sharedController()
{
    static MRKOPositionController *const s_shared = new MRKOPositionController; // lives for the process
    return *s_shared;
}

MRKOPositionController::MRKOPositionController() = default;

MRKOPositionController::~MRKOPositionController()
{
    platform::RunLoop::main().cancel(m_timer);
}

void MRKOPositionController::setPitchAndYaw(double pitch, double yaw)
{
    m_pitch = pitch;
    m_yaw = yaw;
}

void MRKOPositionController::startUpdates()
{
    if (m_isTracking)
        stopUpdates();
    m_isTracking = true;
    m_timer = platform::RunLoop::main().schedule(
        m_updateInterval,
        [self = QPointer<MRKOPositionController>(this)] {
            if (self)
                self->timerTick();
        },
        platform::RunLoop::DefaultMode, m_updateInterval);
}

void MRKOPositionController::stopUpdates()
{
    m_isTracking = false;
    platform::RunLoop::main().cancel(m_timer);
    m_timer = 0;
    drawEndIfNeeded();
}

MRKODraw *MRKOPositionController::view() const
{
    return m_view;
}

void MRKOPositionController::setView(MRKODraw *view)
{
    if (m_isTracking && m_view)
        m_view->hideBall();
    m_view = view;
    if (!view)
        return;
    view->colorBallNeedUpdate();
    view->showBall();
}

QPointF MRKOPositionController::pointForView(const QWidget *view) const
{
    const double width = view ? view->width() : 0;
    const double height = view ? view->height() : 0;
    return {(m_lastYaw + std::numbers::pi / 2) * width / std::numbers::pi,
            (m_lastPitch + std::numbers::pi / 2) * height / std::numbers::pi};
}

void MRKOPositionController::drawStart()
{
    drawEndIfNeeded();
    if (!m_isTracking)
        return;
    m_isDrawing = true;
    if (m_view)
        m_view->simulateMouseDown();
}

void MRKOPositionController::drawEndIfNeeded()
{
    if (!m_isDrawing)
        return;
    m_isDrawing = false;
    if (m_view)
        m_view->simulateMouseUp();
}

void MRKOPositionController::undo()
{
    drawEndIfNeeded();
    inkora::remoteNeighbours().undoWithEvent();
}

void MRKOPositionController::redo()
{
    drawEndIfNeeded();
    inkora::remoteNeighbours().redoWithEvent();
}

void MRKOPositionController::toggleInkora()
{
    drawEndIfNeeded();
    inkora::remoteNeighbours().toggleInkora();
}

void MRKOPositionController::repeat()
{
    drawEndIfNeeded();
    inkora::remoteNeighbours().repeatLayer();
}

void MRKOPositionController::timerTick()
{
    const double dt = m_updateInterval;
    const double alpha = dt / (kTimeConstant + dt);
    const double p = m_pitch * kPitchScale;
    const double q = m_yaw * kYawScale;
    const double lastPitch = float(m_lastPitch);
    const double lastYaw = float(m_lastYaw);
    const double pitch = float(alpha * p + (1 - alpha) * lastPitch);
    const double yaw = float(alpha * q + (1 - alpha) * lastYaw);
    const double width = m_view ? m_view->width() : 0;
    const double height = m_view ? m_view->height() : 0;
    const double x = (yaw + std::numbers::pi / 2) * width / std::numbers::pi;
    const double y = (pitch + std::numbers::pi / 2) * height / std::numbers::pi;
    m_lastPitch = pitch;
    m_lastYaw = yaw;
    if (std::isnan(x) || std::isnan(y) || !m_view)
        return;
    // A main thread that falls behind keeps one move waiting, always to the newest point.
    m_pendingPoint = QPointF(x, y);
    if (m_pendingMove)
        return;
    m_pendingMove = true;
    platform::DispatchQueue::main().async([self = QPointer<MRKOPositionController>(this)] {
        if (self)
            self->applyPendingMove();
    });
}

void MRKOPositionController::applyPendingMove()
{
    m_pendingMove = false;
    if (!m_view)
        return;
    m_view->setBallPosition(m_pendingPoint);
    if (m_isDrawing)
        m_view->simulateMouseDragged();
}
