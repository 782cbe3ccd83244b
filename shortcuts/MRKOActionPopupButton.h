#pragma once

#include <QComboBox>
#include <QPointer>

class MRKOActionSourcePopupButton;

/// The chooser of one single-key slot: a copy of the template's items, showing the slot's action. A pick stores the
/// action under the slot's key; Alt-click (Option) restores the slot's default instead of opening.
class MRKOActionPopupButton final : public QComboBox
{
    Q_OBJECT
public:
    /// The tag is the slot, 0 to 29.
    MRKOActionPopupButton(qint64 slot, MRKOActionSourcePopupButton *menuSourceButton, QWidget *parent = nullptr);

    [[nodiscard]] qint64 tag() const { return m_tag; }
    [[nodiscard]] quint64 extraAction() const { return m_extraAction; }
    /// Keeps the action here and in the slot store; writes no setting.
    void setExtraAction(quint64 action);

    void updateButtonMenu();
    void updateMenuFromSource();
    void updateSelection();
    /// The selected item's action becomes the slot's, stored under its key.
    void segmentHasSeleted();
    void resetDefaults();
    /// No action for the slot, stored as 0, until it is reset.
    void setSkipAction();

    [[nodiscard]] QString savingKey() const;
    [[nodiscard]] quint64 defaultAction() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPointer<MRKOActionSourcePopupButton> m_menuSourceButton; // not owned
    qint64 m_tag = 0;
    quint64 m_extraAction = 0;
};
