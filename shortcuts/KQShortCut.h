#pragma once

#include <QString>

#include <memory>

namespace inkora {
class ActionTarget;
}

/// One keyboard shortcut: a key code, modifier flags in the macOS bit layout and the action it runs on its target.
/// Two shortcuts are equal when key code and modifier flags are. Stored as the Base64 of "%@,%lu,%d,%d" (action
/// name, modifier flags, key code, disabled).
class KQShortCut final
{
public:
    static constexpr quint16 kNotAssignedKeyCode = 255;

    KQShortCut() = default;
    /// A new enabled shortcut, not marked default.
    [[nodiscard]] static std::shared_ptr<KQShortCut>
    shortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags, inkora::ActionTarget *target, const QString &action);
    /// Parses the stored string form; null when it is malformed. The shortcut has no target.
    [[nodiscard]] static std::shared_ptr<KQShortCut> shortcutObjectWithString(const QString &string);

    [[nodiscard]] QString shortcutObjectStringValue() const;

    [[nodiscard]] bool isEqual(const KQShortCut &other) const;
    bool operator==(const KQShortCut &other) const { return isEqual(other); }
    [[nodiscard]] quint64 hash() const { return m_modifierFlags ^ m_keyCode; }
    [[nodiscard]] bool isNotAssigned() const { return m_keyCode == kNotAssignedKeyCode; }

    [[nodiscard]] quint16 keyCode() const { return m_keyCode; }
    void setKeyCode(quint16 keyCode) { m_keyCode = keyCode; }
    [[nodiscard]] quint64 modifierFlags() const { return m_modifierFlags; }
    void setModifierFlags(quint64 flags) { m_modifierFlags = flags; }
    [[nodiscard]] QString action() const { return m_action; }
    void setAction(const QString &action) { m_action = action; }
    [[nodiscard]] inkora::ActionTarget *target() const { return m_target; }
    void setTarget(inkora::ActionTarget *target) { m_target = target; }
    [[nodiscard]] bool isDefault() const { return m_isDefault; }
    void setIsDefault(bool isDefault) { m_isDefault = isDefault; }
    [[nodiscard]] bool disabled() const { return m_disabled; }
    void setDisabled(bool disabled) { m_disabled = disabled; }
    [[nodiscard]] bool isFailedToRegister() const { return m_failedToRegister; }
    void setFailedToRegister(bool failed) { m_failedToRegister = failed; }

private:
    bool m_isDefault = false;
    bool m_disabled = false;
    bool m_failedToRegister = false;
    quint16 m_keyCode = 0;
    inkora::ActionTarget *m_target = nullptr; // not owned; never cleared automatically
    QString m_action;                         // the selector text, colon included
    quint64 m_modifierFlags = 0;
};
