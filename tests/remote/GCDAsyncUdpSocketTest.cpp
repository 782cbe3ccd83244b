#include "remote/GCDAsyncUdpSocket.h"

#include "platform/Dispatch.h"
#include "tests/remote/RemoteFixture.h"

#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using inkora::SocketError;
using platform::DispatchQueue;

namespace {

class GCDAsyncUdpSocketTest : public RemoteFixture
{
protected:
    std::unique_ptr<GCDAsyncUdpSocket> makeSocket(RecordingDelegate &delegate)
    {
        return std::make_unique<GCDAsyncUdpSocket>(&delegate, &DispatchQueue::main());
    }

    // A socket bound to port 0 on every interface and receiving.
    std::unique_ptr<GCDAsyncUdpSocket> makeReceiver(RecordingDelegate &delegate)
    {
        auto sock = makeSocket(delegate);
        SocketError error;
        EXPECT_TRUE(sock->bindToPortError(0, &error)) << qPrintable(error.description);
        EXPECT_TRUE(sock->beginReceiving(&error)) << qPrintable(error.description);
        return sock;
    }
};

struct FamilyRow
{
    const char *name;
    bool v6;
};

TEST_F(GCDAsyncUdpSocketTest, BindsToPortZeroAndExchangesDatagramsOnEachFamily)
{
    for (const FamilyRow &row : {FamilyRow{"Ipv4", false}, FamilyRow{"Ipv6", true}}) {
        SCOPED_TRACE(row.name);
        if (row.v6 && !hasIpv6Loopback())
            continue; // no ::1 on this machine
        RecordingDelegate aEvents, bEvents;
        auto a = makeReceiver(aEvents);
        auto b = makeReceiver(bEvents);
        const quint16 aPort = row.v6 ? a->localPort_IPv6() : a->localPort_IPv4();
        const quint16 bPort = row.v6 ? b->localPort_IPv6() : b->localPort_IPv4();
        ASSERT_NE(aPort, 0);
        ASSERT_NE(bPort, 0);
        EXPECT_EQ(a->localPort(), a->localPort_IPv4());
        EXPECT_EQ(a->localHost_IPv4(), QStringLiteral("0.0.0.0"));

        const QByteArray aAddress = row.v6 ? ipv6("::1", aPort) : ipv4("127.0.0.1", aPort);
        b->sendDataToAddressWithTimeoutTag("ping", aAddress, -1, 7);
        // Each socket's thread reports on its own; wait for both.
        ASSERT_TRUE(waitFor([&] { return aEvents.received("ping") && !bEvents.events.empty(); }));

        ASSERT_EQ(bEvents.events.size(), 1u);
        EXPECT_EQ(bEvents.events[0].kind, UdpEvent::Send);
        EXPECT_EQ(bEvents.events[0].tag, 7);
        const QByteArray from = aEvents.events.back().address;
        EXPECT_EQ(from.size(), row.v6 ? 28 : 16);
        EXPECT_EQ(GCDAsyncUdpSocket::familyFromAddress(from), row.v6 ? AF_INET6 : AF_INET);
        EXPECT_EQ(GCDAsyncUdpSocket::hostFromAddress(from),
                  row.v6 ? QStringLiteral("::1") : QStringLiteral("127.0.0.1"));
        EXPECT_EQ(GCDAsyncUdpSocket::portFromAddress(from), bPort);

        // The source address as received is good for an answer.
        a->sendDataToAddressWithTimeoutTag("pong", from, -1, 8);
        ASSERT_TRUE(waitFor([&] { return bEvents.received("pong"); }));
        EXPECT_FALSE(a->isClosed());
    }
}

TEST_F(GCDAsyncUdpSocketTest, ConnectedSocketTakesDatagramsOnlyFromItsPeer)
{
    RecordingDelegate peerEvents, otherEvents, strangerEvents, events;
    auto peer = makeReceiver(peerEvents);
    auto otherPort = makeReceiver(otherEvents);
    // Another address on the loopback network, with the peer's own port.
    auto stranger = makeSocket(strangerEvents);
    const quint16 peerPort = peer->localPort_IPv4();
    ASSERT_TRUE(stranger->bindToAddressError(ipv4("127.0.0.2", peerPort)));

    auto sock = makeReceiver(events);
    ASSERT_TRUE(sock->connectToAddressError(ipv4("127.0.0.1", peerPort)));
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Connect); }));
    EXPECT_TRUE(sock->isConnected());
    EXPECT_EQ(sock->connectedHost(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(sock->connectedPort(), peerPort);
    EXPECT_FALSE(sock->isIPv6()); // the other family is closed once connected

    const QByteArray sockAddress = ipv4("127.0.0.1", sock->localPort());
    otherPort->sendDataToAddressWithTimeoutTag("from another port", sockAddress, -1, 1);
    stranger->sendDataToAddressWithTimeoutTag("from another address", sockAddress, -1, 1);
    ASSERT_TRUE(waitFor([&] { return otherEvents.has(UdpEvent::Send) && strangerEvents.has(UdpEvent::Send); }));
    peer->sendDataToAddressWithTimeoutTag("from the peer", sockAddress, -1, 1);
    ASSERT_TRUE(waitFor([&] { return events.received("from the peer"); }));

    EXPECT_EQ(events.receivedData(), QList<QByteArray>{"from the peer"});
    // Sends without a destination go to the peer.
    sock->sendDataWithTimeoutTag("to the peer", -1, 2);
    ASSERT_TRUE(waitFor([&] { return peerEvents.received("to the peer"); }));
}

TEST_F(GCDAsyncUdpSocketTest, CloseAfterSendingSendsWhatWasQueuedThenClosesWithoutError)
{
    RecordingDelegate receiverEvents, events;
    auto receiver = makeReceiver(receiverEvents);
    auto sock = makeSocket(events);
    ASSERT_TRUE(sock->bindToPortError(0));

    sock->sendDataToAddressWithTimeoutTag("last words", ipv4("127.0.0.1", receiver->localPort()), -1, 3);
    sock->closeAfterSending();
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Close); }));

    ASSERT_EQ(events.events.size(), 2u);
    EXPECT_EQ(events.events[0].kind, UdpEvent::Send);
    EXPECT_EQ(events.events[0].tag, 3);
    EXPECT_EQ(events.events[1].kind, UdpEvent::Close);
    EXPECT_FALSE(events.events[1].error.has_value());
    EXPECT_TRUE(sock->isClosed());
    ASSERT_TRUE(waitFor([&] { return receiverEvents.received("last words"); }));
}

