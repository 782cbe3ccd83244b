#pragma once

#include "tests/remote/FakeRemoteNeighbours.h"
#include "tests/remote/RemoteFixture.h"
#include "tests/remote/TestPhone.h"

#include <QByteArray>

#include <memory>

class MRKOUDPController;

/// The remote controller with fake neighbours, a fake service browser and a phone on loopback named
/// "Test Phone".
class UDPControllerFixture : public RemoteFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] MRKOUDPController &controller();
    /// The phone appears on the network.
    void advertise(const QString &name = QStringLiteral("Test Phone"));
    /// Waits until the phone has received `count` datagrams in all.
    [[nodiscard]] bool phoneReceives(int count);
    /// Runs the whole handshake with the phone; false when it does not complete.
    [[nodiscard]] bool connectPhone();
    /// Hands a datagram to the controller as its socket would, from the phone.
    void deliver(const QByteArray &data);
    /// The datagrams the phone received after the first `from`.
    [[nodiscard]] QList<QByteArray> receivedSince(int from) const;

    FakeRemoteNeighbours *neighbours = nullptr; // owned by the remote
    std::unique_ptr<TestPhone> phone;
};
