#include "platform/linux/QtOpenPanel.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace platform {

QStringList QtOpenPanel::runModal(const Request &request)
{
    QFileDialog dialog(nullptr, request.message, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (request.chooseDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(request.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        QStringList patterns;
        for (const QString &type : request.allowedTypes)
            patterns << QStringLiteral("*.") + type;
        if (!patterns.isEmpty())
            dialog.setNameFilter(patterns.join(QLatin1Char(' ')));
    }
    dialog.setOption(QFileDialog::ReadOnly, !request.canCreateDirectories);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace platform
