#include "platform/linux/QtAlerts.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

void raiseAboveEverything(QMessageBox &box)
{
    // The overlay covers every display; a dialog must not open beneath it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowModality(Qt::ApplicationModal);
}

} // namespace

bool QtAlerts::presentError(const ErrorReport &error)
{
    QMessageBox box(QMessageBox::Critical, QString(), error.description);
    raiseAboveEverything(box);
    QString details = error.failureReason;
    if (!error.underlyingDescription.isEmpty())
        details += (details.isEmpty() ? QString() : QStringLiteral("\n")) + error.underlyingDescription;
    box.setInformativeText(details);
    box.addButton(QMessageBox::Ok);
    box.exec();
    return false;
}

int QtAlerts::runModal(const AlertContent &alert)
{
    QMessageBox box(QMessageBox::Warning, QString(), alert.message);
    raiseAboveEverything(box);
    box.setInformativeText(alert.informativeText);
    QList<QAbstractButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons.append(box.addButton(title, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    if (buttons.isEmpty())
        buttons.append(box.addButton(QMessageBox::Ok));
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return kFirstButton + int(pressed < 0 ? 0 : pressed);
}

} // namespace platform