TEST_F(GCDAsyncUdpSocketTest, EmptyDatagramIsDroppedAndTheSocketStaysOpen)
{
    RecordingDelegate events;
    auto sock = makeReceiver(events);
    const QByteArray address = ipv4("127.0.0.1", sock->localPort());

    // A plain socket, since ours drops empty data before it goes out.
    const int raw = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(raw, 0);
    const auto *to = reinterpret_cast<const sockaddr *>(address.constData());
    ASSERT_EQ(::sendto(raw, "", 0, 0, to, sizeof(sockaddr_in)), 0);
    ASSERT_EQ(::sendto(raw, "after", 5, 0, to, sizeof(sockaddr_in)), 5);
    ::close(raw);

    ASSERT_TRUE(waitFor([&] { return events.received("after"); }));
    EXPECT_EQ(events.receivedData(), QList<QByteArray>{"after"});
    EXPECT_FALSE(events.has(UdpEvent::Close));
    EXPECT_FALSE(sock->isClosed());
}

TEST_F(GCDAsyncUdpSocketTest, QuietCasesReportNothing)
{
    RecordingDelegate receiverEvents, events;
    auto receiver = makeReceiver(receiverEvents);
    auto sock = makeSocket(events);
    const QByteArray to = ipv4("127.0.0.1", receiver->localPort());

    // Empty data goes nowhere and is not reported; a later datagram is.
    sock->sendDataToAddressWithTimeoutTag(QByteArray(), to, -1, 1);
    sock->sendDataToAddressWithTimeoutTag("x", to, -1, 2);
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Send); }));
    ASSERT_EQ(events.events.size(), 1u);
    EXPECT_EQ(events.events[0].tag, 2);

    // Beginning to receive twice answers yes both times.
    EXPECT_TRUE(receiver->beginReceiving());
    EXPECT_TRUE(receiver->beginReceiving());

    // A socket that was never bound or used closes without a close event.
    RecordingDelegate unusedEvents;
    auto unused = makeSocket(unusedEvents);
    unused->close();
    unused->closeAfterSending();
    unused->performBlock([] {});
    drainMainQueue();
    EXPECT_TRUE(unusedEvents.events.empty());
}

