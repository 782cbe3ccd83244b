#include "remote/MRKOUDPController.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/ScreenSaverInhibitor.h"
#include "platform/Services.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/MRKOClicker.h"
#include "remote/MRKOConPopover.h"
#include "remote/MRKOPositionController.h"
#include "remote/MRKORemoteCommand.h"
#include "remote/MRKORemotePane.h"
#include "remote/NSNetService+Util.h"
#include "remote/ResolvedService.h"

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <netinet/in.h>

namespace {

const QString kServiceType = QStringLiteral("_inkora._udp");
const QString kServiceDomain = QStringLiteral("local");
const QString kCurrentServiceNameKey = QStringLiteral("CurrentServiceName");
const QString kConnectAutomaticallyKey = QStringLiteral("ConnectAutomatically");
const QString kWantsMouseTrackingKey = QStringLiteral("WantsMouseTracking");
const QString kUnknownDevice = QStringLiteral("Unknown Device");
const QString kHandleConnection = QStringLiteral("handleConnection");

constexpr double kResolveTimeout = 30.0;    // seconds
constexpr double kRequestWatchdog = 1.5;    // seconds until an unanswered request is sent again
constexpr double kAssociatedWatchdog = 2.0; // seconds for the phone to acknowledge a connected socket
constexpr double kReconnectDelay = 0.5;     // seconds between leaving one phone and connecting another
constexpr double kAutomaticConnectDelay = 0.5;
constexpr qint64 kMaxRoundTrips = 16;
constexpr int kConnectAttempts = 3; // connect requests to an answering address before giving up on it

QString addressHost(const QByteArray &address)
{
    return GCDAsyncUdpSocket::hostFromAddress(address);
}

} // namespace

MRKOUDPController &MRKOUDPController::sharedController()
{
    static MRKOUDPController *const s_shared = [] {
        auto *controller = new MRKOUDPController; // lives for the process
        (void)controller->view();
        return controller;
    }();
    return *s_shared;
}

MRKOUDPController::MRKOUDPController()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    m_serviceName = defaults.stringForKey(kCurrentServiceNameKey);
    m_connectRoundTrips = 0;
    startServiceBrowser();
    m_positionController = &MRKOPositionController::sharedController();
    platform::NotificationCenter &center = platform::NotificationCenter::defaultCenter();
    m_textDidStart = center.addObserver(kMRKONotificationTextEditingDidStart, nullptr,
                                        [this](const platform::Notification &) { sendTextEditingDidStart(); });
    m_textDidEnd = center.addObserver(kMRKONotificationTextEditingDidEnd, nullptr,
                                      [this](const platform::Notification &) { sendTextEditingDidEnd(); });
    m_statusText = QStringLiteral("No Device is Connected");
    m_statusColor = Qt::red;
}

MRKOUDPController::~MRKOUDPController()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    if (m_socket)
        m_socket->synchronouslySetDelegate(nullptr);
}

MRKOUDPController::State MRKOUDPController::state() const
{
    if (m_isDeviceConnected)
        return State::Connected;
    if (!m_isConnecting)
        return State::Idle;
    if (m_socket && m_socket->isConnected())
        return State::Associated;
    return m_requestHasSent ? State::Requested : State::Resolving;
}

// --- the pane -----------------------------------------------------------------------------------------------------

QWidget *MRKOUDPController::view()
{
    if (!m_pane) {
        const platform::Defaults &defaults = MRKOUtils::userDefaults();
        m_connectAutomatically = defaults.integerForKey(kConnectAutomaticallyKey) == 1;
        m_wantsMouseTracking = defaults.integerForKey(kWantsMouseTrackingKey) == 1;
        m_pane = std::make_unique<MRKORemotePane>(this);
    }
    return m_pane.get();
}

int MRKOUDPController::numberOfRows() const
{
    const int apps = int(MRKOClicker::sharedClicker().apps().size());
    return 1 + int(m_devices.size()) + apps + (apps > 0 ? 1 : 0);
}

