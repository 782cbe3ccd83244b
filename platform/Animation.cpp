#include "platform/Animation.h"

#include "platform/AnimationValue.h"

#include <cmath>
#include <limits>

namespace platform {

Animation::~Animation() = default;

double Animation::activeDuration() const
{
    if (std::isinf(m_repeatCount))
        return std::numeric_limits<double>::infinity();
    const double repeats = m_repeatCount > 0 ? m_repeatCount : 1.0;
    return m_duration * repeats * (m_autoreverses ? 2 : 1);
}

std::optional<double> Animation::progressAt(double time) const
{
    if (m_duration <= 0)
        return std::nullopt;
    const bool fillsBackwards = m_fillMode == FillMode::Backwards || m_fillMode == FillMode::Both;
    const bool fillsForwards = m_fillMode == FillMode::Forwards || m_fillMode == FillMode::Both;
    if (time < 0) {
        if (!fillsBackwards)
            return std::nullopt;
        return m_timing.valueAt(0);
    }
    const double active = activeDuration();
    const double cycle = m_duration * (m_autoreverses ? 2 : 1);
    double phase = 0;
    if (time >= active) {
        // The end itself still belongs to the animation, so a group that holds its end holds its children's.
        if (time > active && !fillsForwards)
            return std::nullopt;
        // The state at the very end: a whole number of cycles ends where a cycle ends.
        phase = std::fmod(active, cycle);
        if (phase == 0)
            phase = cycle;
    } else {
        phase = std::fmod(time, cycle);
    }
    double progress = phase / m_duration;
    if (progress > 1)
        progress = 2 - progress; // the reverse half of an autoreversing cycle
    return m_timing.valueAt(progress);
}

void Animation::resolveDuration(double fallback)
{
    if (m_duration <= 0)
        m_duration = fallback;
}

std::shared_ptr<Animation> BasicAnimation::clone() const
{
    return std::make_shared<BasicAnimation>(*this);
}

void BasicAnimation::apply(const QString &key, double time, QVariant &value) const
{
    if (key != m_keyPath)
        return;
    const std::optional<double> progress = progressAt(time);
    if (!progress)
        return;
    QVariant from = value;
    QVariant to = value;
    if (m_from.isValid() && m_to.isValid()) {
        from = m_from;
        to = m_to;
    } else if (m_from.isValid() && m_by.isValid()) {
        from = m_from;
        to = addValues(m_from, m_by);
    } else if (m_by.isValid() && m_to.isValid()) {
        // to - by, for the types that add; the others start at the value beneath
        from = interpolateValues(m_to, addValues(m_to, m_by), -1.0);
        to = m_to;
    } else if (m_from.isValid()) {
        from = m_from;
    } else if (m_to.isValid()) {
        to = m_to;
    } else if (m_by.isValid()) {
        to = addValues(value, m_by);
    }
    value = interpolateValues(from, to, *progress);
}

std::shared_ptr<Animation> KeyframeAnimation::clone() const
{
    return std::make_shared<KeyframeAnimation>(*this);
}

void KeyframeAnimation::apply(const QString &key, double time, QVariant &value) const
{
    if (key != m_keyPath || m_values.isEmpty())
        return;
    const std::optional<double> progress = progressAt(time);
    if (!progress)
        return;
    const qsizetype count = m_values.size();
    if (count == 1) {
        value = m_values.front();
        return;
    }
    const bool ownTimes = qsizetype(m_keyTimes.size()) == count;
    auto keyTime = [&](qsizetype i) { return ownTimes ? m_keyTimes[size_t(i)] : double(i) / double(count - 1); };
    const double p = *progress;
    if (p <= keyTime(0)) {
        value = m_values.front();
        return;
    }
    if (p >= keyTime(count - 1)) {
        value = m_values.back();
        return;
    }
    qsizetype i = 0;
    while (i < count - 2 && p >= keyTime(i + 1))
        ++i;
    const double start = keyTime(i);
    const double span = keyTime(i + 1) - start;
    double fraction = span > 0 ? (p - start) / span : 1.0;
    if (qsizetype(m_segmentTiming.size()) == count - 1)
        fraction = m_segmentTiming[size_t(i)].valueAt(fraction);
    value = interpolateValues(m_values[i], m_values[i + 1], fraction);
}

std::shared_ptr<Animation> AnimationGroup::clone() const
{
    auto copy = std::make_shared<AnimationGroup>(*this);
    for (auto &child : copy->m_animations)
        child = child->clone();
    return copy;
}

void AnimationGroup::apply(const QString &key, double time, QVariant &value) const
{
    const std::optional<double> progress = progressAt(time);
    if (!progress)
        return;
    const double groupTime = *progress * duration();
    for (const auto &child : m_animations) {
        // A child never outlives the group: past the group's end it holds its state at that end.
        const double childTime = std::min(groupTime, duration()) - child->beginTime();
        child->apply(key, childTime, value);
    }
}

bool AnimationGroup::animatesKey(const QString &key) const
{
    for (const auto &child : m_animations)
        if (child->animatesKey(key))
            return true;
    return false;
}

void AnimationGroup::resolveDuration(double fallback)
{
    Animation::resolveDuration(fallback);
    for (const auto &child : m_animations)
        child->resolveDuration(duration());
}

} // namespace platform
