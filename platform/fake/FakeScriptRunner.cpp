#include "platform/fake/FakeScriptRunner.h"

namespace platform {

QImage FakeScriptRunner::iconForApplication(const QString &bundleIdentifier) const
{
    std::lock_guard lock(m_mutex);
    if (!m_installed.contains(bundleIdentifier))
        return {};
    QImage icon(32, 32, QImage::Format_RGBA8888_Premultiplied);
    icon.fill(Qt::gray);
    return icon;
}

bool FakeScriptRunner::isRunning(const QString &bundleIdentifier) const
{
    std::lock_guard lock(m_mutex);
    return m_running.contains(bundleIdentifier);
}

void FakeScriptRunner::setRunningChangedHandler(std::function<void(const QString &, bool)> handler)
{
    m_handler = std::move(handler);
}

int FakeScriptRunner::permissionResultCode(const QString &bundleIdentifier, bool askUser)
{
    std::lock_guard lock(m_mutex);
    m_requests << QStringLiteral("%1 %2").arg(bundleIdentifier,
                                              askUser ? QStringLiteral("ask") : QStringLiteral("test"));
    if (!m_running.contains(bundleIdentifier))
        return ProcessNotFound;
    return m_codes.value(bundleIdentifier, NoError);
}

bool FakeScriptRunner::runScript(const QString &source)
{
    std::lock_guard lock(m_mutex);
    m_scripts << source;
    return true;
}

void FakeScriptRunner::openPrivacySettings()
{
    ++m_privacyOpened;
}

void FakeScriptRunner::install(const QString &bundleIdentifier)
{
    std::lock_guard lock(m_mutex);
    m_installed.insert(bundleIdentifier);
}

void FakeScriptRunner::launch(const QString &bundleIdentifier)
{
    {
        std::lock_guard lock(m_mutex);
        m_installed.insert(bundleIdentifier);
        m_running.insert(bundleIdentifier);
    }
    if (m_handler)
        m_handler(bundleIdentifier, true);
}

void FakeScriptRunner::terminate(const QString &bundleIdentifier)
{
    {
        std::lock_guard lock(m_mutex);
        m_running.remove(bundleIdentifier);
    }
    if (m_handler)
        m_handler(bundleIdentifier, false);
}

void FakeScriptRunner::setPermissionResultCode(const QString &bundleIdentifier, int code)
{
    std::lock_guard lock(m_mutex);
    m_codes.insert(bundleIdentifier, code);
}

QStringList FakeScriptRunner::scripts() const
{
    std::lock_guard lock(m_mutex);
    return m_scripts;
}

QStringList FakeScriptRunner::permissionRequests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

} // namespace platform
