#include "foundation/SettingValues.h"

#include "platform/Defaults.h"

#include <cmath>

namespace inkora {

double boundedSetting(double value, double previous, std::optional<double> lower, std::optional<double> upper,
                      std::optional<double> nanValue)
{
    if (std::isnan(value))
        return nanValue.value_or(previous);
    if (std::isinf(value)) {
        const std::optional<double> bound = value > 0 ? upper : lower;
        return bound.value_or(previous);
    }
    if (lower && value < *lower)
        return *lower;
    if (upper && value > *upper)
        return *upper;
    return value;
}

bool flagSetting(const platform::Defaults &defaults, const QString &key)
{
    return defaults.integerForKey(key) == 1;
}

bool byteSetting(const platform::Defaults &defaults, const QString &key)
{
    return (defaults.integerForKey(key) & 0xFF) != 0;
}

qint64 boundedIntegerSetting(const platform::Defaults &defaults, const QString &key, qint64 lower, qint64 lowValue,
                             qint64 upper)
{
    const qint64 value = defaults.integerForKey(key);
    if (value < lower)
        return lowValue;
    return value > upper ? upper : value;
}

} // namespace inkora
