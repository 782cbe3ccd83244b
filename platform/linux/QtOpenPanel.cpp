#include "platform/linux/QtOpenPanel.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace platform {

QStringList QtOpenPanel::runModal(const Request &request)
{
    QFileDialog dialog(nullptr, request.message,
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (request.mode == Mode::Directory) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFiles);
        QStringList patterns;
        for (const QString &type : request.allowedTypes)
            patterns << QStringLiteral("*.") + type;
        if (!patterns.isEmpty())
            dialog.setNameFilter(patterns.join(QLatin1Char(' ')));
    }
    dialog.setLabelText(QFileDialog::Accept, request.mode == Mode::Directory ? QStringLiteral("Choose")
                                                                               : QStringLiteral("Open"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace platform