struct ErrorRow
{
    const char *name;
    std::function<bool(GCDAsyncUdpSocket &, SocketError *)> act;
    long code;
    const char *message;
};

TEST_F(GCDAsyncUdpSocketTest, RefusedOperationsAnswerNoWithTheirMessage)
{
    const QByteArray loop4 = ipv4("127.0.0.1", 9);
    const std::vector<ErrorRow> rows = {
        {"BindTwice", [](auto &s, auto *e) { return s.bindToPortError(0) && s.bindToPortError(0, e); },
         SocketError::BadConfigError, "Cannot bind a socket more than once."},
        {"BindAfterConnect",
         [](auto &s, auto *e) {
             // On the socket queue, so that the lookup cannot answer before the bind is tried.
             bool ok = true;
             s.performBlock([&] { ok = s.connectToHostOnPortError("localhost", 9) && s.bindToPortError(0, e); });
             return ok;
         },
         SocketError::BadConfigError, "Cannot bind after connecting. If needed, bind first, then connect."},
        {"BindWithBothFamiliesDisabled",
         [](auto &s, auto *e) {
             s.setIPv4Enabled(false);
             s.setIPv6Enabled(false);
             return s.bindToPortError(0, e);
         },
         SocketError::BadConfigError,
         "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."},
        {"ConnectWithBothFamiliesDisabled",
         [&](auto &s, auto *e) {
             s.setIPv4Enabled(false);
             s.setIPv6Enabled(false);
             return s.connectToAddressError(loop4, e);
         },
         SocketError::BadConfigError,
         "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."},
        {"ConnectTwice",
         [&](auto &s, auto *e) { return s.connectToAddressError(loop4) && s.connectToAddressError(loop4, e); },
         SocketError::BadConfigError, "Cannot connect a socket more than once."},
        {"ConnectWithoutAddress", [](auto &s, auto *e) { return s.connectToAddressError(QByteArray(), e); },
         SocketError::BadParamError, "The address param is nil. Should be a valid address."},
        {"ConnectWithoutHost", [](auto &s, auto *e) { return s.connectToHostOnPortError(QString(), 9, e); },
         SocketError::BadParamError, "The host param is nil. Should be domain name or IP address string."},
        {"ReceiveBeforeBind", [](auto &s, auto *e) { return s.beginReceiving(e); }, SocketError::BadConfigError,
         "Must bind socket before you can receive data. You can do this explicitly via bind, or implicitly via "
         "connect or by sending data."},
        {"UnknownInterface", [](auto &s, auto *e) { return s.bindToPortInterfaceError(0, "nosuchif0", e); },
         SocketError::BadParamError,
         "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."},
        {"InterfaceOfADisabledFamily",
         [](auto &s, auto *e) {
             s.setIPv4Enabled(false);
             return s.bindToPortInterfaceError(0, "127.0.0.1", e);
         },
         SocketError::BadParamError, "IPv4 has been disabled and specified interface doesn't support IPv6."},
        {"InvalidBindAddress", [](auto &s, auto *e) { return s.bindToAddressError(QByteArray(10, '\0'), e); },
         SocketError::BadParamError, "A valid IPv4 or IPv6 address was not given"},
        {"BindAddressOfADisabledFamily",
         [&](auto &s, auto *e) {
             s.setIPv4Enabled(false);
             return s.bindToAddressError(loop4, e);
         },
         SocketError::BadParamError, "IPv4 has been disabled and an IPv4 address was passed."},
        {"BindToAnAddressThatIsNotOurs", [](auto &s, auto *e) { return s.bindToAddressError(ipv4("192.0.2.1", 0), e); },
         EADDRNOTAVAIL, "Error in bind() function"},
        {"JoinBeforeBind", [](auto &s, auto *e) { return s.joinMulticastGroupError("239.255.0.1", e); },
         SocketError::BadConfigError, "Must bind a socket before joining a multicast group."},
        {"JoinWhenConnected",
         [&](auto &s, auto *e) {
             return s.bindToPortError(0) && s.connectToAddressError(loop4) &&
                    s.joinMulticastGroupError("239.255.0.1", e);
         },
         SocketError::BadConfigError, "Cannot join a multicast group if connected."},
        {"JoinUnknownGroup",
         [](auto &s, auto *e) { return s.bindToPortError(0) && s.joinMulticastGroupError("no group", e); },
         SocketError::BadParamError, "Unknown group. Specify valid group IP address."},
        {"JoinOnUnknownInterface",
         [](auto &s, auto *e) {
             return s.bindToPortError(0) && s.joinMulticastGroupOnInterfaceError("239.255.0.1", "nosuchif0", e);
         },
         SocketError::BadParamError,
         "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."},
        {"JoinWithMismatchedFamilies",
         [](auto &s, auto *e) {
             s.setIPv6Enabled(false);
             return s.bindToPortError(0) && s.joinMulticastGroupError("ff02::1", e);
         },
         SocketError::BadParamError, "Socket, group, and interface do not have matching IP versions"},
    };
    for (const ErrorRow &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDelegate events;
        auto sock = makeSocket(events);
        SocketError error;
        EXPECT_FALSE(row.act(*sock, &error));
        EXPECT_EQ(error.code, row.code);
        if (row.code == EADDRNOTAVAIL) {
            EXPECT_EQ(error.domain, QString::fromLatin1(inkora::kPosixErrorDomain));
            EXPECT_EQ(error.failureReason, QString::fromLatin1(row.message));
        } else {
            EXPECT_EQ(error.domain, QString::fromLatin1(inkora::kGCDAsyncUdpSocketErrorDomain));
            EXPECT_EQ(error.description, QString::fromLatin1(row.message));
        }
        sock->close();
    }
}