QString MRKOUDPController::headerTextForRow(int row) const
{
    if (row == 0)
        return m_devices.isEmpty() ? QStringLiteral("Search Devices...") : QStringLiteral("Available Devices");
    if (row == m_devices.size() + 1 && !MRKOClicker::sharedClicker().apps().isEmpty())
        return QStringLiteral("Presentation Apps");
    return {};
}

void MRKOUDPController::connectAutomaticallyAction(bool on)
{
    m_connectAutomatically = on;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(on ? 1 : 0, kConnectAutomaticallyKey);
    defaults.synchronize();
}

void MRKOUDPController::wantsMouseTrackingAction(bool on)
{
    m_wantsMouseTracking = on;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(on ? 1 : 0, kWantsMouseTrackingKey);
    defaults.synchronize();
    if (m_isDeviceConnected) {
        if (on)
            m_positionController->startUpdates();
        else
            m_positionController->stopUpdates();
    }
    if (AppDelegate *delegate = AppDelegate::shared()) {
        if (MRKODraw *canvas = delegate->drawViewForMouseLocation())
            canvas->colorBallNeedUpdate();
    }
}

void MRKOUDPController::getInkoraForIOS()
{
    MRKOUtils::openAppStoreGetInkroaRemote();
}

void MRKOUDPController::viewWillAppear()
{
    for (const QVariantMap &app : MRKOClicker::sharedClicker().apps()) {
        platform::NotificationCenter::defaultCenter().post(kMRKOUpdateAppTableCellView, nullptr,
                                                           {{QStringLiteral("identifier"), app.value("identifier")}});
    }
}

void MRKOUDPController::setStatus(const QString &text, const QColor &color)
{
    m_statusText = text;
    m_statusColor = color;
    emit changed();
}

void MRKOUDPController::startProgress(bool running)
{
    m_progressRunning = running;
    if (m_pane)
        m_pane->setProgressRunning(running);
}

void MRKOUDPController::updateTableCellButton()
{
    // Cells follow the flags on the next pass, as a queued update does.
    platform::DispatchQueue::main().async([self = QPointer<MRKOUDPController>(this)] {
        if (self)
            emit self->changed();
    });
}

// --- browsing -----------------------------------------------------------------------------------------------------

void MRKOUDPController::startServiceBrowser()
{
    m_devices.clear();
    platform::ServiceBrowser *browser = platform::services().serviceBrowser.get();
    if (!browser)
        return;
    m_browsing = true;
    QPointer<MRKOUDPController> self(this);
    browser->browse(kServiceType, kServiceDomain,
                    {[self](const QString &name) {
                         if (self)
                             self->didFindService(name);
                     },
                     [self](const QString &name) {
                         if (self)
                             self->didRemoveService(name);
                     },
                     [self](const QString &error) {
                         if (self)
                             self->browserDidStop(error);
                     }});
}

void MRKOUDPController::browserDidStop(const QString &error)
{
    qCWarning(lcRemote).noquote() << "netServiceBrowser:didNotSearch:" << error;
    m_browsing = false;
    if (platform::ServiceBrowser *browser = platform::services().serviceBrowser.get())
        browser->stop();
    if (!m_devices.isEmpty()) {
        m_devices.clear();
        emit changed();
    }
}

void MRKOUDPController::didFindService(const QString &name)
{
    qCInfo(lcRemote) << "didFindService" << name;
    m_devices.append(name);
    emit changed();
    const QString device = name.isEmpty() ? kUnknownDevice : name;
    if (m_connectAutomatically && name == m_serviceName) {
        platform::RunLoop &runLoop = platform::RunLoop::main();
        runLoop.cancelPreviousPerformRequests(this);
        const int row = int(m_devices.size());
        runLoop.performAfterDelay(this, QStringLiteral("connectToNewServiceWithNumber"), kAutomaticConnectDelay,
                                  [this, row] { connectToNewServiceWithNumber(row); });
        platform::NotificationCenter::defaultCenter().post(
            kMRKODidFindDevice, nullptr, {{QStringLiteral("device"), device}, {QStringLiteral("needPopover"), false}});
        return;
    }
    if (!m_isDeviceConnected) {
        platform::NotificationCenter::defaultCenter().post(
            kMRKODidFindDevice, nullptr, {{QStringLiteral("device"), device}, {QStringLiteral("needPopover"), true}});
    }
}

