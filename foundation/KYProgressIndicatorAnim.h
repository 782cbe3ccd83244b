#pragma once

#include "foundation/StepAnimation.h"

#include <QPointer>
#include <QProgressBar>

/// Moves a progress bar from its current value to a new one with an ease-in-out curve, without blocking.
class KYProgressIndicatorAnim final : public inkora::StepAnimation
{
public:
    KYProgressIndicatorAnim(QProgressBar *progressBar, double newDoubleValue, double duration);

    [[nodiscard]] QProgressBar *progInd() const { return m_progInd; }
    [[nodiscard]] double initialValue() const { return m_initialValue; }
    [[nodiscard]] double newValue() const { return m_newValue; }
    /// Sets the bar between the two values; at exactly 1.0 the bar lets go of the animation.
    void setCurrentProgress(double progress) override;

private:
    QPointer<QProgressBar> m_progInd; // may be destroyed first
    double m_initialValue = 0;
    double m_newValue = 0;
};

/// One progress animation for the whole process.
namespace AnimateToProgress {

/// Ends a running animation at its target (on this bar) and animates from there to the value.
void animateToProgress(QProgressBar &progressBar, double value, double duration);
/// Stops and drops the running animation.
void removeAnimation(QProgressBar &progressBar);
/// The running animation; null when none runs.
[[nodiscard]] const KYProgressIndicatorAnim *currentAnimation();

} // namespace AnimateToProgress
