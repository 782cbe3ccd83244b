#include "tests/support/TrayProgram.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <csignal>

bool xdotool(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

TrayProgram::TrayProgram()
{
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_program, &QProcess::readyRead, [this] { m_output += m_program.readAll(); });
}

TrayProgram::~TrayProgram()
{
    for (QProcess *process : {&m_program, &m_trayHost}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(10000);
        }
    }
}

bool TrayProgram::start(const QString &program)
{
    m_trayHost.start(QStringLiteral("trayer"),
                     {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                      QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                      QStringLiteral("--height"), QStringLiteral("32")});
    if (!m_trayHost.waitForStarted(10000))
        return false;
    // The host owns the tray selection once its window shows.
    if (!QTest::qWaitFor(
            [] {
                return xdotool({QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("trayer")});
            },
            15000))
        return false;
    m_program.start(program, {});
    if (!m_program.waitForStarted(10000) || !waitForOutput("finishAppLaunching"))
        return false;
    return QTest::qWaitFor([this] { return trayIconWindow() != 0; }, 15000);
}

bool TrayProgram::waitForOutput(const char *line, int milliseconds)
{
    return QTest::qWaitFor([&] { return m_output.contains(line); }, milliseconds);
}

bool TrayProgram::terminate()
{
    ::kill(pid_t(m_program.processId()), SIGTERM);
    if (!m_program.waitForFinished(60000))
        return false;
    m_output += m_program.readAll();
    return m_program.exitStatus() == QProcess::NormalExit && m_program.exitCode() == 0;
}

QList<quint64> TrayProgram::visibleWindows() const
{
    QByteArray found;
    QList<quint64> windows;
    if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                  QString::number(m_program.processId())},
                 &found))
        return windows;
    for (const QByteArray &line : found.split('\n')) {
        if (const quint64 window = line.trimmed().toULongLong())
            windows.append(window);
    }
    return windows;
}

bool TrayProgram::overlayShown() const
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const quint64 window : visibleWindows()) {
        if (windowGeometry(window).size() == screen.size())
            return true;
    }
    return false;
}

quint64 TrayProgram::trayIconWindow() const
{
    // The docked icon is a small window of the program inside the host's panel.
    for (const quint64 window : visibleWindows()) {
        const QRect frame = windowGeometry(window);
        if (!frame.isEmpty() && frame.width() <= 64 && frame.height() <= 64 && frame.y() < 40)
            return window;
    }
    return 0;
}

QRect TrayProgram::windowGeometry(quint64 window)
{
    QByteArray shell;
    if (!xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)}, &shell))
        return {};
    QRect frame;
    for (const QByteArray &line : shell.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
            continue;
        const int value = pair[1].trimmed().toInt();
        if (pair[0] == "X")
            frame.moveLeft(value);
        else if (pair[0] == "Y")
            frame.moveTop(value);
        else if (pair[0] == "WIDTH")
            frame.setWidth(value);
        else if (pair[0] == "HEIGHT")
            frame.setHeight(value);
    }
    return frame;
}

bool TrayProgram::chooseStatusMenuItemFromBottom(int position)
{
    const quint64 icon = trayIconWindow();
    if (icon == 0)
        return false;
    if (!xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(icon), QStringLiteral("4"),
                  QStringLiteral("4"), QStringLiteral("click"), QStringLiteral("1")}))
        return false;
    QTest::qWait(800); // the menu opens and takes the keyboard
    QStringList keys{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120")};
    for (int i = 0; i < position; ++i)
        keys << QStringLiteral("Up");
    keys << QStringLiteral("Return");
    return xdotool(keys);
}

quint64 TrayProgram::waitForWindow(const QString &title, int milliseconds)
{
    quint64 window = 0;
    QTest::qWaitFor(
        [&] {
            QByteArray found;
            if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                          QString::number(m_program.processId()), QStringLiteral("--name"),
                          QStringLiteral("^%1$").arg(title)},
                         &found))
                return false;
            window = found.split('\n').value(0).trimmed().toULongLong();
            return window != 0;
        },
        milliseconds);
    return window;
}