TEST_F(GCDAsyncUdpSocketTest, SocketWithoutDelegateOrQueueRefusesToBindAndStaysUsable)
{
    GCDAsyncUdpSocket sock;
    SocketError error;
    EXPECT_FALSE(sock.bindToPortError(0, &error));
    EXPECT_EQ(error.description, QStringLiteral("Attempting to use socket without a delegate. Set a delegate first."));

    RecordingDelegate events;
    sock.setDelegate(&events);
    EXPECT_FALSE(sock.connectToAddressError(ipv4("127.0.0.1", 9), &error));
    EXPECT_EQ(error.description,
              QStringLiteral("Attempting to use socket without a delegate queue. Set a delegate queue first."));

    sock.synchronouslySetDelegateQueue(&DispatchQueue::main());
    EXPECT_TRUE(sock.bindToPortError(0, &error));
    EXPECT_EQ(sock.delegate(), &events);
}

TEST_F(GCDAsyncUdpSocketTest, UnknownInterfaceLeavesTheSocketUnbound)
{
    RecordingDelegate events;
    auto sock = makeSocket(events);
    EXPECT_FALSE(sock->bindToPortInterfaceError(0, "nosuchif0"));
    EXPECT_TRUE(sock->isClosed());
    EXPECT_TRUE(sock->bindToPortError(0));
}

