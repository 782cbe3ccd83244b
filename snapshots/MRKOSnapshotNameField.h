#pragma once

#include <QLineEdit>

/// The in-place name editor of a browser item. Editing begins with a click; Return ends it and renames, Escape
/// abandons it, leaving the old name. While it runs the panel may take the keyboard and single-key shortcuts are
/// unbound; they are bound again when it ends either way.
class MRKOSnapshotNameField final : public QLineEdit
{
    Q_OBJECT
public:
    explicit MRKOSnapshotNameField(QWidget *parent = nullptr);

    [[nodiscard]] bool isEditing() const { return m_editing; }
    void startEditingUnregisterKeys();
    void finalizeEditingRegisterKeys();
    /// Escape: the old name comes back and nothing is renamed.
    void cancelOperation();
    void deselectAllText();
    /// The name shown while not editing.
    void setShownName(const QString &name);

signals:
    /// Editing ended with the text to rename to.
    void nameFieldChanged(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void endEditing(bool commit);

    QString m_shownName;
    bool m_editing = false;
};