void MRKOUDPController::didRemoveService(const QString &name)
{
    qCInfo(lcRemote) << "didRemoveService" << name;
    // Only a device of this session ends it: a phone that already left has nothing more to end.
    if (name == m_serviceName && (!m_currentService.isEmpty() || m_socket))
        stopCurrentService();
    if (m_devices.removeOne(name))
        emit changed();
    MRKOConPopover &popover = MRKOConPopover::sharedPopover();
    if (popover.isShown() && popover.name() == name)
        popover.closePopover();
}

void MRKOUDPController::connectToNewServiceWithNumber(int row)
{
    if (!m_isConnecting)
        connectButtonAction(row);
}

bool MRKOUDPController::connectToDeviceWithName(const QString &name)
{
    const qsizetype index = m_devices.indexOf(name);
    if (index < 0)
        return false;
    connectButtonAction(int(index) + 1);
    return true;
}

// --- the connection -----------------------------------------------------------------------------------------------

void MRKOUDPController::connectButtonAction(int row)
{
    if (m_socket && m_socket->isConnected()) {
        // Another phone, or the same one again: leave the connected one first.
        sendMessage(MRKORemoteCommandDisconnect);
        m_socket->closeAfterSending();
        platform::RunLoop::main().performAfterDelay(this, QStringLiteral("connectButtonAction"), kReconnectDelay,
                                                    [this, row] { connectButtonAction(row); });
        return;
    }
    if (!isDeviceRow(row))
        return;
    if (m_connectRoundTrips >= kMaxRoundTrips) {
        disconnect();
        updateTableCellButton();
        qCWarning(lcRemote) << "15 attempts with no success. Throw Connection.";
        return;
    }
    m_isConnecting = true;
    m_requestHasSent = false;
    updateTableCellButton();
    setCurrentService(m_devices.at(row - 1));
    updateConnectionHandlerWithTime(kRequestWatchdog);
    startProgress(true);
}

void MRKOUDPController::setCurrentService(const QString &name)
{
    stopCurrentService();
    m_currentService = name;
    m_serviceName = name;
    MRKOUtils::userDefaults().setObject(name, kCurrentServiceNameKey);
    if (platform::ServiceBrowser *browser = platform::services().serviceBrowser.get()) {
        QPointer<MRKOUDPController> self(this);
        m_resolution =
            browser->resolve(name, kResolveTimeout, [self](const QList<QByteArray> &addresses, const QString &error) {
                if (self)
                    self->netServiceDidResolveAddress(addresses, error);
            });
    }
}

void MRKOUDPController::netServiceDidResolveAddress(const QList<QByteArray> &addresses, const QString &error)
{
    m_resolution.reset();
    if (addresses.isEmpty()) {
        qCWarning(lcRemote).noquote() << "Did Not Resolved:" << error;
        return; // the watchdog decides
    }
    m_currentAddresses = addresses;
    qCInfo(lcRemote).noquote() << QStringLiteral("netServiceDidResolveAddress: %1, connected(%2) requested(%3)")
                                      .arg(m_currentService)
                                      .arg(int(m_isDeviceConnected))
                                      .arg(int(m_requestHasSent));
    // An attempt given up meanwhile sends nothing.
    if (m_isDeviceConnected || m_requestHasSent || !m_isConnecting)
        return;
    updateConnectionHandlerWithTime(kRequestWatchdog);
    sendRequestToService();
    setStatus(QStringLiteral("Connecting With %1").arg(m_currentService), Qt::blue);
}

