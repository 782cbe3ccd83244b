#include "snapshots/NSMutableData+PSDAdditions.h"

namespace PSDAdditions {

void appendInt32Value(QByteArray &data, std::uint32_t value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    data.append(bytes, 4);
}

void appendInt16Value(QByteArray &data, std::uint32_t value)
{
    const char bytes[2] = {char(value >> 8), char(value)};
    data.append(bytes, 2);
}

void appendByteValue(QByteArray &data, std::uint32_t value)
{
    data.append(char(value));
}

void appendEffectParamInt16AsInt32(QByteArray &data, std::uint32_t value)
{
    appendInt16Value(data, value);
    appendInt16Value(data, 0);
}

void appendDataPrependDataLengthHeader(QByteArray &data, const QByteArray &payload)
{
    appendInt32Value(data, std::uint32_t(payload.size()));
    data.append(payload);
}

} // namespace PSDAdditions
