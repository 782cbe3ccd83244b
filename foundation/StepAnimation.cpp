#include "foundation/StepAnimation.h"

#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/TimingFunction.h"

#include <algorithm>
#include <memory>

namespace inkora {

namespace {

constexpr double kFrameInterval = 1.0 / 60.0; // seconds

double mediaTime()
{
    return platform::services().clock->now();
}

} // namespace

StepAnimation::StepAnimation(double duration, Curve curve) : m_duration(std::max(duration, 0.0)), m_curve(curve) {}

StepAnimation::~StepAnimation()
{
    stopAnimation();
}

void StepAnimation::startAnimation()
{
    if (isAnimating())
        return;
    m_startTime = mediaTime() - m_progress * m_duration;
    m_timer = platform::RunLoop::main().schedule(
        kFrameInterval, [this] { step(); }, platform::RunLoop::CommonModes, kFrameInterval);
}

void StepAnimation::stopAnimation()
{
    if (m_timer == 0)
        return;
    platform::RunLoop::main().cancel(m_timer);
    m_timer = 0;
}

double StepAnimation::currentValue() const
{
    platform::TimingFunction::Name name = platform::TimingFunction::Linear;
    switch (m_curve) {
    case Curve::EaseInOut:
        name = platform::TimingFunction::EaseInEaseOut;
        break;
    case Curve::EaseIn:
        name = platform::TimingFunction::EaseIn;
        break;
    case Curve::EaseOut:
        name = platform::TimingFunction::EaseOut;
        break;
    case Curve::Linear:
        break;
    }
    return platform::TimingFunction::named(name).valueAt(m_progress);
}

void StepAnimation::setCurrentProgress(double progress)
{
    m_progress = std::clamp(progress, 0.0, 1.0);
}

void StepAnimation::step()
{
    const double progress = m_duration > 0 ? (mediaTime() - m_startTime) / m_duration : 1.0;
    const bool done = progress >= 1.0;
    if (done)
        stopAnimation();
    // The last step may drop the animation (a progress bar lets go of it at 1.0).
    const std::weak_ptr<bool> alive = m_alive;
    setCurrentProgress(std::min(progress, 1.0));
    if (done && !alive.expired())
        animationDidEnd();
}

} // namespace inkora
