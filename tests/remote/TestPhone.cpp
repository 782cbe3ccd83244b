#include "tests/remote/TestPhone.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

TestPhone::TestPhone(const char *host)
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    ::inet_pton(AF_INET, host, &in.sin_addr);
    (void)::bind(m_fd, reinterpret_cast<const sockaddr *>(&in), sizeof(in));
}

TestPhone::~TestPhone()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray TestPhone::address() const
{
    sockaddr_in in{};
    socklen_t length = sizeof(in);
    ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&in), &length);
    return {reinterpret_cast<const char *>(&in), sizeof(in)};
}

quint16 TestPhone::port() const
{
    sockaddr_in in{};
    socklen_t length = sizeof(in);
    ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&in), &length);
    return ntohs(in.sin_port);
}

int TestPhone::poll()
{
    char buffer[65536];
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof(from);
        const ssize_t n = ::recvfrom(m_fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr *>(&from), &length);
        if (n < 0)
            break;
        received << QByteArray(buffer, int(n));
        lastSender = QByteArray(reinterpret_cast<const char *>(&from), sizeof(from));
    }
    return int(received.size());
}

void TestPhone::reply(const QByteArray &data)
{
    sendTo(data, lastSender);
}

void TestPhone::sendTo(const QByteArray &data, const QByteArray &address)
{
    (void)::sendto(m_fd, data.constData(), size_t(data.size()), 0,
                   reinterpret_cast<const sockaddr *>(address.constData()), socklen_t(address.size()));
}
