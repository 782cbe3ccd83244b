#include "snapshots/WindowAnimation.h"

#include "platform/Screens.h"

#include <cmath>

namespace inkora {

WindowAnimation::WindowAnimation(QWidget &window, double duration, std::optional<QRectF> toFrame,
                                 std::optional<double> toAlpha, std::function<void()> completion)
    : StepAnimation(duration, Curve::EaseInOut), m_window(&window), m_fromFrame(frameOf(window)), m_toFrame(toFrame),
      m_fromAlpha(window.windowOpacity()), m_toAlpha(toAlpha), m_completion(std::move(completion))
{}

void WindowAnimation::setCurrentProgress(double progress)
{
    StepAnimation::setCurrentProgress(progress);
    if (!m_window)
        return;
    const double v = currentValue();
    if (m_toFrame) {
        const auto mix = [v](double a, double b) { return std::round(a + (b - a) * v); };
        setFrame(*m_window,
                 QRectF(mix(m_fromFrame.x(), m_toFrame->x()), mix(m_fromFrame.y(), m_toFrame->y()),
                        mix(m_fromFrame.width(), m_toFrame->width()), mix(m_fromFrame.height(), m_toFrame->height())));
    }
    if (m_toAlpha)
        m_window->setWindowOpacity(m_fromAlpha + (*m_toAlpha - m_fromAlpha) * v);
}

void WindowAnimation::animationDidEnd()
{
    // The completion may drop this animation.
    const std::function<void()> completion = std::move(m_completion);
    if (completion)
        completion();
}

QRectF WindowAnimation::frameOf(const QWidget &window)
{
    return platform::frameFromQt(window.geometry());
}

void WindowAnimation::setFrame(QWidget &window, const QRectF &frame)
{
    const QRect geometry = platform::qtFromFrame(frame);
    if (window.geometry() != geometry)
        window.setGeometry(geometry);
}

} // namespace inkora
