#include "platform/PropertyListCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace platform {

namespace {

constexpr qsizetype kHeaderSize = 8;   // "bplist00"
constexpr qsizetype kTrailerSize = 32; // sizes, object count, top object, offset-table offset

quint64 readBigEndian(const uchar *p, int bytes)
{
    quint64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

enum Visit : std::uint8_t { Unvisited, InProgress, Done };

} // namespace

QString checkBinaryPropertyList(const QByteArray &data, const PropertyListLimits &limits)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const auto size = static_cast<quint64>(data.size());
    if (data.size() < kHeaderSize + kTrailerSize)
        return QStringLiteral("binary data too short");
    if (!data.startsWith("bplist00"))
        return QStringLiteral("no binary header");

    const uchar *trailer = bytes + size - kTrailerSize;
    const int offsetSize = trailer[6];
    const int refSize = trailer[7];
    const quint64 objectCount = readBigEndian(trailer + 8, 8);
    const quint64 topObject = readBigEndian(trailer + 16, 8);
    const quint64 tableOffset = readBigEndian(trailer + 24, 8);
    const quint64 tableEnd = size - kTrailerSize;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8)
        return QStringLiteral("bad offset or reference size in the trailer");
    if (objectCount == 0 || topObject >= objectCount)
        return QStringLiteral("bad object count or top object");
    if (tableOffset < quint64(kHeaderSize) || tableOffset > tableEnd ||
        objectCount > (tableEnd - tableOffset) / quint64(offsetSize))
        return QStringLiteral("offset table outside the data");

    auto offsetOf = [&](quint64 index) { return readBigEndian(bytes + tableOffset + index * offsetSize, offsetSize); };

    // The children of a container, as a range of references; leaves have none.
    struct Children
    {
        bool isContainer = false;
        bool isDictionary = false;
        quint64 first = 0; // byte position of the first reference
        quint64 count = 0;
    };
    auto childrenOf = [&](quint64 index, Children *out, QString *error) {
        const quint64 offset = offsetOf(index);
        if (offset < quint64(kHeaderSize) || offset >= tableOffset) {
            *error = QStringLiteral("object offset outside the data");
            return false;
        }
        const uchar marker = bytes[offset];
        const int type = marker >> 4;
        const bool isDictionary = type == 0xD;
        if (type != 0xA && type != 0xB && type != 0xC && !isDictionary) {
            *out = {};
            return true;
        }
        quint64 position = offset + 1;
        quint64 count = marker & 0x0F;
        if (count == 0x0F) {
            if (position >= tableOffset || (bytes[position] & 0xF0) != 0x10 || (bytes[position] & 0x0F) > 3) {
                *error = QStringLiteral("bad container length");
                return false;
            }
            const int lengthBytes = 1 << (bytes[position] & 0x0F);
            if (position + 1 + lengthBytes > tableOffset) {
                *error = QStringLiteral("container length outside the data");
                return false;
            }
            count = readBigEndian(bytes + position + 1, lengthBytes);
            position += 1 + lengthBytes;
        }
        const quint64 references = isDictionary ? count * 2 : count;
        if (count > size || references > (tableOffset - position) / quint64(refSize)) {
            *error = QStringLiteral("container references outside the data");
            return false;
        }
        *out = {true, isDictionary, position, references};
        return true;
    };

    // The format library aborts on a dictionary key holding a NUL character, so keys are checked here: a string
    // (ASCII or UTF-16) without NUL.
    auto isSafeKey = [&](quint64 index) {
        const quint64 offset = offsetOf(index);
        if (offset < quint64(kHeaderSize) || offset >= tableOffset)
            return false;
        const uchar marker = bytes[offset];
        const int type = marker >> 4;
        if (type != 0x5 && type != 0x6)
            return false;
        quint64 position = offset + 1;
        quint64 count = marker & 0x0F;
        if (count == 0x0F) {
            if (position >= tableOffset || (bytes[position] & 0xF0) != 0x10 || (bytes[position] & 0x0F) > 3)
                return false;
            const int lengthBytes = 1 << (bytes[position] & 0x0F);
            if (position + 1 + lengthBytes > tableOffset)
                return false;
            count = readBigEndian(bytes + position + 1, lengthBytes);
            position += 1 + lengthBytes;
        }
        const int unit = type == 0x6 ? 2 : 1;
        if (count > (tableOffset - position) / unit)
            return false;
        for (quint64 i = 0; i < count; ++i) {
            if (readBigEndian(bytes + position + i * unit, unit) == 0)
                return false;
        }
        return true;
    };

    std::vector<Visit> state(objectCount, Unvisited);
    std::vector<int> depth(objectCount, 0);
    std::vector<qint64> values(objectCount, 0);

    struct Frame
    {
        quint64 index = 0;
        Children children;
        quint64 next = 0;
    };
    std::vector<Frame> stack;
    QString error;
    auto enter = [&](quint64 index) {
        Children children;
        if (!childrenOf(index, &children, &error))
            return false;
        if (children.isDictionary) {
            // Keys come first: half of the references.
            for (quint64 i = 0; i < children.count / 2; ++i) {
                const quint64 key = readBigEndian(bytes + children.first + i * refSize, refSize);
                if (key >= objectCount || !isSafeKey(key)) {
                    error = QStringLiteral("dictionary key is not a plain string");
                    return false;
                }
            }
        }
        state[index] = InProgress;
        depth[index] = children.isContainer ? 1 : 0;
        values[index] = 1;
        stack.push_back({index, children, 0});
        return true;
    };
    if (!enter(topObject))
        return error;
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next == frame.children.count) {
            state[frame.index] = Done;
            const quint64 finished = frame.index;
            stack.pop_back();
            if (depth[finished] > limits.maxDepth)
                return QStringLiteral("nested deeper than %1").arg(limits.maxDepth);
            if (!stack.empty()) {
                const quint64 parent = stack.back().index;
                depth[parent] = std::max(depth[parent], depth[finished] + 1);
                values[parent] += values[finished];
                if (values[parent] > limits.maxValues)
                    return QStringLiteral("more than %1 values").arg(limits.maxValues);
            }
            continue;
        }
        const quint64 child = readBigEndian(bytes + frame.children.first + frame.next * refSize, refSize);
        ++frame.next;
        if (child >= objectCount)
            return QStringLiteral("object reference out of range");
        if (state[child] == InProgress)
            return QStringLiteral("cyclic object reference");
        if (state[child] == Done) {
            const quint64 parent = frame.index;
            depth[parent] = std::max(depth[parent], depth[child] + 1);
            values[parent] += values[child];
            if (values[parent] > limits.maxValues)
                return QStringLiteral("more than %1 values").arg(limits.maxValues);
            continue;
        }
        if (stack.size() > std::size_t(limits.maxDepth) + 1)
            return QStringLiteral("nested deeper than %1").arg(limits.maxDepth);
        if (!enter(child))
            return error;
    }
    return {};
}

