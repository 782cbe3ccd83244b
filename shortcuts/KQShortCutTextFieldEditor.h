#pragma once

#include "shortcuts/KQShortCutTextField.h"

#include <QObject>
#include <QPointer>

#include <memory>

class KQShortCut;
namespace platform {
struct Event;
}

/// The recorder behind every recording field. While a field has the keyboard, an application event filter takes
/// every key-down and modifier change of the program (hot keys we hold included) and records them into the field;
/// what it takes reaches nothing else.
class KQShortCutTextFieldEditor final : public QObject
{
    Q_OBJECT
public:
    static KQShortCutTextFieldEditor &sharedEditor();
    ~KQShortCutTextFieldEditor() override;
    Q_DISABLE_COPY_MOVE(KQShortCutTextFieldEditor)

    [[nodiscard]] KQShortCutTextField *hotKeyField() const { return m_hotKeyField; }
    /// Keeps the field and takes its current combination as the one Escape brings back.
    void setHotKeyField(KQShortCutTextField *field);
    [[nodiscard]] std::shared_ptr<KQShortCut> startShortCut() const { return m_startShortCut; }

    /// Starts recording: installs the monitor.
    bool becomeFirstResponder();
    /// Ends recording: forgets the field and removes the monitor.
    bool resignFirstResponder();
    [[nodiscard]] bool isRecording() const { return m_monitorInstalled; }

    /// The recorder: a key-down or flags-changed event in the program's own form.
    void validateShortCutEvent(const platform::Event &event);
    [[nodiscard]] bool hasSeenKeyDown() const { return m_hasSeenKeyDown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KQShortCutTextFieldEditor();
    void record(const platform::Event &event, quint64 flags);
    void endEditing();

    QPointer<KQShortCutTextField> m_hotKeyField;
    std::shared_ptr<KQShortCut> m_startShortCut;
    bool m_hasSeenKeyDown = false;
    bool m_monitorInstalled = false;
};
