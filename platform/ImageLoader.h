#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

/// Reads pictures: files and bytes that come from outside (PNG, JPEG and the other formats Qt reads), under
/// an allocation limit so a crafted header cannot claim gigabytes; and named pictures compiled in as Qt
/// resources, with "@2x" variants for double-density screens.
class ImageLoader
{
public:
    static constexpr int kAllocationLimitMB = 256; // one decoded picture, in megabytes

    /// Null with one log line when the file is missing, damaged or too large.
    [[nodiscard]] static QImage readImageFile(const QString &path);
    /// `format` ("png", "jpeg") or empty to guess from the bytes. Null with one log line on failure.
    [[nodiscard]] static QImage readImageData(const QByteArray &data, const QByteArray &format = {});

    /// The resource ":/images/<name>" (".png" added when the name has no suffix); at a scale of 2 or more its
    /// "@2x" variant when there is one, with a device pixel ratio of 2. Null with one log line when missing.
    [[nodiscard]] static QImage namedImage(const QString &name, double scale = 1.0);
};

} // namespace platform
