#include "app/MRKOXPCController.h"

#include "foundation/InkoraLog.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/HelperLink.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QPointer>

MRKOXPCController::MRKOXPCController() : QObject(QCoreApplication::instance())
{
    setUpController();
}

MRKOXPCController::~MRKOXPCController()
{
    if (m_xpcServiceConnection)
        m_xpcServiceConnection->invalidate();
}

MRKOXPCController *MRKOXPCController::sharedXPCController()
{
    // Owned by the application object, which outlives every caller.
    static MRKOXPCController *const shared = new MRKOXPCController;
    return shared;
}

void MRKOXPCController::setUpController()
{
    platform::HelperLink &link = *platform::services().helperLink;
    QString error;
    if (!link.setLoginItemEnabled(true, &error))
        qCWarning(lcApp).noquote() << "SMLoginItemSetEnabled Error:" << error;

    const std::shared_ptr<platform::HelperConnection> connection = link.connectToHelper(&error);
    if (!connection) {
        qCWarning(lcApp).noquote() << "XPC Connection Error" << error;
        return;
    }
    setXpcServiceConnection(connection);
    const QPointer<MRKOXPCController> weakSelf(this);
    connection->setInterruptionHandler([weakSelf] {
        if (!weakSelf || !weakSelf->m_xpcServiceConnection)
            return;
        weakSelf->m_xpcServiceConnection->invalidate();
        weakSelf->setXpcServiceConnection(nullptr);
        qCWarning(lcApp) << "connection interrupted";
    });
    connection->setErrorHandler([](const QString &description) {
        qCWarning(lcApp).noquote() << "XPC Connection Main App Error" << description;
    });
    m_proxy = connection;
}

void MRKOXPCController::showToolForToolType(std::uint64_t toolType)
{
    if (m_proxy)
        m_proxy->showToolForToolType(toolType);
}

void MRKOXPCController::showDissolveMode(std::uint64_t mode)
{
    if (m_proxy)
        m_proxy->showDissolveMode(mode);
}

void MRKOXPCController::killHelper()
{
    if (m_proxy)
        m_proxy->killApp();
}

std::shared_ptr<platform::HelperConnection> MRKOXPCController::xpcServiceConnection() const
{
    return m_xpcServiceConnection;
}

void MRKOXPCController::setXpcServiceConnection(std::shared_ptr<platform::HelperConnection> connection)
{
    m_xpcServiceConnection = std::move(connection);
}

void MRKOXPCController::disableLoginItemIfNeeded()
{
    if (platform::Defaults::standard().integerForKey(QStringLiteral("runOnStartupKey")) == 1)
        return;
    QString error;
    if (!platform::services().helperLink->setLoginItemEnabled(false, &error))
        qCWarning(lcApp).noquote() << "SMLoginItemSetEnabled Error:" << error;
}
