#pragma once

#include <QString>

#include <optional>

namespace platform {
class Defaults;
}

namespace inkora {

/// The one rule for numeric settings read from the store into live state: a finite value is kept within the
/// bounds that exist; NaN becomes `nanValue` when the setting names one, else the previous value stays; an
/// infinity becomes the bound on its side, else the previous value stays. Integer reads of a non-finite or
/// out-of-range real already read 0 (the store's typed read), so integer settings only need their bounds.
[[nodiscard]] double boundedSetting(double value, double previous, std::optional<double> lower,
                                    std::optional<double> upper, std::optional<double> nanValue = std::nullopt);

/// A flag setting: on exactly when the stored integer is 1 (2 and -1 count as off).
[[nodiscard]] bool flagSetting(const platform::Defaults &defaults, const QString &key);
/// A byte setting: on when the low 8 bits of the stored integer are not all 0.
[[nodiscard]] bool byteSetting(const platform::Defaults &defaults, const QString &key);
/// An integer setting kept within the bounds: values below `lower` become `lowValue`, values above `upper`
/// become `upper`.
[[nodiscard]] qint64 boundedIntegerSetting(const platform::Defaults &defaults, const QString &key, qint64 lower,
                                           qint64 lowValue, qint64 upper);

} // namespace inkora
