#pragma once

#include "canvas/MRKOProxyDoc.h"
#include "platform/NotificationCenter.h"
#include "platform/ServiceBrowser.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class GCDAsyncUdpSocket;
class MRKORemotePane;
class MRKOPositionController;
class QWidget;

/// Posted when a phone was found: "device" (its name) and "needPopover" (whether to offer the Connect popover).
inline const QString kMRKODidFindDevice = QStringLiteral("MRKODidFindDevice");
inline const QString kMRKODidConnectWithDevice = QStringLiteral("MRKODidConnectWithDevice");
/// "device": the saved device name.
inline const QString kMRKODidDisconnectWithDevice = QStringLiteral("MRKODidDisconnectWithDevice");

/// The program's side of the phone remote: finds phones, runs the connection handshake, performs the phone's
/// commands and sends the program's state back; the remote pane is its view. States: Idle, Resolving (an attempt
/// waits for the phone's addresses), Requested (a request went out on a fresh socket), Associated (the socket is
/// connected to the phone and 160 was sent), Connected (the phone acknowledged). Main thread only.
class MRKOUDPController final : public QObject, public GCDAsyncUdpSocketDelegate
{
    Q_OBJECT
public:
    enum class State : int { Idle, Resolving, Requested, Associated, Connected };

    static MRKOUDPController &sharedController();
    ~MRKOUDPController() override;
    Q_DISABLE_COPY_MOVE(MRKOUDPController)

    [[nodiscard]] State state() const;
    [[nodiscard]] bool isConnected() const { return m_isDeviceConnected; }
    [[nodiscard]] bool isConnectingProcess() const { return m_isConnecting; }
    /// The saved device name; empty when none.
    [[nodiscard]] QString deviceName() const { return m_serviceName; }
    /// The found phones' names in the order found.
    [[nodiscard]] QStringList devices() const { return m_devices; }
    /// Presses Connect on the first listed device of that name; false when none is listed.
    bool connectToDeviceWithName(const QString &name);
    void disconnect();
    /// Waits until what was sent has gone out; for quitting, when nothing would send it later.
    void finishSending();

    // The pane: the device list, the status line and the two check boxes.
    [[nodiscard]] QWidget *view();
    [[nodiscard]] MRKORemotePane *pane() { return m_pane.get(); }
    [[nodiscard]] QString statusText() const { return m_statusText; }
    [[nodiscard]] QColor statusColor() const { return m_statusColor; }
    /// Row 0 is a header; devices follow, then, when applications are listed, a header and the applications.
    [[nodiscard]] int numberOfRows() const;
    [[nodiscard]] QString headerTextForRow(int row) const;
    [[nodiscard]] bool isDeviceRow(int row) const { return row >= 1 && row <= m_devices.size(); }
    [[nodiscard]] bool shouldSelectRow(int row) const { return row != 0 && !m_devices.isEmpty(); }
    void connectButtonAction(int row);
    void disconnectButtonAction();
    void connectAutomaticallyAction(bool on);
    void wantsMouseTrackingAction(bool on);
    void getInkoraForIOS();
    /// Before the pane is shown: every application row reads its permission again.
    void viewWillAppear();

    // Sending (Part of the wire format: every send goes through the current socket, time-out none, tag 0).
    [[nodiscard]] static QByteArray hookData();
    void sendMessage(quint64 command);
    void sendMessageToAddress(quint64 command, const QByteArray &address);
    void sendMessageToHostAndPort(quint64 command, const QString &host, quint16 port);
    void sendDataImmediately(const QByteArray &data);
    void sendToolType(quint64 toolType);
    void sendTextEditingDidStart();
    void sendTextEditingDidEnd();
    void sendUndoMask();
    void sendDissolve(qint64 mode);
    void sendToolBarHidden(bool hidden);
    void sendScreensCount();
    void sendIsAppShown();
    void sendColorType(qint64 colorType);
    void sendHue();
    void sendAppState();

    // What the phone's datagrams do.
    /// A datagram from the connected phone: a command, a hue, a motion sample or typed text.
    void performDatagram(const QByteArray &data);
    void processMessage(quint64 command);
    void changeHue(float hue);
    void processTypingData(const QByteArray &data);
    void updateBallPositionForPitchAndYaw(double pitch, double yaw);
    void toggleFreeze();
    void changeToolTypeForced(quint64 toolType);
    void changeColorType();
    void clearScreen();

    // Connection internals, open to tests.
    [[nodiscard]] GCDAsyncUdpSocket *socket() const { return m_socket.get(); }
    [[nodiscard]] qint64 connectRoundTrips() const { return m_connectRoundTrips; }
    [[nodiscard]] bool preventSleep() const { return m_preventSleep; }
    [[nodiscard]] QString currentService() const { return m_currentService; }

    // GCDAsyncUdpSocketDelegate
    void udpSocketDidConnectToAddress(GCDAsyncUdpSocket *sock, const QByteArray &address) override;
    void udpSocketDidNotConnect(GCDAsyncUdpSocket *sock, const inkora::SocketError &error) override;
    void udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *sock, const QByteArray &data,
                                                             const QByteArray &address,
                                                             const QVariant &filterContext) override;
    void udpSocketDidCloseWithError(GCDAsyncUdpSocket *sock, const std::optional<inkora::SocketError> &error) override;

signals:
    /// The device list, the status line or a row's connection state changed.
    void changed();

private:
    MRKOUDPController();

    void startServiceBrowser();
    void didFindService(const QString &name);
    void didRemoveService(const QString &name);
    void browserDidStop(const QString &error);
    void connectToNewServiceWithNumber(int row);
    void setCurrentService(const QString &name);
    void netServiceDidResolveAddress(const QList<QByteArray> &addresses, const QString &error);
    void sendRequestToService();
    void handleResponseFromAddress(const QByteArray &address);
    [[nodiscard]] bool connectIfNeededWithAddressError(const QByteArray &address, QString *error);
    void connectedWithDevice();
    void updateConnectionHandlerWithTime(double seconds);
    void handleConnection();
    void stopCurrentService();
    void updateTableCellButton();
    void setStatus(const QString &text, const QColor &color);
    void startProgress(bool running);
    void preventDisplaySleep();
    void allowDisplaySleep();
    [[nodiscard]] bool isFromCurrentService(const QByteArray &address) const;

    QString m_serviceName;
    MRKOPositionController *m_positionController = nullptr; // not owned; lives for the process
    bool m_isDeviceConnected = false;
    bool m_isConnecting = false;
    bool m_requestHasSent = false;
    qint64 m_connectRoundTrips = 0;
    QByteArray m_address;
    quint16 m_port = 0;
    quint32 m_assertionID = 0;
    bool m_preventSleep = false;
    QStringList m_devices;
    bool m_browsing = false;
    std::unique_ptr<GCDAsyncUdpSocket> m_socket;
    QString m_currentService;             // empty: none
    QList<QByteArray> m_currentAddresses; // of the current service, as resolved
    std::unique_ptr<platform::ServiceBrowser::Resolution> m_resolution;
    bool m_connectAutomatically = false;
    bool m_wantsMouseTracking = false;
    bool m_progressRunning = false;
    QString m_statusText;
    QColor m_statusColor;
    std::unique_ptr<MRKORemotePane> m_pane; // made with the view
    platform::ObserverToken m_textDidStart;
    platform::ObserverToken m_textDidEnd;
};
