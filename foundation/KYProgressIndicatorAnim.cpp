#include "foundation/KYProgressIndicatorAnim.h"

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<KYProgressIndicatorAnim> &sharedAnimation()
{
    static std::unique_ptr<KYProgressIndicatorAnim> animation;
    return animation;
}

void setBarValue(QProgressBar &bar, double value)
{
    bar.setValue(int(std::lround(value)));
}

} // namespace

KYProgressIndicatorAnim::KYProgressIndicatorAnim(QProgressBar *progressBar, double newDoubleValue, double duration)
    : StepAnimation(duration, Curve::EaseInOut), m_progInd(progressBar),
      m_initialValue(progressBar ? progressBar->value() : 0), m_newValue(newDoubleValue)
{}

void KYProgressIndicatorAnim::setCurrentProgress(double progress)
{
    StepAnimation::setCurrentProgress(progress);
    if (!m_progInd)
        return;
    setBarValue(*m_progInd, m_initialValue + currentValue() * (m_newValue - m_initialValue));
    if (progress == 1.0)
        AnimateToProgress::removeAnimation(*m_progInd); // destroys this animation: nothing may follow
}

namespace AnimateToProgress {

void animateToProgress(QProgressBar &progressBar, double value, double duration)
{
    std::unique_ptr<KYProgressIndicatorAnim> &animation = sharedAnimation();
    if (animation) {
        setBarValue(progressBar, animation->newValue());
        animation->stopAnimation();
        animation.reset();
    }
    animation = std::make_unique<KYProgressIndicatorAnim>(&progressBar, value, duration);
    animation->startAnimation();
}

void removeAnimation(QProgressBar &)
{
    std::unique_ptr<KYProgressIndicatorAnim> &animation = sharedAnimation();
    if (!animation)
        return;
    animation->stopAnimation();
    animation.reset();
}

const KYProgressIndicatorAnim *currentAnimation()
{
    return sharedAnimation().get();
}

} // namespace AnimateToProgress
