#include "tests/support/PythonReader.h"

#include <QFile>
#include <QProcess>

PythonResult runPythonOnData(const QByteArray &data, const QString &path, const QString &script)
{
    PythonResult result;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        result.error = QStringLiteral("cannot write %1").arg(path);
        return result;
    }
    file.close();
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    // Importing the image libraries alone can take half a minute on a loaded machine.
    if (!python.waitForFinished(180000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        result.error = QString::fromUtf8(python.readAllStandardError());
        if (result.error.isEmpty())
            result.error = python.errorString();
        return result;
    }
    result.ok = true;
    result.lines = QString::fromUtf8(python.readAllStandardOutput()).trimmed().split(QLatin1Char('\n'));
    return result;
}