TEST_F(GCDAsyncUdpSocketTest, QueuedOperationsReportTheirErrorsThroughTheDelegate)
{
    RecordingDelegate events;
    auto sock = makeSocket(events);
    // Bound to the IPv4 loopback only: IPv6 is deactivated.
    ASSERT_TRUE(sock->bindToPortInterfaceError(0, "127.0.0.1"));
    EXPECT_FALSE(sock->isIPv6Address(sock->localAddress()));

    sock->sendDataWithTimeoutTag("nowhere", -1, 1);
    sock->sendDataToAddressWithTimeoutTag("to IPv6", ipv6("::1", 9), -1, 2);
    ASSERT_TRUE(sock->connectToAddressError(ipv6("::1", 9)));
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::NotConnect); }));

    ASSERT_EQ(events.events.size(), 3u);
    EXPECT_EQ(events.events[0].kind, UdpEvent::NotSend);
    EXPECT_EQ(events.events[0].error->description,
              QStringLiteral("You must specify destination of packet for a non-connected socket"));
    EXPECT_EQ(events.events[1].kind, UdpEvent::NotSend);
    EXPECT_EQ(events.events[1].tag, 2);
    const QString deactivated =
        QStringLiteral("IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es).");
    EXPECT_EQ(events.events[1].error->description, deactivated);
    EXPECT_EQ(events.events[2].error->description, deactivated);
    EXPECT_FALSE(sock->isConnected());

    // Once connected, a destination given by name is refused.
    ASSERT_TRUE(sock->connectToAddressError(ipv4("127.0.0.1", 9)));
    sock->sendDataToHostPortWithTimeoutTag("named", "localhost", 9, -1, 3);
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Connect) && events.events.back().tag == 3; }));
    EXPECT_EQ(events.events.back().kind, UdpEvent::NotSend);
    EXPECT_EQ(events.events.back().error->description,
              QStringLiteral("Cannot specify destination of packet for connected socket"));
}

