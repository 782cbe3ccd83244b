#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

/// The datagrams of the phone remote: building what the program sends and telling apart what the phone sends.
/// Multi-byte values are little-endian; every datagram but the motion sample starts with FE ED FA CE.
namespace inkora::RemoteDatagram {

/// FE ED FA CE.
[[nodiscard]] QByteArray hookData();
/// The header and one command byte (only the low 8 bits of `command` count).
[[nodiscard]] QByteArray message(quint64 command);
/// The header, a command byte and one value byte.
[[nodiscard]] QByteArray messageWithValue(quint8 command, quint8 value);
/// The header, 242 and the hue as a float.
[[nodiscard]] QByteArray hueMessage(float hue);
/// The header, 240 and the 20-byte state record (short records are padded with zero, long ones cut).
[[nodiscard]] QByteArray appStateMessage(const QByteArray &record);

/// The command byte of a tool type: 0 to 6 give 192, 193, 194, 197, 198, 196, 195; any other 0.
[[nodiscard]] std::uint8_t toolCodeForToolType(quint64 toolType);
/// The tool type of a command byte 192 to 198; nothing for any other byte.
[[nodiscard]] std::optional<quint64> toolTypeForToolCode(std::uint8_t code);

/// One datagram from the phone, told apart by its length and byte 4 only; the header is never looked at.
struct Received
{
    enum Kind : int {
        Ignored,
        Command, // 5 bytes: `command`
        Hue,     // 9 bytes with 242: `hue`, always finite
        Motion,  // 4 bytes, no header: `pitch` and `yaw` in radians
        Typing,  // 17 or more bytes with 212: `text`; empty text is a backspace
    };
    Kind kind = Ignored;
    std::uint8_t command = 0;
    float hue = 0;
    double pitch = 0;
    double yaw = 0;
    QString text;
};

/// Never reads past the datagram. A typing datagram whose length field runs past its end, or whose text is not
/// valid UTF-8, is ignored whole; so is a hue that is not a finite number.
[[nodiscard]] Received parse(const QByteArray &datagram);

} // namespace inkora::RemoteDatagram