void MRKOUDPController::sendRequestToService()
{
    const QList<QByteArray> reachable = Util::allReachableAddresses({m_currentService, m_currentAddresses});
    QStringList hosts;
    for (const QByteArray &address : reachable)
        hosts << addressHost(address);
    qCInfo(lcRemote).noquote() << QStringLiteral("Addresses: %1, Reachable Addresses: (%2)")
                                      .arg(m_currentAddresses.size())
                                      .arg(hosts.join(QStringLiteral(", ")));
    if (reachable.isEmpty()) {
        qCWarning(lcRemote) << "Service has no any Reachable Addresses";
    } else {
        if (m_socket)
            m_socket->synchronouslySetDelegate(nullptr);
        m_socket = std::make_unique<GCDAsyncUdpSocket>(this, &platform::DispatchQueue::main());
        inkora::SocketError error;
        if (!m_socket->bindToPortError(0, &error) || !m_socket->beginReceiving(&error))
            qCWarning(lcRemote).noquote() << "sendRequestToService:" << error.description;
        const quint64 command =
            m_connectRoundTrips % 5 == 1 ? MRKORemoteCommandRequestAlternate : MRKORemoteCommandRequest;
        sendMessageToAddress(command, reachable.at(int(m_connectRoundTrips % reachable.size())));
        m_requestHasSent = true;
    }
    ++m_connectRoundTrips;
}

bool MRKOUDPController::isFromCurrentService(const QByteArray &address) const
{
    // The IP address must match, and for IPv6 its scope too; the port may be any.
    const auto sameHost = [](const QByteArray &a, const QByteArray &b) {
        const int family = GCDAsyncUdpSocket::familyFromAddress(a);
        if (family != GCDAsyncUdpSocket::familyFromAddress(b))
            return false;
        if (family == AF_INET) {
            sockaddr_in x{}, y{};
            std::memcpy(&x, a.constData(), sizeof(x));
            std::memcpy(&y, b.constData(), sizeof(y));
            return x.sin_addr.s_addr == y.sin_addr.s_addr;
        }
        if (family == AF_INET6) {
            sockaddr_in6 x{}, y{};
            std::memcpy(&x, a.constData(), sizeof(x));
            std::memcpy(&y, b.constData(), sizeof(y));
            return std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof(x.sin6_addr)) == 0 &&
                   x.sin6_scope_id == y.sin6_scope_id;
        }
        return false;
    };
    return std::any_of(m_currentAddresses.cbegin(), m_currentAddresses.cend(),
                       [&](const QByteArray &known) { return sameHost(known, address); });
}

void MRKOUDPController::handleResponseFromAddress(const QByteArray &address)
{
    qCInfo(lcRemote) << "handleResponseFromAddress";
    QString error;
    if (!connectIfNeededWithAddressError(address, &error))
        qCWarning(lcRemote).noquote() << "Connection Error:" << error;
}

bool MRKOUDPController::connectIfNeededWithAddressError(const QByteArray &address, QString *error)
{
    if (!m_socket)
        return false;
    if (m_socket->isConnected())
        return true;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        inkora::SocketError socketError;
        if (m_socket->connectToAddressError(address, &socketError))
            return true;
        qCWarning(lcRemote).noquote() << QStringLiteral("Unable to connect with Device %1 userinfo %2")
                                             .arg(socketError.description, socketError.failureReason);
        *error = socketError.description;
    }
    return false;
}

void MRKOUDPController::udpSocketDidConnectToAddress(GCDAsyncUdpSocket *sock, const QByteArray &address)
{
    if (sock != m_socket.get())
        return;
    qCInfo(lcRemote).noquote() << "didConnectToAddress:" << sock->connectedHost();
    updateConnectionHandlerWithTime(kAssociatedWatchdog);
    m_address = address;
    m_port = sock->localPort();
    sendMessage(MRKORemoteCommandConnected);
}

void MRKOUDPController::udpSocketDidNotConnect(GCDAsyncUdpSocket *, const inkora::SocketError &error)
{
    qCWarning(lcRemote).noquote() << "didNotConnect:" << error.description;
}

