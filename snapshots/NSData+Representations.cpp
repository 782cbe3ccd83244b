#include "snapshots/NSData+Representations.h"

#include <QBuffer>
#include <QImageReader>

#include <zlib.h>

#include <algorithm>

namespace {

// Images from outside may not make Qt allocate more than this, in megabytes.
constexpr int kImageAllocationLimit = 1024;

QImage readImage(const QByteArray &data, const char *format)
{
    if (data.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kImageAllocationLimit);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

void appendLiteral(QByteArray &out, const std::uint8_t *first, qsizetype count, int skip)
{
    out.append(char(count - 1));
    if (skip == 1) {
        out.append(reinterpret_cast<const char *>(first), count);
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + count);
    char *dst = out.data() + at;
    for (qsizetype i = 0; i < count; ++i)
        dst[i] = char(first[i * skip]);
}

} // namespace

namespace inkora {

void appendPackedBits(QByteArray &out, const std::uint8_t *first, qsizetype count, int skip)
{
    // The pending literal is source[start, pos]; three equal bytes at its end start a run.
    constexpr qsizetype kMaxRun = 127;
    constexpr qsizetype kPendingLimit = 130;
    constexpr qsizetype kMaxLiteral = 128;
    const auto at = [first, skip](qsizetype i) { return first[i * skip]; };
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < count) {
        const qsizetype pending = pos - start + 1;
        if (pending >= 3 && at(pos) == at(pos - 1) && at(pos) == at(pos - 2)) {
            if (pending > 3)
                appendLiteral(out, first + start * skip, pending - 3, skip);
            const std::uint8_t value = at(pos);
            qsizetype run = 3;
            ++pos;
            while (pos < count && run < kMaxRun && at(pos) == value) {
                ++run;
                ++pos;
            }
            out.append(char(1 - run));
            out.append(char(value));
            start = pos;
            continue;
        }
        if (pending == kPendingLimit) {
            appendLiteral(out, first + start * skip, kMaxLiteral, skip);
            start += kMaxLiteral;
        }
        ++pos;
    }
    const qsizetype rest = count - start;
    if (rest > kMaxLiteral) {
        appendLiteral(out, first + start * skip, kMaxLiteral, skip);
        appendLiteral(out, first + (start + kMaxLiteral) * skip, rest - kMaxLiteral, skip);
    } else if (rest > 0) {
        appendLiteral(out, first + start * skip, rest, skip);
    }
}

} // namespace inkora

namespace Representations {

namespace {

// The range cut to the data; the number of bytes sampled from it.
qsizetype sampledCount(const QByteArray &data, qsizetype &location, qsizetype length, int &skip)
{
    skip = std::max(skip, 1);
    location = std::clamp<qsizetype>(location, 0, data.size());
    length = std::clamp<qsizetype>(length, 0, data.size() - location);
    return (length + skip - 1) / skip;
}

} // namespace

QByteArray packedBitsForRange(const QByteArray &data, qsizetype location, qsizetype length, int skip)
{
    const qsizetype count = sampledCount(data, location, length, skip);
    QByteArray out;
    inkora::appendPackedBits(out, reinterpret_cast<const std::uint8_t *>(data.constData()) + location, count, skip);
    return out;
}

QString packedBitsDescription(const QByteArray &data)
{
    QString text;
    int decoded = 0;
    qsizetype i = 0;
    while (i < data.size()) {
        const int header = static_cast<signed char>(data.at(i++));
        if (header >= 0) {
            const int count = header + 1;
            text += QStringLiteral("Printing %1 literal bytes. ").arg(count);
            decoded += count;
            i += count;
        } else if (header != -128) {
            const int count = 1 - header;
            const unsigned value = i < data.size() ? std::uint8_t(data.at(i)) : 0u;
            text += QStringLiteral("Printing %1 %2 times. ").arg(value).arg(count);
            decoded += count;
            ++i;
        }
    }
    text += QStringLiteral("Total: %1 bytes decoded.").arg(decoded);
    return text;
}

QByteArray deflatedBitsForRange(const QByteArray &data, qsizetype location, qsizetype length, int skip)
{
    const qsizetype count = sampledCount(data, location, length, skip);
    QByteArray sampled(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        sampled[i] = data.at(location + i * skip);
    return zlibDeflate(sampled);
}

QByteArray zlibDeflate(const QByteArray &data)
{
    if (data.isEmpty())
        return data;
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    constexpr qsizetype kStep = 16384; // bytes the output grows by
    QByteArray out;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    int status = Z_OK;
    while (status == Z_OK) {
        if (qsizetype(stream.total_out) >= out.size())
            out.resize(out.size() + kStep);
        stream.next_out = reinterpret_cast<Bytef *>(out.data()) + stream.total_out;
        stream.avail_out = uInt(out.size() - qsizetype(stream.total_out));
        status = deflate(&stream, Z_FINISH);
    }
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return {};
    out.resize(qsizetype(stream.total_out));
    return out;
}

QByteArray zlibInflate(const QByteArray &data)
{
    if (data.isEmpty())
        return data;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    const qsizetype half = std::max<qsizetype>(data.size() / 2, 1);
    QByteArray out(data.size() + half, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    int status = Z_OK;
    while (status == Z_OK) {
        if (qsizetype(stream.total_out) >= out.size())
            out.resize(out.size() + half);
        stream.next_out = reinterpret_cast<Bytef *>(out.data()) + stream.total_out;
        stream.avail_out = uInt(out.size() - qsizetype(stream.total_out));
        // With room in the output, Z_BUF_ERROR means the input ended before the stream did.
        status = inflate(&stream, Z_SYNC_FLUSH);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return {};
    out.resize(qsizetype(stream.total_out));
    return out;
}

QImage repFromPNGData(const QByteArray &data)
{
    return readImage(data, "png");
}

QImage repFromJPEGData(const QByteArray &data)
{
    return readImage(data, "jpeg");
}

} // namespace Representations
