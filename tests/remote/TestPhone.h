#pragma once

#include <QByteArray>
#include <QList>

/// The phone's end of the link in tests: a plain UDP socket on a loopback address.
class TestPhone
{
public:
    /// Binds to `host` ("127.0.0.1", "127.0.0.2") on a free port.
    explicit TestPhone(const char *host = "127.0.0.1");
    ~TestPhone();
    TestPhone(const TestPhone &) = delete;
    TestPhone &operator=(const TestPhone &) = delete;

    /// Its socket address (AF_INET, 16 bytes), as a service resolves to it.
    [[nodiscard]] QByteArray address() const;
    [[nodiscard]] quint16 port() const;
    /// Takes every datagram that has arrived; answers with how many are kept in all.
    int poll();
    /// Sends to the address the last datagram came from.
    void reply(const QByteArray &data);
    void sendTo(const QByteArray &data, const QByteArray &address);

    QList<QByteArray> received;
    QByteArray lastSender;

private:
    int m_fd = -1;
};
