#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

/// Runs the external readers that check what we write: Debian's python3-psd-tools and ImageMagick.
namespace readers {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

[[nodiscard]] Result run(const QString &program, const QStringList &arguments);

/// Opens a PSD with psd-tools and describes its tree; each pixel layer is saved as "<name>.png" and the stored
/// composite as "composite.png" in `pngFolder`. An empty object when psd-tools could not read the file (the
/// reason goes to `error`).
[[nodiscard]] QJsonObject psdTools(const QString &psdPath, const QString &pngFolder, QString *error);

} // namespace readers