void MRKOUDPController::connectedWithDevice()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    startProgress(false);
    sendMessage(MRKORemoteCommandConnectedAck);
    m_connectRoundTrips = 0;
    m_isDeviceConnected = true;
    m_isConnecting = false;
    m_requestHasSent = false;
    updateTableCellButton();
    setStatus(QStringLiteral("Connected with %1").arg(m_socket ? m_socket->connectedHost() : QString()),
              QColor(Qt::green));
    if (m_wantsMouseTracking)
        m_positionController->startUpdates();
    platform::NotificationCenter::defaultCenter().post(kMRKODidConnectWithDevice);
    sendAppState();
    preventDisplaySleep();
}

void MRKOUDPController::updateConnectionHandlerWithTime(double seconds)
{
    platform::RunLoop &runLoop = platform::RunLoop::main();
    runLoop.cancelPreviousPerformRequests(this, kHandleConnection);
    runLoop.performAfterDelay(this, kHandleConnection, seconds, [this] { handleConnection(); });
}

void MRKOUDPController::handleConnection()
{
    if (m_isDeviceConnected || m_serviceName.isEmpty())
        return;
    const qsizetype index = m_devices.indexOf(m_serviceName);
    qCInfo(lcRemote).noquote() << "Try Reconnect to Service:" << (index < 0 ? QString() : m_serviceName);
    if (index >= 0)
        connectButtonAction(int(index) + 1);
}

void MRKOUDPController::disconnectButtonAction()
{
    m_isConnecting = false;
    m_connectRoundTrips = 0;
    startProgress(false);
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    sendMessage(MRKORemoteCommandDisconnect);
    if (m_socket)
        m_socket->closeAfterSending();
    else
        stopCurrentService(); // nothing to close: an attempt still resolving ends here
}

void MRKOUDPController::disconnect()
{
    disconnectButtonAction();
}

void MRKOUDPController::finishSending()
{
    if (m_socket)
        m_socket->performBlock([] {});
}

void MRKOUDPController::udpSocketDidCloseWithError(GCDAsyncUdpSocket *sock,
                                                   const std::optional<inkora::SocketError> &error)
{
    qCInfo(lcRemote).noquote() << "udpSocketDidClose:" << (error ? error->description : QStringLiteral("(null)"));
    if (sock == m_socket.get())
        stopCurrentService();
}

void MRKOUDPController::stopCurrentService()
{
    m_positionController->stopUpdates();
    m_isDeviceConnected = false;
    setStatus(QStringLiteral("No Device is Connected"), Qt::red);
    updateTableCellButton();
    m_resolution.reset();
    m_currentService.clear();
    m_currentAddresses.clear();
    if (m_socket) {
        m_socket->synchronouslySetDelegate(nullptr);
        // Going away closes it; nothing it still had queued is delivered.
        m_socket.reset();
    }
    platform::NotificationCenter::defaultCenter().post(
        kMRKODidDisconnectWithDevice, nullptr,
        {{QStringLiteral("device"), m_serviceName.isEmpty() ? kUnknownDevice : m_serviceName}});
    allowDisplaySleep();
}

void MRKOUDPController::preventDisplaySleep()
{
    platform::ScreenSaverInhibitor *inhibitor = platform::services().screenSaverInhibitor.get();
    const std::optional<quint32> cookie =
        inhibitor ? inhibitor->inhibit(QStringLiteral("Inkora"), QStringLiteral("Inkora Remote is connected"))
                  : std::nullopt;
    if (!cookie) {
        qCWarning(lcRemote) << "preventDisplaySleep: the display may sleep while the remote is connected";
        return;
    }
    m_assertionID = *cookie;
    m_preventSleep = true;
}

void MRKOUDPController::allowDisplaySleep()
{
    if (!m_preventSleep)
        return;
    platform::ScreenSaverInhibitor *inhibitor = platform::services().screenSaverInhibitor.get();
    if (inhibitor && inhibitor->unInhibit(m_assertionID))
        m_preventSleep = false;
}
