#pragma once

#include "platform/Archivable.h"

#include <QString>

#include <memory>

namespace inkora {
class ActionTarget;
}
namespace platform {
struct Event;
}

/// One keyboard shortcut: a key code, modifier flags in the macOS bit layout and the action it runs on its target.
/// Two shortcuts are equal when key code and modifier flags are. Stored as the Base64 of "%@,%lu,%d,%d" (action
/// name, modifier flags, key code, disabled); older settings hold it as a keyed archive.
class KQShortCut final : public platform::Archivable
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

    /// Makes the class known to keyed archives; safe to call any number of times.
    static void registerArchiveClass();
    [[nodiscard]] QString archiveClassName() const override;
    /// "ActionKey", "ModifierFlagsKey", "KeyCodeKey" and "DisabledKey"; target and the other flags are not kept.
    void encodeWithCoder(platform::KeyedArchiver &coder) const override;

    [[nodiscard]] bool isEqual(const KQShortCut &other) const;
    bool operator==(const KQShortCut &other) const { return isEqual(other); }
    [[nodiscard]] quint64 hash() const { return m_modifierFlags ^ m_keyCode; }
    [[nodiscard]] bool isNotAssigned() const { return m_keyCode == kNotAssignedKeyCode; }

    /// Sends the action to the target with the event, when both are there and the target takes the action.
    void invokeWithEvent(const platform::Event *event) const;
    void invokeWithEvent(const platform::Event &event) const;
    /// Key-down or key-up of this key, enabled, with at least one modifier bit in common.
    [[nodiscard]] bool enabledAndMatchWithEvent(const platform::Event &event) const;
    /// What the user reads, as "Ctrl+Shift+Z".
    [[nodiscard]] QString basicHint() const;
    /// The key alone: its name or layout text.
    [[nodiscard]] QString keyCodeString() const;
    /// The same text as basicHint; with brackets "(Super+Ctrl+A)".
    [[nodiscard]] QString extraHint() const;
    [[nodiscard]] QString extraHintWithBrackets() const;
    /// Class name, key text and target, tab-separated, for logs.
    [[nodiscard]] QString description() const;
    /// No modifiers and one of the sixteen keys that may be a shortcut on their own.
    [[nodiscard]] bool hasSingleSpecialKey() const;
    [[nodiscard]] bool hasFunctionModifierKey() const { return (m_modifierFlags & 0x800000) != 0; }
    [[nodiscard]] bool hasOptionModifierKeyOnly() const { return (m_modifierFlags & 0x9E0000) == 0x80000; }

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
    [[nodiscard]] quint32 hotKeyID() const { return m_hotKeyID; }
    [[nodiscard]] quint32 shortCutID() const { return m_hotKeyID; }
    void setHotKeyID(quint32 id) { m_hotKeyID = id; }
    /// The hot-key service's reference; 0 while not registered.
    [[nodiscard]] quint64 hotKeyRef() const { return m_hotKeyRef; }
    void setHotKeyRef(quint64 ref) { m_hotKeyRef = ref; }

private:
    bool m_isDefault = false;
    bool m_disabled = false;
    bool m_failedToRegister = false;
    quint16 m_keyCode = 0;
    quint32 m_hotKeyID = 0;
    quint64 m_hotKeyRef = 0;
    inkora::ActionTarget *m_target = nullptr; // not owned; never cleared automatically
    QString m_action;                         // the selector text, colon included
    quint64 m_modifierFlags = 0;
};
