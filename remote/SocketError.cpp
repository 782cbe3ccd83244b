#include "remote/SocketError.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace inkora {

namespace {
SocketError ofSocketDomain(SocketError::Code code, const QString &message)
{
    return {QString::fromLatin1(kGCDAsyncUdpSocketErrorDomain), code, message, {}};
}
} // namespace

SocketError SocketError::badConfig(const QString &message)
{
    return ofSocketDomain(BadConfigError, message);
}

SocketError SocketError::badParam(const QString &message)
{
    return ofSocketDomain(BadParamError, message);
}

SocketError SocketError::other(const QString &message)
{
    return ofSocketDomain(OtherError, message);
}

SocketError SocketError::sendTimeout()
{
    return ofSocketDomain(SendTimeoutError, QStringLiteral("Send operation timed out"));
}

SocketError SocketError::socketClosed()
{
    return ofSocketDomain(ClosedError, QStringLiteral("Socket closed"));
}

SocketError SocketError::fromErrno(const QString &reason)
{
    const int code = errno;
    return {QString::fromLatin1(kPosixErrorDomain), code, QString::fromLocal8Bit(std::strerror(code)), reason};
}

SocketError SocketError::fromLookup(int code)
{
    return {QString::fromLatin1(kCFStreamErrorDomainNetDB), code, QString::fromLocal8Bit(gai_strerror(code)), {}};
}

} // namespace inkora
