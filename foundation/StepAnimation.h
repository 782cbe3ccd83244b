#pragma once

#include "platform/Dispatch.h"

#include <memory>

namespace inkora {

/// A value animation that steps on the main run loop (in every mode) at 60 frames a second, measured by the
/// media clock: subclasses turn each progress step into a change of their own. Main thread only.
class StepAnimation
{
public:
    enum class Curve : int { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };

    StepAnimation(double duration, Curve curve);
    virtual ~StepAnimation();
    StepAnimation(const StepAnimation &) = delete;
    StepAnimation &operator=(const StepAnimation &) = delete;

    void startAnimation();
    /// Stops without reaching the end; animationDidEnd is not called.
    void stopAnimation();
    [[nodiscard]] bool isAnimating() const { return m_timer != 0; }
    [[nodiscard]] double duration() const { return m_duration; }
    /// Linear progress, 0 to 1.
    [[nodiscard]] double currentProgress() const { return m_progress; }
    /// The progress mapped through the curve.
    [[nodiscard]] double currentValue() const;
    virtual void setCurrentProgress(double progress);

protected:
    /// After the last step, once the animation has reached its end.
    virtual void animationDidEnd() {}

private:
    void step();

    double m_duration = 0; // seconds
    Curve m_curve = Curve::EaseInOut;
    double m_progress = 0;
    double m_startTime = 0; // media time
    platform::RunLoop::TimerId m_timer = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // expires with the animation
};

} // namespace inkora
