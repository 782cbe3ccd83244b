#include "helper/HelperAdaptor.h"

#include "helper/AppDelegate.h"
#include "platform/HelperLink.h"

#include <QDBusError>

#include <string_view>

namespace helper {

static_assert(std::string_view(platform::helperlink::kHelperInterface) == "com.Inkora.InkoraHelper");

HelperAdaptor::HelperAdaptor(AppDelegate *delegate) : QDBusAbstractAdaptor(delegate), m_delegate(delegate) {}

void HelperAdaptor::killApp()
{
    if (m_delegate->listenerShouldAcceptNewConnection(m_delegate->message()))
        m_delegate->killApp();
}

void HelperAdaptor::showToolForToolType(qulonglong toolType)
{
    if (m_delegate->listenerShouldAcceptNewConnection(m_delegate->message()))
        m_delegate->showToolForToolType(toolType);
}

void HelperAdaptor::showDissolveMode(qulonglong mode)
{
    if (m_delegate->listenerShouldAcceptNewConnection(m_delegate->message()))
        m_delegate->showDissolveMode(mode);
}

QString HelperAdaptor::getVersionWithReply()
{
    if (!m_delegate->listenerShouldAcceptNewConnection(m_delegate->message())) {
        m_delegate->sendErrorReply(QDBusError::AccessDenied, QStringLiteral("caller runs under another user"));
        return {};
    }
    QString version;
    m_delegate->getVersionWithReply([&](const QString &text) { version = text; });
    return version;
}

} // namespace helper
