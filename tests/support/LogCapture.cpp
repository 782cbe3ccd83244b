#include "tests/support/LogCapture.h"

#include <cstdio>

namespace {
LogCapture *s_active = nullptr;
}

LogCapture::LogCapture()
{
    s_active = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    s_active = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!s_active)
        return;
    const QString line = context.category && qstrcmp(context.category, "default") != 0
                             ? QStringLiteral("%1: %2").arg(QString::fromLatin1(context.category), message)
                             : message;
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::lock_guard lock(s_active->m_mutex);
    s_active->m_lines << line;
    if (type == QtWarningMsg || type == QtCriticalMsg)
        s_active->m_warnings << line;
}

void LogCapture::expectWarning(const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_expected << text;
}

bool LogCapture::contains(const QString &text) const
{
    return count(text) > 0;
}

int LogCapture::count(const QString &text) const
{
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const QString &line : m_lines)
        n += line.contains(text) ? 1 : 0;
    return n;
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

QStringList LogCapture::unexpectedWarnings() const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const QString &w : m_warnings) {
        bool expected = false;
        for (const QString &e : m_expected)
            expected = expected || w.contains(e);
        // Qt's own platform chatter is not ours to judge.
        if (!expected && !w.startsWith(QLatin1String("qt.")))
            out << w;
    }
    return out;
}

void LogCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
    m_warnings.clear();
}
