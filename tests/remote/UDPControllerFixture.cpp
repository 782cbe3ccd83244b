#include "tests/remote/UDPControllerFixture.h"

#include "platform/fake/FakeServiceBrowser.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/MRKOUDPController.h"

void UDPControllerFixture::SetUp()
{
    RemoteFixture::SetUp();
    auto fake = std::make_unique<FakeRemoteNeighbours>();
    neighbours = fake.get();
    inkora::setRemoteNeighbours(std::move(fake));
    phone = std::make_unique<TestPhone>();
}

void UDPControllerFixture::TearDown()
{
    RemoteFixture::TearDown();
    inkora::setRemoteNeighbours(nullptr);
}

MRKOUDPController &UDPControllerFixture::controller()
{
    return MRKOUDPController::sharedController();
}

void UDPControllerFixture::advertise(const QString &name)
{
    (void)controller();
    fakes().serviceBrowser->addService(name, {phone->address()});
}

bool UDPControllerFixture::phoneReceives(int count)
{
    return waitFor([&] { return phone->poll() >= count; });
}

bool UDPControllerFixture::connectPhone()
{
    advertise();
    const int before = phone->poll();
    if (!controller().connectToDeviceWithName(QStringLiteral("Test Phone")))
        return false;
    drainMainQueue();
    if (!phoneReceives(before + 1))
        return false;
    phone->reply(QByteArray::fromHex("FEEDFACEED"));
    if (!phoneReceives(before + 2))
        return false;
    phone->reply(QByteArray::fromHex("FEEDFACEA0"));
    return waitFor([&] { return controller().isConnected(); }) && phoneReceives(before + 4);
}

void UDPControllerFixture::deliver(const QByteArray &data)
{
    controller().udpSocketDidReceiveDataFromAddressWithFilterContext(controller().socket(), data, phone->address(), {});
}

QList<QByteArray> UDPControllerFixture::receivedSince(int from) const
{
    return phone->received.mid(from);
}
