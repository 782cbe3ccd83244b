#include "shortcuts/KQShortCutMonitor.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtilsAux.h"
#include "shortcuts/KQShortCut.h"

#include <algorithm>

namespace {

constexpr quint64 kFunctionFlag = 0x800000;

bool holdsEqual(const QList<std::shared_ptr<KQShortCut>> &list, const KQShortCut &shortCut)
{
    return std::any_of(list.cbegin(), list.cend(), [&](const auto &held) { return held->isEqual(shortCut); });
}

} // namespace

KQShortCutMonitor &KQShortCutMonitor::defaultMonitor()
{
    static KQShortCutMonitor monitor;
    return monitor;
}

std::shared_ptr<KQShortCut> KQShortCutMonitor::bindShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut || holdsEqual(m_allShortCuts, *shortCut))
        return shortCut;
    m_allShortCuts.append(shortCut);
    m_typingShortcutsNeedsUpdate = true;
    updateShortcutInFnShortcutsIfNeeded(shortCut);
    return shortCut;
}

void KQShortCutMonitor::unbindShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut)
        return;
    m_allShortCuts.removeAll(shortCut);
}

void KQShortCutMonitor::unbindShortCutsForTypingIfNeeded()
{
    if (m_typingShortcutsNeedsUpdate)
        updateTypingShortcuts();
    for (const auto &shortCut : std::as_const(m_typingShortCuts))
        unbindShortCut(shortCut);
}

void KQShortCutMonitor::bindShortCutsForTypingIfNeeded()
{
    for (const auto &shortCut : std::as_const(m_typingShortCuts))
        bindShortCut(shortCut);
}

void KQShortCutMonitor::updateShortcutInFnShortcutsIfNeeded(const std::shared_ptr<KQShortCut> &shortCut)
{
    const bool hasFunction = (shortCut->modifierFlags() & kFunctionFlag) != 0;
    const bool held = m_fnContainingShortCuts.contains(shortCut);
    if (hasFunction && !held)
        m_fnContainingShortCuts.append(shortCut);
    else if (!hasFunction && held)
        m_fnContainingShortCuts.removeAll(shortCut);
}

void KQShortCutMonitor::updateTypingShortcuts()
{
    qCDebug(lcShortcuts) << "updateTypingShortcuts";
    m_typingShortCuts.clear();
    for (const auto &shortCut : QList(m_allShortCuts)) {
        if (!shortCut->disabled() && MRKOUtilsAux::isTextTypingShortcut(shortCut->keyCode(), shortCut->modifierFlags()))
            m_typingShortCuts.append(shortCut);
    }
    m_typingShortcutsNeedsUpdate = false;
}
