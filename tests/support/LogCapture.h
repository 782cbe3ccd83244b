#pragma once

#include <QStringList>

#include <mutex>

/// Collects every log line while it exists; warnings nobody expected fail the test at the end.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    /// Marks warnings containing `text` as expected.
    void expectWarning(const QString &text);
    [[nodiscard]] bool contains(const QString &text) const;
    [[nodiscard]] int count(const QString &text) const;
    [[nodiscard]] QStringList lines() const;
    /// Warnings that no expectation covers.
    [[nodiscard]] QStringList unexpectedWarnings() const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    mutable std::mutex m_mutex;
    QStringList m_lines;
    QStringList m_warnings;
    QStringList m_expected;
    QtMessageHandler m_previous = nullptr;
};
