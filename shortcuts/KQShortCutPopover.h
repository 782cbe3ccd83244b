#pragma once

#include "platform/Popover.h"
#include "shortcuts/KQShortCutTextField.h"

#include <QObject>
#include <QPointer>

#include <memory>

class KQTextField;
class QPushButton;

/// The one popover in which the user types a new combination for a shortcut field: a recording field, "Ok" and
/// "Cancel". "Ok" applies a combination with enough symbols that nothing holds yet, through the registry, and
/// stores it under the field's key.
class KQShortCutPopover final : public QObject
{
    Q_OBJECT
public:
    static constexpr double kWidth = 140; // points
    static constexpr double kHeight = 90; // points

    static KQShortCutPopover &sharedPopover();
    ~KQShortCutPopover() override;
    Q_DISABLE_COPY_MOVE(KQShortCutPopover)

    [[nodiscard]] KQTextField *label() const { return m_label; }
    /// Keeps the field being edited, takes its tag as the symbols a recording must exceed and clears the recording.
    void setLabel(KQTextField *label);
    [[nodiscard]] KQShortCutTextField *shortCutField() const { return m_shortCutField; }
    void setShortCutField(KQShortCutTextField *field) { m_shortCutField = field; }

    void okButtonAction();
    void cancelButtonAction();

    /// Shows the popover beside `rect` (the view's points, y up) and gives the recording field the keyboard.
    void showRelativeToRect(const QRectF &rect, QWidget *view, platform::RectEdge edge);
    void close();
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] platform::Popover &popover() { return *m_popover; }
    [[nodiscard]] QPushButton *okButton() const { return m_okButton; }
    [[nodiscard]] QPushButton *cancelButton() const { return m_cancelButton; }

private:
    KQShortCutPopover();

    std::unique_ptr<platform::Popover> m_popover;
    QPointer<KQShortCutTextField> m_shortCutField; // in the popover's content
    QPointer<KQTextField> m_label;                 // not owned
    QPushButton *m_okButton = nullptr;             // child of the content
    QPushButton *m_cancelButton = nullptr;         // child of the content
};
