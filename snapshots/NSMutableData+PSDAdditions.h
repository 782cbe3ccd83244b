#pragma once

#include <QByteArray>

#include <cstdint>

/// Big-endian appenders for the PSD writer; every multi-byte number in a PSD file is big-endian.
namespace PSDAdditions {

void appendInt32Value(QByteArray &data, std::uint32_t value);
/// Appends the low 16 bits.
void appendInt16Value(QByteArray &data, std::uint32_t value);
/// Appends the low 8 bits.
void appendByteValue(QByteArray &data, std::uint32_t value);
/// A 16.16 fixed-point number whose integer part is the low 16 bits of `value`.
void appendEffectParamInt16AsInt32(QByteArray &data, std::uint32_t value);
/// The length of `payload` as a 32-bit value, then `payload`.
void appendDataPrependDataLengthHeader(QByteArray &data, const QByteArray &payload);

} // namespace PSDAdditions
