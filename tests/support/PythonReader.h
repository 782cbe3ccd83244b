#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// What a Python script printed about a file, a line each; `error` says why it did not run to the end.
struct PythonResult
{
    bool ok = false;
    QStringList lines;
    QString error;
};

/// Writes `data` to `path` and runs the Python 3 `script` with that path as its one argument: the way the tests check
/// our files with a reader that is not ours.
[[nodiscard]] PythonResult runPythonOnData(const QByteArray &data, const QString &path, const QString &script);
