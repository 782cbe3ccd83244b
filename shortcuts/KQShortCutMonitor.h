#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class KQShortCut;
namespace inkora {
class ActionTarget;
}

namespace platform {
struct Event;
struct HotKeyPress;
} // namespace platform

/// The process-wide registry of keyboard shortcuts: every binding and unbinding goes through it. A bound shortcut
/// becomes a global hot key; each key combination is bound at most once. Shortcuts the system refused still run
/// from the tool panel's key handling; shortcuts with the Function flag are also kept apart, and the shortcuts that
/// would swallow typing can give way while text is edited.
class KQShortCutMonitor final
{
public:
    static constexpr std::uint32_t kHotKeySignature = 0x4D524B4F; // 'MRKO'
    using Test = std::function<bool(const KQShortCut &)>;
    using KeyRecorder = std::function<void(const platform::Event &)>;

    static KQShortCutMonitor &defaultMonitor();
    /// Modifier flags in the hot-key service's mask.
    [[nodiscard]] static std::uint32_t carbonModifiersFromCocoaFlags(quint64 flags);
    [[nodiscard]] static quint64 deviceIndependentModifierFlags(quint64 flags) { return flags & 0xBF0000; }

    /// Binds the shortcut unless an equal one (same key code and flags) is bound; returns the shortcut given.
    std::shared_ptr<KQShortCut> bindShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    void prepareShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    /// Unregisters the hot key and removes the shortcut from the bound ones; null does nothing.
    void unbindShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    bool forceRegisterShortcut(const std::shared_ptr<KQShortCut> &shortCut);
    bool unregisterShortcutIfNeeded(const std::shared_ptr<KQShortCut> &shortCut);
    bool disableShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    bool enableShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    /// Gives the live shortcut the key and flags of `newShortCut` (keeping its action and target), clears its
    /// default mark, and binds it again on the main queue, after the current event has been handled.
    void updateShortCutWithShortCut(const std::shared_ptr<KQShortCut> &shortCut, const KQShortCut &newShortCut);
    std::shared_ptr<KQShortCut> bindShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags,
                                                        inkora::ActionTarget *target, const QString &action);
    void forceRemoveAllShortcuts();
    void unbindAll();

    [[nodiscard]] std::shared_ptr<KQShortCut> equivalentShortCut(const KQShortCut &shortCut) const;
    [[nodiscard]] bool alreadyHasSimilarShortCut(const KQShortCut &shortCut) const;
    [[nodiscard]] bool alreadyHasShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags) const;
    [[nodiscard]] QList<std::shared_ptr<KQShortCut>> shortCutsMatching(const Test &test) const;
    [[nodiscard]] QList<std::shared_ptr<KQShortCut>> discardedShortCutsMatching(const Test &test) const;
    [[nodiscard]] bool hasDiscardedShortcuts() const { return !m_discardedShortCuts.isEmpty(); }
    [[nodiscard]] bool discardedHasShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags) const;
    [[nodiscard]] std::shared_ptr<KQShortCut> discardedShortCutWithKeyCode(quint16 keyCode,
                                                                           quint64 modifierFlags) const;
    [[nodiscard]] bool hasShortCuts() const { return !m_allShortCuts.isEmpty(); }
    void printAllShortcuts() const;
    /// Nothing to load: the application binds its shortcuts itself.
    void loadDefaults() {}

    /// Offers a key event of the program's own windows to the refused shortcuts; true when one ran.
    static bool didProcessedDiscardedShortcutWithEvent(const platform::Event &event);
    void processShortcutToTarget(const std::shared_ptr<KQShortCut> &shortCut, const platform::Event &event);

    /// Unbinds the enabled bound shortcuts that typing would need, and binds them again.
    void unbindShortCutsForTypingIfNeeded();
    void bindShortCutsForTypingIfNeeded();
    void updateTypingShortcuts();
    void updateTypingShortcutsIfNeeded();
    void updateShortcutInFnShortcutsIfNeeded(const std::shared_ptr<KQShortCut> &shortCut);
    [[nodiscard]] bool typingShortcutsNeedsUpdate() const { return m_typingShortcutsNeedsUpdate; }
    void setTypingShortcutsNeedsUpdate(bool needs) { m_typingShortcutsNeedsUpdate = needs; }
    void removeHandlerBeforeQuit();
    /// While a recorder is set, a pressed hot key reaches it as a key-down instead of running its command.
    void setKeyRecorder(KeyRecorder recorder) { m_keyRecorder = std::move(recorder); }
    [[nodiscard]] bool hasKeyRecorder() const { return static_cast<bool>(m_keyRecorder); }

    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &allShortCuts() const { return m_allShortCuts; }
    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &fnContainingShortCuts() const
    {
        return m_fnContainingShortCuts;
    }
    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &discardedShortCuts() const { return m_discardedShortCuts; }
    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &typingShortCuts() const { return m_typingShortCuts; }
    void setAllShortCuts(const QList<std::shared_ptr<KQShortCut>> &set) { m_allShortCuts = set; }
    void setFnContainingShortCuts(const QList<std::shared_ptr<KQShortCut>> &set) { m_fnContainingShortCuts = set; }
    void setDiscardedShortCuts(const QList<std::shared_ptr<KQShortCut>> &set) { m_discardedShortCuts = set; }
    void setTypingShortCuts(const QList<std::shared_ptr<KQShortCut>> &list) { m_typingShortCuts = list; }

private:
    KQShortCutMonitor();
    void hotKeyEventHandler(const platform::HotKeyPress &press);

    // Held by identity, so that a shortcut whose key changes is never left behind as a stale member; look-ups by
    // value only where key combinations are compared.
    QList<std::shared_ptr<KQShortCut>> m_allShortCuts;
    QList<std::shared_ptr<KQShortCut>> m_fnContainingShortCuts;
    QList<std::shared_ptr<KQShortCut>> m_discardedShortCuts;
    QList<std::shared_ptr<KQShortCut>> m_typingShortCuts;
    KeyRecorder m_keyRecorder;
    std::uint32_t m_nextHotKeyID = 1;
    bool m_handlerInstalled = false;
    bool m_typingShortcutsNeedsUpdate = true;
};
