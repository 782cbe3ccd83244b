#pragma once

#include <QPointF>

namespace platform {

/// Maps an animation's linear progress to eased progress along a cubic curve from (0, 0) to (1, 1).
/// The control points' y may leave [0, 1] (overshoot); their x is kept inside [0, 1] so time never runs back.
class TimingFunction
{
public:
    enum Name : int { Linear, EaseIn, EaseOut, EaseInEaseOut, Default };

    TimingFunction() = default; // linear
    TimingFunction(double x1, double y1, double x2, double y2);
    [[nodiscard]] static TimingFunction named(Name name);

    [[nodiscard]] double valueAt(double progress) const;
    [[nodiscard]] QPointF controlPoint1() const { return {m_x1, m_y1}; }
    [[nodiscard]] QPointF controlPoint2() const { return {m_x2, m_y2}; }
    [[nodiscard]] bool isLinear() const;

    friend bool operator==(const TimingFunction &, const TimingFunction &) = default;

private:
    double m_x1 = 0;
    double m_y1 = 0;
    double m_x2 = 1;
    double m_y2 = 1;
};

} // namespace platform
