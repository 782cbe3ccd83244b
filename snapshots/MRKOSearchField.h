#pragma once

#include <QLineEdit>

/// The search field of the snapshot panel. While it has the keyboard the panel may be key and the single-key
/// shortcuts are unbound, so typed letters reach the field; they are bound again when editing ends.
class MRKOSearchField final : public QLineEdit
{
    Q_OBJECT
public:
    explicit MRKOSearchField(QWidget *parent = nullptr);

    void startEditingUnregisterKeys();
    void finalizeEditingRegisterKeys();
    void deselectAllText();
    /// Ends the search: clears the text as the field's cancel button does.
    void cancelSearch();
    [[nodiscard]] bool isSearching() const { return m_searching; }

signals:
    void searchFieldDidStartSearching();
    void searchFieldDidEndSearching();
    void searchAction();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void textDidChange(const QString &text);

    bool m_searching = false;
    bool m_editing = false;
};