TEST_F(GCDAsyncUdpSocketTest, LoopbackInterfaceBindsBothFamilies)
{
    if (!hasIpv6Loopback())
        GTEST_SKIP() << "no ::1 on this machine";
    for (const char *name : {"loopback", "localhost", "lo"}) {
        SCOPED_TRACE(name);
        RecordingDelegate events;
        auto sock = makeSocket(events);
        ASSERT_TRUE(sock->bindToPortInterfaceError(0, QString::fromLatin1(name)));
        EXPECT_EQ(sock->localHost_IPv4(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(sock->localHost_IPv6(), QStringLiteral("::1"));
    }
}

TEST_F(GCDAsyncUdpSocketTest, ConnectsToLocalhostByNameAndHonoursTheFamilyPreference)
{
    RecordingDelegate peerEvents;
    auto peer = makeSocket(peerEvents);
    ASSERT_TRUE(peer->bindToPortInterfaceError(0, hasIpv6Loopback() ? "loopback" : "127.0.0.1"));
    ASSERT_TRUE(peer->beginReceiving());
    const quint16 port4 = peer->localPort_IPv4();

    RecordingDelegate events;
    auto sock = makeSocket(events);
    ASSERT_TRUE(sock->connectToHostOnPortError("localhost", port4));
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Connect); }));
    EXPECT_EQ(sock->connectedHost(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(sock->connectedPort(), port4);
    sock->sendDataWithTimeoutTag("hello", -1, 1);
    ASSERT_TRUE(waitFor([&] { return peerEvents.received("hello"); }));

    if (!hasIpv6Loopback())
        return;
    RecordingDelegate events6;
    auto sock6 = makeSocket(events6);
    sock6->setPreferIPv6();
    EXPECT_TRUE(sock6->isIPv6Preferred());
    ASSERT_TRUE(sock6->connectToHostOnPortError("loopback", peer->localPort_IPv6()));
    ASSERT_TRUE(waitFor([&] { return events6.has(UdpEvent::Connect); }));
    EXPECT_EQ(sock6->connectedHost(), QStringLiteral("::1"));
    EXPECT_FALSE(sock6->isIPv4());
}

TEST_F(GCDAsyncUdpSocketTest, SendsToANumericHostByName)
{
    RecordingDelegate receiverEvents, events;
    auto receiver = makeReceiver(receiverEvents);
    auto sock = makeSocket(events);
    sock->sendDataToHostPortWithTimeoutTag("by name", "127.0.0.1", receiver->localPort(), -1, 4);
    ASSERT_TRUE(waitFor([&] { return receiverEvents.received("by name"); }));
    ASSERT_TRUE(waitFor([&] { return events.has(UdpEvent::Send); }));
    EXPECT_EQ(events.events[0].tag, 4);
}

struct FilterRow
{
    const char *name;
    bool async;
};

TEST_F(GCDAsyncUdpSocketTest, FiltersDecideWhatIsDeliveredAndWhatGoesOut)
{
    for (const FilterRow &row : {FilterRow{"Synchronous", false}, FilterRow{"Asynchronous", true}}) {
        SCOPED_TRACE(row.name);
        RecordingDelegate receiverEvents, events;
        auto receiver = makeReceiver(receiverEvents);
        receiver->setReceiveFilterWithQueueIsAsynchronous(
            [](const QByteArray &data, const QByteArray &, QVariant *context) {
                *context = data.size();
                return data.startsWith("y");
            },
            &DispatchQueue::global(), row.async);
        auto sock = makeSocket(events);
        sock->setSendFilterWithQueueIsAsynchronous(
            [](const QByteArray &, const QByteArray &address, qint64 tag) {
                return tag != 2 && GCDAsyncUdpSocket::isIPv4Address(address);
            },
            &DispatchQueue::global(), row.async);

        const QByteArray to = ipv4("127.0.0.1", receiver->localPort());
        sock->sendDataToAddressWithTimeoutTag("no", to, -1, 1);
        sock->sendDataToAddressWithTimeoutTag("yes, but refused on the way out", to, -1, 2);
        sock->sendDataToAddressWithTimeoutTag("yes", to, -1, 3);
        ASSERT_TRUE(waitFor([&] { return receiverEvents.received("yes"); }));
        ASSERT_TRUE(waitFor([&] { return events.events.size() == 3; }));

        EXPECT_EQ(receiverEvents.receivedData(), QList<QByteArray>{"yes"});
        EXPECT_EQ(receiverEvents.events.back().context.toInt(), 3);
        // A refused datagram is reported as sent; order is kept.
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(events.events[i].kind, UdpEvent::Send);
            EXPECT_EQ(events.events[i].tag, i + 1);
        }
    }
}

TEST_F(GCDAsyncUdpSocketTest, ReceiveOnceDeliversOneDatagramAtATime)
{
    RecordingDelegate receiverEvents, events;
    auto receiver = makeSocket(receiverEvents);
    ASSERT_TRUE(receiver->bindToPortError(0));
    auto sock = makeSocket(events);
    const QByteArray to = ipv4("127.0.0.1", receiver->localPort());
    sock->sendDataToAddressWithTimeoutTag("1", to, -1, 1);
    sock->sendDataToAddressWithTimeoutTag("2", to, -1, 2);
    ASSERT_TRUE(waitFor([&] { return events.events.size() == 2; }));

    ASSERT_TRUE(receiver->receiveOnce());
    ASSERT_TRUE(waitFor([&] { return receiverEvents.events.size() == 1; }));
    receiver->pauseReceiving();
    ASSERT_TRUE(receiver->receiveOnce());
    ASSERT_TRUE(waitFor([&] { return receiverEvents.events.size() == 2; }));
    EXPECT_EQ(receiverEvents.receivedData(), (QList<QByteArray>{"1", "2"}));
}

TEST_F(GCDAsyncUdpSocketTest, EventsForADelegateOrSocketThatWentAwayAreDropped)
{
    auto delegate = std::make_unique<RecordingDelegate>();
    auto sock = makeSocket(*delegate);
    ASSERT_TRUE(sock->bindToPortError(0));
    sock->close(); // a close event now waits on the main queue
    delegate.reset();
    drainMainQueue(); // must not reach the delegate

    RecordingDelegate events;
    auto gone = makeSocket(events);
    ASSERT_TRUE(gone->bindToPortError(0));
    gone->sendDataToAddressWithTimeoutTag("x", ipv4("127.0.0.1", 9), -1, 1);
    gone.reset();
    drainMainQueue();
    EXPECT_FALSE(events.has(UdpEvent::Close));
}

