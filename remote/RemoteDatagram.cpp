#include "remote/RemoteDatagram.h"

#include "remote/MRKORemoteCommand.h"

#include <QStringDecoder>
#include <QtEndian>

#include <array>
#include <cmath>
#include <cstring>

namespace inkora::RemoteDatagram {

namespace {

constexpr qsizetype kHeaderSize = 4;
constexpr qsizetype kTypingHeaderSize = 17; // header, command, 8 reserved bytes, 32-bit text length
constexpr qsizetype kStateRecordSize = 20;

// By tool type 0 to 6.
constexpr std::array<std::uint8_t, 7> kToolCodes = {192, 193, 194, 197, 198, 196, 195};

float floatAt(const uchar *bytes)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes);
    float value = 0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

} // namespace

QByteArray hookData()
{
    static const QByteArray hook("\xFE\xED\xFA\xCE", kHeaderSize);
    return hook;
}

QByteArray message(quint64 command)
{
    QByteArray data = hookData();
    data.append(char(command & 0xFF));
    return data;
}

QByteArray messageWithValue(quint8 command, quint8 value)
{
    QByteArray data = message(command);
    data.append(char(value));
    return data;
}

QByteArray hueMessage(float hue)
{
    QByteArray data = message(MRKORemoteCommandHue);
    quint32 bits = 0;
    std::memcpy(&bits, &hue, sizeof(bits));
    uchar le[4];
    qToLittleEndian<quint32>(bits, le);
    data.append(reinterpret_cast<const char *>(le), sizeof(le));
    return data;
}

QByteArray appStateMessage(const QByteArray &record)
{
    QByteArray data = message(MRKORemoteCommandAppState);
    QByteArray body = record.left(kStateRecordSize);
    body.append(QByteArray(kStateRecordSize - body.size(), '\0'));
    data.append(body);
    return data;
}

std::uint8_t toolCodeForToolType(quint64 toolType)
{
    return toolType < kToolCodes.size() ? kToolCodes[toolType] : std::uint8_t(MRKORemoteCommandNone);
}

std::optional<quint64> toolTypeForToolCode(std::uint8_t code)
{
    for (size_t type = 0; type < kToolCodes.size(); ++type) {
        if (kToolCodes[type] == code)
            return quint64(type);
    }
    return std::nullopt;
}

Received parse(const QByteArray &datagram)
{
    Received received;
    const qsizetype length = datagram.size();
    const auto *bytes = reinterpret_cast<const uchar *>(datagram.constData());
    if (length == 5) {
        received.kind = Received::Command;
        received.command = bytes[4];
    } else if (length == 9) {
        if (bytes[4] != MRKORemoteCommandHue)
            return received;
        const float hue = floatAt(bytes + 5);
        if (!std::isfinite(hue))
            return received;
        received.kind = Received::Hue;
        received.hue = hue;
    } else if (length == 4) {
        received.kind = Received::Motion;
        received.pitch = double(float(qFromLittleEndian<qint16>(bytes))) / 10000.0;
        received.yaw = double(float(qFromLittleEndian<qint16>(bytes + 2))) / 10000.0;
    } else if (length >= kTypingHeaderSize) {
        if (bytes[4] != MRKORemoteCommandTyping)
            return received;
        const quint32 n = qFromLittleEndian<quint32>(bytes + 13);
        if (quint64(n) > quint64(length - kTypingHeaderSize))
            return received;
        // A leading byte-order mark is typed text too, so it is kept.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(QByteArrayView(datagram).sliced(kTypingHeaderSize, n));
        if (decoder.hasError())
            return received;
        received.kind = Received::Typing;
        received.text = text;
    }
    return received;
}

} // namespace inkora::RemoteDatagram
