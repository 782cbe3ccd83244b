#pragma once

#include "platform/PropertyList.h"

#include <QByteArray>
#include <QString>

namespace platform {

/// Checks a binary property list's structure without building it: header, trailer and offsets inside the data,
/// no cycles, nesting and value count (shared objects counted at every use) within the limits.
/// Empty when it passes, otherwise the reason.
[[nodiscard]] QString checkBinaryPropertyList(const QByteArray &data, const PropertyListLimits &limits);

/// Checks the element nesting and count of an XML property list before the XML parser sees it.
[[nodiscard]] QString checkXmlPropertyList(const QByteArray &data, const PropertyListLimits &limits);

} // namespace platform
