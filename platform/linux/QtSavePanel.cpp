#include "platform/linux/QtSavePanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QStandardPaths>

namespace platform {

namespace {

QString withExtension(QString path, const QStringList &allowedTypes)
{
    if (path.isEmpty() || allowedTypes.isEmpty())
        return path;
    if (!allowedTypes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
        path += QLatin1Char('.') + allowedTypes.first();
    return path;
}

QString proposedPath(const QString &proposedName, const QStringList &allowedTypes)
{
    QString proposed = proposedName;
    if (!allowedTypes.isEmpty())
        proposed += QLatin1Char('.') + allowedTypes.first();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(proposed);
}

QString patternsOf(const QStringList &allowedTypes)
{
    QStringList patterns;
    for (const QString &type : allowedTypes)
        patterns << QStringLiteral("*.") + type;
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QString QtSavePanel::runModal(const QString &proposedName, const QStringList &allowedTypes)
{
    const QString path = QFileDialog::getSaveFileName(nullptr, QString(), proposedPath(proposedName, allowedTypes),
                                                      patternsOf(allowedTypes));
    return withExtension(path, allowedTypes);
}

QString QtSavePanel::runModalWithCheckBox(const QString &proposedName, const QStringList &allowedTypes,
                                          const QString &checkBoxTitle, bool &checked)
{
    // The check box needs the dialog's own widgets, so the desktop's native dialog is not used here.
    QFileDialog dialog(nullptr, QString(), proposedPath(proposedName, allowedTypes), patternsOf(allowedTypes));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto *box = new QCheckBox(checkBoxTitle, &dialog); // child
    box->setChecked(checked);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    checked = box->isChecked();
    return withExtension(dialog.selectedFiles().constFirst(), allowedTypes);
}

} // namespace platform