TEST_F(GCDAsyncUdpSocketTest, OptionsAreSetOnTheDescriptorsTheyConcern)
{
    RecordingDelegate events;
    auto sock = makeSocket(events);
    ASSERT_TRUE(sock->enableReusePortError(true)); // makes the sockets, binds nothing
    ASSERT_TRUE(sock->enableBroadcastError(true));
    EXPECT_FALSE(sock->isClosed());
    EXPECT_EQ(sock->socket4FD(), -1); // descriptors are not handed out off the socket queue

    const auto option = [](int fd, int name) {
        int value = 0;
        socklen_t length = sizeof(value);
        return fd != -1 && getsockopt(fd, SOL_SOCKET, name, &value, &length) == 0 ? value : -1;
    };
    sock->performBlock([&] {
        EXPECT_EQ(option(sock->socket4FD(), SO_REUSEPORT), 1);
        EXPECT_EQ(option(sock->socket6FD(), SO_REUSEPORT), 1);
        EXPECT_EQ(option(sock->socket4FD(), SO_BROADCAST), 1);
        EXPECT_EQ(option(sock->socket6FD(), SO_BROADCAST), 0);
        EXPECT_EQ(sock->socketFD(), sock->socket4FD());
    });
}

TEST_F(GCDAsyncUdpSocketTest, JoiningAGroupOnLoopbackKeepsOnlyItsFamily)
{
    RecordingDelegate events;
    auto sock = makeSocket(events);
    ASSERT_TRUE(sock->bindToPortError(0));
    SocketError error;
    ASSERT_TRUE(sock->joinMulticastGroupOnInterfaceError("239.255.77.1", "127.0.0.1", &error))
        << qPrintable(error.description);
    EXPECT_TRUE(sock->isIPv4());
    EXPECT_FALSE(sock->isIPv6());
    EXPECT_TRUE(sock->leaveMulticastGroupOnInterfaceError("239.255.77.1", "127.0.0.1", &error))
        << qPrintable(error.description);
}

struct AddressRow
{
    const char *name;
    QByteArray data;
    bool ok;
    QString host;
    quint16 port;
    int family;
};

TEST_F(GCDAsyncUdpSocketTest, AddressHelpersReadOnlyCompleteAddresses)
{
    const std::vector<AddressRow> rows = {
        {"Ipv4", ipv4("10.0.0.1", 80), true, QStringLiteral("10.0.0.1"), 80, AF_INET},
        {"Ipv6", ipv6("fe80::1", 5353), true, QStringLiteral("fe80::1"), 5353, AF_INET6},
        {"ShortIpv4", ipv4("10.0.0.1", 80).left(15), false, QString(), 0, 0},
        {"Ipv6OfIpv4Length", ipv6("::1", 1).left(16), false, QString(), 0, 0},
        {"Empty", QByteArray(), false, QString(), 0, 0},
    };
    for (const AddressRow &row : rows) {
        SCOPED_TRACE(row.name);
        QString host = QStringLiteral("stale");
        quint16 port = 1;
        int family = -1;
        EXPECT_EQ(GCDAsyncUdpSocket::getHostPortFamilyFromAddress(&host, &port, &family, row.data), row.ok);
        EXPECT_EQ(host, row.host);
        EXPECT_EQ(port, row.port);
        EXPECT_EQ(family, row.family);
        EXPECT_EQ(GCDAsyncUdpSocket::familyFromAddress(row.data), row.family);
        EXPECT_EQ(GCDAsyncUdpSocket::isIPv4Address(row.data), row.family == AF_INET);
        EXPECT_EQ(GCDAsyncUdpSocket::isIPv6Address(row.data), row.family == AF_INET6);
    }
}

} // namespace
