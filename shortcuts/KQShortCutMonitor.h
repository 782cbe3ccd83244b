#pragma once

#include <QList>

#include <memory>

class KQShortCut;

/// The process-wide registry of keyboard shortcuts: every binding and unbinding goes through it. Each key
/// combination is bound at most once; shortcuts with the Function flag are also kept apart, and the shortcuts that
/// would swallow typing can give way while text is edited.
class KQShortCutMonitor final
{
public:
    static KQShortCutMonitor &defaultMonitor();

    /// Binds the shortcut unless an equal one (same key code and flags) is bound; returns the shortcut given.
    std::shared_ptr<KQShortCut> bindShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    /// Removes the shortcut from the bound ones; null does nothing.
    void unbindShortCut(const std::shared_ptr<KQShortCut> &shortCut);

    /// Unbinds the enabled bound shortcuts that typing would need, and binds them again.
    void unbindShortCutsForTypingIfNeeded();
    void bindShortCutsForTypingIfNeeded();

    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &allShortCuts() const { return m_allShortCuts; }
    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &fnContainingShortCuts() const
    {
        return m_fnContainingShortCuts;
    }
    [[nodiscard]] const QList<std::shared_ptr<KQShortCut>> &typingShortCuts() const { return m_typingShortCuts; }

private:
    KQShortCutMonitor() = default;
    void updateShortcutInFnShortcutsIfNeeded(const std::shared_ptr<KQShortCut> &shortCut);
    void updateTypingShortcuts();

    // Held by identity; look-ups by value where key combinations are compared.
    QList<std::shared_ptr<KQShortCut>> m_allShortCuts;
    QList<std::shared_ptr<KQShortCut>> m_fnContainingShortCuts;
    QList<std::shared_ptr<KQShortCut>> m_typingShortCuts;
    bool m_typingShortcutsNeedsUpdate = true;
};
