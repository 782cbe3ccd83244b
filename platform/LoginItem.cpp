#include "platform/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// One argument of an Exec line: quoted, with the characters the desktop-entry rules reserve escaped once for
// the quoting and once more for the string value, and % doubled.
QString execArgument(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1String("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QLatin1String("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QLatin1String("%%");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString bundlePathForExecutable(const QString &executable)
{
    // By text, not through the file system: the path need not exist.
    const QString macOS = QDir::cleanPath(QFileInfo(executable).absolutePath()); // <bundle>/Contents/MacOS
    return QFileInfo(QFileInfo(macOS).path()).path();
}

QString executableForBundle(const QString &bundle)
{
    const QString clean = QDir::cleanPath(bundle);
    return clean + QStringLiteral("/Contents/MacOS/") + QFileInfo(clean).fileName();
}

LoginItem::LoginItem(const QString &identifier, const QString &executable)
    : m_identifier(identifier), m_executable(executable)
{}

QString LoginItem::filePath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/") +
           m_identifier + QStringLiteral(".desktop");
}

bool LoginItem::setEnabled(bool enabled, QString *error)
{
    const QString path = filePath();
    if (!enabled) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        setError(error, QStringLiteral("cannot remove ") + path);
        return false;
    }
    const QFileInfo program(m_executable);
    if (!program.isFile() || !program.isExecutable()) {
        setError(error, QStringLiteral("no program at ") + m_executable);
        return false;
    }
    // A line break cannot be written into a desktop entry's Exec line.
    if (m_executable.contains(QLatin1Char('\n')) || m_executable.contains(QLatin1Char('\r'))) {
        setError(error, QStringLiteral("program path contains a line break"));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setError(error, QStringLiteral("cannot make the folder of ") + path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("cannot write ") + path);
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Exec=%2\n"
                                         "Terminal=false\n"
                                         "NoDisplay=true\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(program.fileName(), execArgument(m_executable));
    file.write(entry.toUtf8());
    if (!file.commit()) {
        setError(error, QStringLiteral("cannot write ") + path);
        return false;
    }
    return true;
}

} // namespace platform
