#include "snapshots/MRKOSnapshotNameField.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"

#include <QKeyEvent>

MRKOSnapshotNameField::MRKOSnapshotNameField(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::ClickFocus);
    setReadOnly(true);
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; color: rgb(230, 230, 230); }"
                                 "QLineEdit:focus { background: rgba(0, 0, 0, 120); }"));
}

void MRKOSnapshotNameField::setShownName(const QString &name)
{
    m_shownName = name;
    if (!m_editing)
        setText(name);
}

void MRKOSnapshotNameField::startEditingUnregisterKeys()
{
    if (m_editing)
        return;
    m_editing = true;
    setReadOnly(false);
    MRKOSnapshotManager::sharedSnapshotManager().setSnapshotNameEditing(true);
    if (MRKOSnapshotPanel::panelHasInit())
        MRKOSnapshotPanel::sharedSnapshotPanel().makeKeyWindow();
    MRKOUtils::unregisterKeysForTypingIfNeeded();
    setFocus(Qt::MouseFocusReason);
    selectAll();
}

void MRKOSnapshotNameField::finalizeEditingRegisterKeys()
{
    MRKOSnapshotManager::sharedSnapshotManager().setSnapshotNameEditing(false);
    MRKOUtils::registerKeysForTypingIfNeeded();
    if (MRKOSnapshotPanel::panelHasInit())
        MRKOSnapshotPanel::sharedSnapshotPanel().updateAcceptsFocus();
}

void MRKOSnapshotNameField::endEditing(bool commit)
{
    if (!m_editing)
        return;
    m_editing = false;
    setReadOnly(true);
    const QString typed = text();
    setText(m_shownName);
    deselectAllText();
    if (hasFocus())
        clearFocus();
    if (commit)
        emit nameFieldChanged(typed);
    finalizeEditingRegisterKeys();
}

void MRKOSnapshotNameField::cancelOperation()
{
    endEditing(false);
}

void MRKOSnapshotNameField::deselectAllText()
{
    if (hasSelectedText())
        setSelection(0, 0);
}

void MRKOSnapshotNameField::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    startEditingUnregisterKeys();
    QLineEdit::mousePressEvent(event);
}

void MRKOSnapshotNameField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        endEditing(true);
        return;
    case Qt::Key_Escape:
        cancelOperation();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void MRKOSnapshotNameField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Leaving the field ends the edit as Return does.
    endEditing(true);
}
