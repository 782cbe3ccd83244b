#include "platform/linux/QtOpenPanel.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace platform {

QStringList QtOpenPanel::runModal(const Options &options)
{
    QFileDialog dialog(nullptr, options.message, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (options.canChooseDirectories && !options.canChooseFiles) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(options.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        QStringList patterns;
        for (const QString &type : options.allowedTypes)
            patterns << QStringLiteral("*.") + type;
        if (!patterns.isEmpty())
            dialog.setNameFilter(patterns.join(QLatin1Char(' ')));
    }
    dialog.setOption(QFileDialog::ReadOnly, !options.canCreateDirectories);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace platform
