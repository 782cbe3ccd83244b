#pragma once

#include <QString>

#include <memory>

class KQShortCut;

namespace inkora {

/// The default shortcut of every command and the binding of the user's or the default shortcut of one command;
/// behind the shortcut methods of MRKOUtils. Actions are selector texts ("undoWithEvent:").
class DefaultShortcuts final
{
public:
    DefaultShortcuts() = delete;

    /// A new shortcut with the action's default key and flags and the application delegate as target; null for an
    /// action without a default.
    static std::shared_ptr<KQShortCut> defaultShortCutForAction(const QString &action);
    static std::shared_ptr<KQShortCut> shortCutForKeyAction(const QString &key, const QString &action);
    static std::shared_ptr<KQShortCut> bindCustomShortCutForKey(const QString &key);
    static std::shared_ptr<KQShortCut> bindDefaultForAction(const QString &action);
    static std::shared_ptr<KQShortCut> effectiveShortCutForKeyAction(const QString &key, const QString &action);
    static bool shortCutIsDefault(const KQShortCut &shortCut);
};

} // namespace inkora
