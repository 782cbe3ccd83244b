#pragma once

#include "foundation/StepAnimation.h"

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

namespace inkora {

/// Moves a top-level window's frame (global points, y up) and alpha from where they are to the given values; the
/// completion runs once at the end, and not when the animation is dropped first. Main thread only.
class WindowAnimation final : public StepAnimation
{
public:
    WindowAnimation(QWidget &window, double duration, std::optional<QRectF> toFrame, std::optional<double> toAlpha,
                    std::function<void()> completion = {});

    void setCurrentProgress(double progress) override;

    /// The frame of a top-level window in global points, y up, and its placement there.
    [[nodiscard]] static QRectF frameOf(const QWidget &window);
    static void setFrame(QWidget &window, const QRectF &frame);

protected:
    void animationDidEnd() override;

private:
    QPointer<QWidget> m_window; // not owned; may go first
    QRectF m_fromFrame;
    std::optional<QRectF> m_toFrame;
    double m_fromAlpha = 1;
    std::optional<double> m_toAlpha;
    std::function<void()> m_completion;
};

} // namespace inkora
