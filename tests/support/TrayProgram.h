#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

/// The real program under a tray host (Debian's trayer) on the test's X display, driven as a user drives it: by its
/// status item, its menus and the keyboard, through xdotool. Ends both processes when it goes.
class TrayProgram
{
public:
    TrayProgram();
    ~TrayProgram();
    TrayProgram(const TrayProgram &) = delete;
    TrayProgram &operator=(const TrayProgram &) = delete;

    /// Starts the tray host and the program; true once the program's launch is complete and its item docked.
    [[nodiscard]] bool start(const QString &program);
    /// SIGTERM to the program; true when it ran its quit sequence and ended with status 0.
    [[nodiscard]] bool terminate();

    /// Presses the status item and picks the menu item that many places above the bottom one ("Quit Inkora" is 1).
    [[nodiscard]] bool chooseStatusMenuItemFromBottom(int position);
    /// The first mapped top-level window of the program with that title; 0 when none shows within the time.
    [[nodiscard]] quint64 waitForWindow(const QString &title, int milliseconds = 15000);
    /// The window's frame on the screen (pixels, y down); empty when it cannot be read.
    [[nodiscard]] static QRect windowGeometry(quint64 window);
    /// The program's windows that are mapped and viewable.
    [[nodiscard]] QList<quint64> visibleWindows() const;
    /// Whether a window of the program covers the whole screen.
    [[nodiscard]] bool overlayShown() const;
    [[nodiscard]] const QByteArray &output() const { return m_output; }
    [[nodiscard]] bool waitForOutput(const char *line, int milliseconds = 30000);
    [[nodiscard]] qint64 processId() const { return m_program.processId(); }

private:
    [[nodiscard]] quint64 trayIconWindow() const;

    QProcess m_trayHost;
    QProcess m_program;
    QByteArray m_output;
};

/// Runs xdotool with the arguments; false when it fails.
bool xdotool(const QStringList &arguments, QByteArray *output = nullptr);
