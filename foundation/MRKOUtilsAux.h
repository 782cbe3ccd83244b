#pragma once

#include <QString>

class KQShortCut;
namespace platform {
struct Event;
}

/// The smaller class of shared class methods: console logging into the Documents folder, names of the
/// draw-to-screen methods and the test of shortcuts that typing needs.
class MRKOUtilsAux final
{
public:
    MRKOUtilsAux() = delete;

    /// Applies "EnableLog": starts a fresh console log when it is on, and restores standard error when it was on
    /// and is now off.
    static void logIfNeeded();
    /// Moves "console.log" to "console.bak.log" and sends standard error into a new "console.log".
    static void logToDocumentsAndRefresh();
    /// Logs "Suspend Log" and gives standard error back to where it went before the log was started.
    static void suspendLog();
    /// Whether standard error currently goes into the console log.
    static bool isLogging();

    static QString drawToScreenMethodToScrings(quint64 method);
    /// The name of the live draw-to-screen method.
    static QString drawToScreenMethodString();

    /// Whether a key with these flags (compared unmasked) is one that text typing needs: = - ] [ ' ; \ , / . and
    /// the grave accent alone, A, X or C with Command alone, Delete alone or with Command alone.
    static bool isTextTypingShortcut(quint16 keyCode, quint64 modifierFlags);
    static bool isTextTypingShortcut(const KQShortCut &shortCut);
    static bool isTextTypingShortcut(const platform::Event &event);
    /// False when the key is one typing needs and a text input of the program has the keyboard.
    static bool shouldInvokeShortcutRespectingTextInput(quint16 keyCode, quint64 modifierFlags);
    static bool shouldInvokeShortcutRespectingTextInput(const KQShortCut &shortCut);
    static bool shouldInvokeShortcutRespectingTextInput(const platform::Event &event);

    static bool systemCursorIsVisible();
    /// Shows or hides the pointer everywhere; a failure is logged with its error code.
    static void showSystemCursor();
    static void hideSystemCursor();
};
