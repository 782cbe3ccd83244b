#pragma once

#include <QString>

namespace inkora {

/// An error of the socket layer: its domain and code, its message and, for failed system calls, the reason.
struct SocketError
{
    // Codes of the socket domain.
    enum Code : int {
        NoError = 0,
        BadConfigError = 1,
        BadParamError = 2,
        SendTimeoutError = 3,
        ClosedError = 4,
        OtherError = 5,
    };

    QString domain;
    long code = 0;
    QString description;
    QString failureReason; // failed system calls: the operation that failed

    [[nodiscard]] bool operator==(const SocketError &) const = default;

    [[nodiscard]] static SocketError badConfig(const QString &message);
    [[nodiscard]] static SocketError badParam(const QString &message);
    [[nodiscard]] static SocketError other(const QString &message);
    [[nodiscard]] static SocketError sendTimeout();
    [[nodiscard]] static SocketError socketClosed();
    /// The current errno with the system's text for it; `reason` names the failed call.
    [[nodiscard]] static SocketError fromErrno(const QString &reason);
    /// A failed name lookup: its getaddrinfo code and the system's text.
    [[nodiscard]] static SocketError fromLookup(int code);
};

inline constexpr char kGCDAsyncUdpSocketErrorDomain[] = "GCDAsyncUdpSocketErrorDomain";
inline constexpr char kPosixErrorDomain[] = "POSIX";
inline constexpr char kCFStreamErrorDomainNetDB[] = "kCFStreamErrorDomainNetDB";

} // namespace inkora
