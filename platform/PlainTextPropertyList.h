#pragma once

#include "platform/PropertyList.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace platform {

/// Parses the old plain-text property-list format: { key = value; }, ( a, b ), <0fbd 77>, quoted and bare strings,
/// and // and /* */ comments. Every scalar reads as a QString. Null with the reason in `error` on failure.
[[nodiscard]] QVariant parsePlainTextPropertyList(const QByteArray &data, const PropertyListLimits &limits,
                                                  QString *error);

} // namespace platform
