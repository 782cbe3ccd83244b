#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <functional>
#include <memory>

namespace platform {
class Popover;
} // namespace platform

/// The popover that asks for the name of a new preset. It refuses an empty name and one that cannot be a file
/// name, warns once before an existing preset is replaced, and hands the accepted name to its owner.
class MRKOSavePresetPopover final : public QObject
{
    Q_OBJECT
public:
    /// Whether the owner has a preset of this exact name.
    using NameExists = std::function<bool(const QString &name)>;
    /// Receives the accepted name.
    using Action = std::function<void(const QString &name)>;

    MRKOSavePresetPopover();
    ~MRKOSavePresetPopover() override;
    Q_DISABLE_COPY_MOVE(MRKOSavePresetPopover)

    /// The owner's name test and action; without an action the popover closes and nothing is saved.
    void setTarget(NameExists nameExists, Action action);
    /// The extension the name becomes a file name with, for the length check.
    void setExtension(const QString &extension) { m_extension = extension; }

    [[nodiscard]] QString presetName() const { return m_presetName; }
    [[nodiscard]] platform::Popover &popover() { return *m_popover; }
    [[nodiscard]] QLineEdit *nameField() const { return m_field; }
    [[nodiscard]] QPushButton *saveButton() const { return m_button; }
    [[nodiscard]] QLabel *titleField() const { return m_title; }

    /// The button's and Return's action.
    void tryToFinalize();

private:
    void controlTextDidChange();
    void warn(const QString &text);

    std::unique_ptr<platform::Popover> m_popover;
    QPointer<QLineEdit> m_field;    // in the popover's content
    QPointer<QPushButton> m_button; // in the popover's content
    QPointer<QLabel> m_title;       // in the popover's content
    NameExists m_nameExists;
    Action m_action;
    QString m_extension;
    QString m_presetName;
};
