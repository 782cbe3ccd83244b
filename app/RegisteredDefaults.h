#pragma once

#include <QVariantMap>

namespace inkora {

/// The 62 default settings every launch registers before the first read, each with the number kind its readers
/// expect (a float default reads back through the double accessor as the float widened).
[[nodiscard]] QVariantMap registeredDefaultSettings();

} // namespace inkora
