#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

/// One device row of the remote pane: the device name, a Connect or Disconnect button shown while the pointer is
/// over the row, and a mark while connected.
class MRKOTableCellView final : public QWidget
{
    Q_OBJECT
public:
    enum class ButtonAction : int { Connect, Disconnect };

    explicit MRKOTableCellView(QWidget *parent = nullptr);

    void makeConnected();
    void makeConnecting();
    void makeDisconnected();
    /// A null title is ignored.
    void setButtonTitle(const QString &title);
    void updateButtonFrame();

    [[nodiscard]] QLabel *textField() const { return m_textField; }
    [[nodiscard]] QPushButton *button() const { return m_button; }
    [[nodiscard]] QToolButton *indicator() const { return m_indicator; }
    [[nodiscard]] ButtonAction buttonAction() const { return m_action; }

signals:
    /// The button was pressed with its current action.
    void buttonPressed(MRKOTableCellView::ButtonAction action);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *m_textField = nullptr;      // child
    QPushButton *m_button = nullptr;    // child
    QToolButton *m_indicator = nullptr; // child
    ButtonAction m_action = ButtonAction::Connect;
};
