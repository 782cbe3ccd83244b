#include "platform/linux/QtSavePanel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString QtSavePanel::runModal(const QString &proposedName, const QStringList &allowedTypes)
{
    QStringList patterns;
    for (const QString &type : allowedTypes)
        patterns << QStringLiteral("*.") + type;
    QString proposed = proposedName;
    if (!allowedTypes.isEmpty())
        proposed += QLatin1Char('.') + allowedTypes.first();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(nullptr, QString(), QDir(folder).filePath(proposed),
                                                patterns.join(QLatin1Char(' ')));
    if (path.isEmpty() || allowedTypes.isEmpty())
        return path;
    if (!allowedTypes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
        path += QLatin1Char('.') + allowedTypes.first();
    return path;
}

} // namespace platform
