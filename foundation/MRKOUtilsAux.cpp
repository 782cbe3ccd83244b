#include "foundation/MRKOUtilsAux.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Event.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/SystemCursor.h"
#include "shortcuts/KQShortCut.h"

#include <QFile>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr quint16 kDeleteKeyCode = 51;
constexpr quint16 kLastTypingKeyCode = 51;

// Standard error as it was before the log took it over; -1 while the log is off. Main thread only.
int s_savedStandardError = -1;

} // namespace

void MRKOUtilsAux::logIfNeeded()
{
    const bool wasOn = MRKOUtils::cachedLogToDocuments();
    const bool isOn = MRKOUtils::shouldLogToDocuments();
    if (!wasOn && !isOn)
        return;
    if (isOn)
        logToDocumentsAndRefresh();
    else
        suspendLog();
}

void MRKOUtilsAux::logToDocumentsAndRefresh()
{
    const QString log = MRKOUtils::logPath();
    const QString backup = MRKOUtils::logBakPath();
    if (QFile::exists(log)) {
        QFile::remove(backup);
        QFile::rename(log, backup);
        QFile::remove(log);
    }
    const int file = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (file < 0)
        return; // standard error stays as it was
    std::fflush(stderr);
    // Keep the first standard error, so that switching the log off gives it back.
    if (s_savedStandardError < 0)
        s_savedStandardError = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
}

void MRKOUtilsAux::suspendLog()
{
    if (s_savedStandardError < 0)
        return;
    qCInfo(lcFoundation) << "Suspend Log";
    std::fflush(stderr);
    ::dup2(s_savedStandardError, STDERR_FILENO);
    ::close(s_savedStandardError);
    s_savedStandardError = -1;
}

bool MRKOUtilsAux::isLogging()
{
    return s_savedStandardError >= 0;
}

QString MRKOUtilsAux::drawToScreenMethodToScrings(quint64 method)
{
    static const std::array<const char *, 3> kNames = {"DataProvider", "CreateImage", "CopyDirtyPixels"};
    if (method >= kNames.size())
        return QStringLiteral("Unknown DrawToScreenMethod");
    return QString::fromLatin1(kNames[method]);
}

QString MRKOUtilsAux::drawToScreenMethodString()
{
    return drawToScreenMethodToScrings(quint64(inkora::liveSettings().drawToScreenMethod));
}

bool MRKOUtilsAux::isTextTypingShortcut(quint16 keyCode, quint64 modifierFlags)
{
    if (keyCode > kLastTypingKeyCode)
        return false;
    switch (keyCode) {
    case 24: // =
    case 27: // -
    case 30: // ]
    case 33: // [
    case 39: // '
    case 41: // ;
    case 42: // backslash
    case 43: // ,
    case 44: // /
    case 47: // .
    case 50: // grave accent
        return modifierFlags == 0;
    case 0: // A
    case 7: // X
    case 8: // C
        return modifierFlags == platform::kCommandFlag;
    case kDeleteKeyCode:
        return (modifierFlags & ~platform::kCommandFlag) == 0;
    default:
        return false;
    }
}

bool MRKOUtilsAux::isTextTypingShortcut(const KQShortCut &shortCut)
{
    return isTextTypingShortcut(shortCut.keyCode(), shortCut.modifierFlags());
}

bool MRKOUtilsAux::isTextTypingShortcut(const platform::Event &event)
{
    return isTextTypingShortcut(event.keyCode, event.modifierFlags);
}

bool MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(quint16 keyCode, quint64 modifierFlags)
{
    const AppDelegate *delegate = AppDelegate::shared();
    return !(isTextTypingShortcut(keyCode, modifierFlags) && delegate && delegate->isFirstResponderTextInput());
}

bool MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(const KQShortCut &shortCut)
{
    return shouldInvokeShortcutRespectingTextInput(shortCut.keyCode(), shortCut.modifierFlags());
}

bool MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(const platform::Event &event)
{
    return shouldInvokeShortcutRespectingTextInput(event.keyCode, event.modifierFlags);
}

bool MRKOUtilsAux::systemCursorIsVisible()
{
    return platform::services().systemCursor->isVisible();
}

void MRKOUtilsAux::showSystemCursor()
{
    if (const int error = platform::services().systemCursor->show())
        qCWarning(lcFoundation, "Unable to show cursor %d", error);
}

void MRKOUtilsAux::hideSystemCursor()
{
    if (const int error = platform::services().systemCursor->hide())
        qCWarning(lcFoundation, "Unable to hide cursor %d", error);
}
