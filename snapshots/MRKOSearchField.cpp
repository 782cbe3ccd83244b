#include "snapshots/MRKOSearchField.h"

#include "foundation/MRKOUtils.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"

#include <QKeyEvent>

MRKOSearchField::MRKOSearchField(QWidget *parent) : QLineEdit(parent)
{
    setPlaceholderText(QStringLiteral("Search"));
    setClearButtonEnabled(true);
    setFocusPolicy(Qt::ClickFocus);
    connect(this, &QLineEdit::textChanged, this, &MRKOSearchField::textDidChange);
}

void MRKOSearchField::startEditingUnregisterKeys()
{
    m_editing = true;
    MRKOSnapshotManager::sharedSnapshotManager().setSnapshotNameEditing(true);
    if (MRKOSnapshotPanel::panelHasInit())
        MRKOSnapshotPanel::sharedSnapshotPanel().makeKeyWindow();
    MRKOUtils::unregisterKeysForTypingIfNeeded();
}

void MRKOSearchField::finalizeEditingRegisterKeys()
{
    if (!m_editing)
        return;
    m_editing = false;
    MRKOSnapshotManager::sharedSnapshotManager().setSnapshotNameEditing(false);
    MRKOUtils::registerKeysForTypingIfNeeded();
}

void MRKOSearchField::deselectAllText()
{
    if (hasSelectedText())
        setCursorPosition(0);
}

void MRKOSearchField::cancelSearch()
{
    clear();
}

void MRKOSearchField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    startEditingUnregisterKeys();
}

void MRKOSearchField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    finalizeEditingRegisterKeys();
}

void MRKOSearchField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        clear();
        clearFocus();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        clearFocus();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void MRKOSearchField::textDidChange(const QString &text)
{
    if (!m_searching && !text.isEmpty()) {
        m_searching = true;
        emit searchFieldDidStartSearching();
    }
    if (m_searching && text.isEmpty()) {
        m_searching = false;
        emit searchFieldDidEndSearching();
    }
    emit searchAction();
}
