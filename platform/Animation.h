#pragma once

#include "platform/TimingFunction.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace platform {

/// The timing shared by every animation of layer properties: duration, begin time, fill mode, repetition,
/// autoreverse, a timing curve and start and stop callbacks. A layer keeps its own copy of an added animation.
/// Times are seconds of the media clock (services().clock->now()).
class Animation
{
public:
    enum class FillMode : int { Removed, Forwards, Backwards, Both };
    using StopCallback = std::function<void(bool finished)>;

    Animation() = default;
    virtual ~Animation();

    [[nodiscard]] virtual std::shared_ptr<Animation> clone() const = 0;

    /// 0 takes the transaction's duration when added (0.25 s unless set); inside a group, the group's duration.
    [[nodiscard]] double duration() const { return m_duration; }
    void setDuration(double seconds) { m_duration = seconds; }
    /// 0 starts the animation when it is added; otherwise an absolute media time (inside a group: seconds after
    /// the group's start).
    [[nodiscard]] double beginTime() const { return m_beginTime; }
    void setBeginTime(double seconds) { m_beginTime = seconds; }
    [[nodiscard]] const TimingFunction &timingFunction() const { return m_timing; }
    void setTimingFunction(const TimingFunction &timing) { m_timing = timing; }
    [[nodiscard]] FillMode fillMode() const { return m_fillMode; }
    void setFillMode(FillMode mode) { m_fillMode = mode; }
    [[nodiscard]] bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool removed) { m_removedOnCompletion = removed; }
    [[nodiscard]] bool autoreverses() const { return m_autoreverses; }
    void setAutoreverses(bool autoreverses) { m_autoreverses = autoreverses; }
    /// 0 plays once; fractions stop part way through a cycle; infinity repeats for ever.
    [[nodiscard]] double repeatCount() const { return m_repeatCount; }
    void setRepeatCount(double count) { m_repeatCount = count; }

    /// Called on the main queue when the animation starts, and when it ends (finished) or is removed first.
    void setDidStart(std::function<void()> callback) { m_didStart = std::move(callback); }
    void setDidStop(StopCallback callback) { m_didStop = std::move(callback); }
    [[nodiscard]] const std::function<void()> &didStart() const { return m_didStart; }
    [[nodiscard]] const StopCallback &didStop() const { return m_didStop; }

    /// Seconds from the start to the end of every repetition; infinity when it repeats for ever.
    [[nodiscard]] double activeDuration() const;
    /// The eased progress through the current cycle at `time` seconds after the start, or nothing when the
    /// animation has no effect then (before its start or after its end without the matching fill mode).
    [[nodiscard]] std::optional<double> progressAt(double time) const;

    /// Changes `value`, the property's value beneath this animation, for the property `key` at `time`
    /// seconds after the start.
    virtual void apply(const QString &key, double time, QVariant &value) const = 0;
    [[nodiscard]] virtual bool animatesKey(const QString &key) const = 0;
    /// Gives durations of 0 the fallback, recursively for groups.
    virtual void resolveDuration(double fallback);

private:
    double m_duration = 0;
    double m_beginTime = 0;
    TimingFunction m_timing;
    FillMode m_fillMode = FillMode::Removed;
    bool m_removedOnCompletion = true;
    bool m_autoreverses = false;
    double m_repeatCount = 0;
    std::function<void()> m_didStart;
    StopCallback m_didStop;
};

/// An animation of one property between two values.
/// Unset values follow the rules: from alone runs to the value beneath; to alone runs from the value beneath
/// (the presentation value); by adds to from or to, or to the value beneath.
class BasicAnimation final : public Animation
{
public:
    explicit BasicAnimation(const QString &keyPath = {}) : m_keyPath(keyPath) {}

    [[nodiscard]] std::shared_ptr<Animation> clone() const override;

    [[nodiscard]] const QString &keyPath() const { return m_keyPath; }
    void setKeyPath(const QString &keyPath) { m_keyPath = keyPath; }
    [[nodiscard]] const QVariant &fromValue() const { return m_from; }
    void setFromValue(const QVariant &value) { m_from = value; }
    [[nodiscard]] const QVariant &toValue() const { return m_to; }
    void setToValue(const QVariant &value) { m_to = value; }
    [[nodiscard]] const QVariant &byValue() const { return m_by; }
    void setByValue(const QVariant &value) { m_by = value; }

    void apply(const QString &key, double time, QVariant &value) const override;
    [[nodiscard]] bool animatesKey(const QString &key) const override { return key == m_keyPath; }

private:
    QString m_keyPath;
    QVariant m_from;
    QVariant m_to;
    QVariant m_by;
};

/// An animation of one property through a list of values, at key times in [0, 1] (evenly spread when unset),
/// each segment optionally with its own timing curve.
class KeyframeAnimation final : public Animation
{
public:
    explicit KeyframeAnimation(const QString &keyPath = {}) : m_keyPath(keyPath) {}

    [[nodiscard]] std::shared_ptr<Animation> clone() const override;

    [[nodiscard]] const QString &keyPath() const { return m_keyPath; }
    void setKeyPath(const QString &keyPath) { m_keyPath = keyPath; }
    [[nodiscard]] const QVariantList &values() const { return m_values; }
    void setValues(const QVariantList &values) { m_values = values; }
    [[nodiscard]] const std::vector<double> &keyTimes() const { return m_keyTimes; }
    /// Ignored unless it has one entry per value.
    void setKeyTimes(const std::vector<double> &keyTimes) { m_keyTimes = keyTimes; }
    [[nodiscard]] const std::vector<TimingFunction> &timingFunctions() const { return m_segmentTiming; }
    /// One per segment (values - 1); ignored otherwise.
    void setTimingFunctions(const std::vector<TimingFunction> &functions) { m_segmentTiming = functions; }

    void apply(const QString &key, double time, QVariant &value) const override;
    [[nodiscard]] bool animatesKey(const QString &key) const override { return key == m_keyPath; }

private:
    QString m_keyPath;
    QVariantList m_values;
    std::vector<double> m_keyTimes;
    std::vector<TimingFunction> m_segmentTiming;
};

/// Animations that run together on the group's time line; a child ends where the group ends at the latest.
class AnimationGroup final : public Animation
{
public:
    AnimationGroup() = default;

    [[nodiscard]] std::shared_ptr<Animation> clone() const override;

    [[nodiscard]] const std::vector<std::shared_ptr<Animation>> &animations() const { return m_animations; }
    void setAnimations(std::vector<std::shared_ptr<Animation>> animations) { m_animations = std::move(animations); }

    void apply(const QString &key, double time, QVariant &value) const override;
    [[nodiscard]] bool animatesKey(const QString &key) const override;
    void resolveDuration(double fallback) override;

private:
    std::vector<std::shared_ptr<Animation>> m_animations;
};

} // namespace platform
