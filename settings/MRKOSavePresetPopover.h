#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
namespace platform {
class Popover;
}

/// What the name popover asks of the preset controller that opened it.
class MRKOSavePresetPopoverTarget
{
public:
    virtual ~MRKOSavePresetPopoverTarget() = default;
    /// Whether a preset of exactly that name (case-sensitive) is listed.
    [[nodiscard]] virtual bool presetNameExists(const QString &name) const = 0;
    /// The presets' file extension without the dot ("ikshortcuts"); the name and it make the file name.
    [[nodiscard]] virtual QString presetExtension() const = 0;
};

/// The small popover that asks for a new preset's name: it refuses an empty name or one that cannot be a file name
/// in the presets folder, warns once before an existing preset is replaced, and hands the accepted name to its
/// action. States: editing (button "Save"), warned (button "Rewrite"); an edit goes back to editing.
class MRKOSavePresetPopover final : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(const QString &name)>;

    static constexpr double kWidth = 324; // points
    static constexpr double kHeight = 70; // points

    explicit MRKOSavePresetPopover(QObject *parent = nullptr);
    ~MRKOSavePresetPopover() override;
    Q_DISABLE_COPY_MOVE(MRKOSavePresetPopover)

    [[nodiscard]] QString presetName() const { return m_presetName; }
    [[nodiscard]] MRKOSavePresetPopoverTarget *target() const { return m_target; }
    void setTarget(MRKOSavePresetPopoverTarget *target) { m_target = target; }
    [[nodiscard]] const Action &action() const { return m_action; }
    void setAction(Action action) { m_action = std::move(action); }

    /// The window; the owner sets its behaviour, shows it beside its button and drops this object when it closes.
    [[nodiscard]] platform::Popover &popover() const { return *m_popover; }
    [[nodiscard]] QLineEdit *nameField() const { return m_nameField; }
    [[nodiscard]] QPushButton *saveButton() const { return m_saveButton; }
    [[nodiscard]] QLabel *titleField() const { return m_titleField; }

    /// Whether the name can be a file name with the extension inside the presets folder: no "/" or NUL, not "." or
    /// "..", and at most 255 bytes of UTF-8 with the extension.
    [[nodiscard]] static bool nameIsAllowed(const QString &name, const QString &extension);

    /// The button's action and the field's (Return): saves, or warns and stays open.
    void save();
    void textFieldEdit();
    /// Any edit of the name takes back a warning.
    void controlTextDidChange();
    void invokeAction(const QString &name);

private:
    void createPopoverViewController();
    void tryToFinalize();
    void warn(const QString &text);

    std::unique_ptr<platform::Popover> m_popover;
    QLineEdit *m_nameField = nullptr;    // in the popover's content, which the popover owns
    QPushButton *m_saveButton = nullptr; // in the popover's content
    QLabel *m_titleField = nullptr;      // in the popover's content
    QString m_presetName;
    MRKOSavePresetPopoverTarget *m_target = nullptr; // not owned; the preset controller lives for the process
    Action m_action;
};
