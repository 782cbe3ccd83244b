#include "platform/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// One coordinate of the cubic with end points 0 and 1 and control values a and b.
double bezier(double t, double a, double b)
{
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}

double bezierSlope(double t, double a, double b)
{
    const double u = 1 - t;
    return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
}

} // namespace

TimingFunction::TimingFunction(double x1, double y1, double x2, double y2)
    : m_x1(std::clamp(x1, 0.0, 1.0)), m_y1(y1), m_x2(std::clamp(x2, 0.0, 1.0)), m_y2(y2)
{}

TimingFunction TimingFunction::named(Name name)
{
    switch (name) {
    case Linear:
        return {};
    case EaseIn:
        return {0.42, 0, 1, 1};
    case EaseOut:
        return {0, 0, 0.58, 1};
    case EaseInEaseOut:
        return {0.42, 0, 0.58, 1};
    case Default:
        return {0.25, 0.1, 0.25, 1};
    }
    return {};
}

bool TimingFunction::isLinear() const
{
    return m_x1 == m_y1 && m_x2 == m_y2;
}

double TimingFunction::valueAt(double progress) const
{
    if (progress <= 0)
        return 0;
    if (progress >= 1)
        return 1;
    if (isLinear())
        return progress;
    // Solve x(t) = progress: Newton steps, falling back to bisection where the slope is flat.
    double t = progress;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(t, m_x1, m_x2) - progress;
        if (std::abs(error) < 1e-7)
            return bezier(t, m_y1, m_y2);
        const double slope = bezierSlope(t, m_x1, m_x2);
        if (std::abs(slope) < 1e-6)
            break;
        t -= error / slope;
    }
    double low = 0;
    double high = 1;
    t = progress;
    for (int i = 0; i < 60; ++i) {
        const double x = bezier(t, m_x1, m_x2);
        if (std::abs(x - progress) < 1e-9)
            break;
        if (x < progress)
            low = t;
        else
            high = t;
        t = (low + high) / 2;
    }
    return bezier(t, m_y1, m_y2);
}

} // namespace platform