QString checkXmlPropertyList(const QByteArray &data, const PropertyListLimits &limits)
{
    const char *p = data.constData();
    const qsizetype size = data.size();
    // XML allows no NUL character, and the format library aborts on one inside a key.
    if (data.contains('\0'))
        return QStringLiteral("NUL byte in XML");
    for (qsizetype at = data.indexOf("&#"); at >= 0; at = data.indexOf("&#", at + 2)) {
        qsizetype i = at + 2;
        const bool hex = i < size && (p[i] == 'x' || p[i] == 'X');
        if (hex)
            ++i;
        bool nonZero = false;
        bool digits = false;
        for (; i < size && std::isxdigit(static_cast<uchar>(p[i])); ++i) {
            if (!hex && !std::isdigit(static_cast<uchar>(p[i])))
                break;
            digits = true;
            nonZero = nonZero || p[i] != '0';
        }
        if (digits && !nonZero)
            return QStringLiteral("NUL character reference in XML");
    }
    int depth = 0;
    qint64 elements = 0;
    auto skipPast = [&](qsizetype from, const char *end) {
        const qsizetype found = data.indexOf(end, from);
        return found < 0 ? size : found + qsizetype(qstrlen(end));
    };
    qsizetype i = 0;
    while (i < size) {
        if (p[i] != '<') {
            ++i;
            continue;
        }
        if (data.mid(i, 4) == "<!--") {
            i = skipPast(i + 4, "-->");
        } else if (data.mid(i, 9) == "<![CDATA[") {
            i = skipPast(i + 9, "]]>");
        } else if (i + 1 < size && (p[i + 1] == '?' || p[i + 1] == '!')) {
            i = skipPast(i + 2, ">");
        } else if (i + 1 < size && p[i + 1] == '/') {
            --depth;
            i = skipPast(i + 2, ">");
        } else {
            const qsizetype close = skipPast(i + 1, ">");
            const bool selfClosing = close <= size && close >= 2 && p[close - 2] == '/';
            if (++elements > limits.maxValues)
                return QStringLiteral("more than %1 values").arg(limits.maxValues);
            // The plist element and a scalar element sit around the containers.
            if (!selfClosing && ++depth > limits.maxDepth + 2)
                return QStringLiteral("nested deeper than %1").arg(limits.maxDepth);
            i = close;
        }
    }
    return {};
}

} // namespace platform
