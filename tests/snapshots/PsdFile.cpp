#include "tests/snapshots/PsdFile.h"

namespace psdtest {

namespace {

class Cursor
{
public:
    Cursor(const QByteArray &bytes, QString *error) : m_bytes(bytes), m_error(error) {}

    [[nodiscard]] bool ok() const { return m_ok; }
    [[nodiscard]] qsizetype pos() const { return m_pos; }
    [[nodiscard]] qsizetype left() const { return m_bytes.size() - m_pos; }

    bool fail(const QString &what)
    {
        if (m_ok && m_error)
            *m_error = QStringLiteral("%1 at offset %2").arg(what).arg(m_pos);
        m_ok = false;
        return false;
    }
    QByteArray take(qsizetype n, const char *what)
    {
        if (!m_ok || n < 0 || n > left()) {
            fail(QStringLiteral("%1: %2 bytes wanted, %3 left").arg(QLatin1String(what)).arg(n).arg(left()));
            return {};
        }
        const QByteArray out = m_bytes.mid(m_pos, n);
        m_pos += n;
        return out;
    }
    quint32 u32(const char *what)
    {
        const QByteArray b = take(4, what);
        if (b.size() < 4)
            return 0;
        return quint32(quint8(b[0])) << 24 | quint32(quint8(b[1])) << 16 | quint32(quint8(b[2])) << 8 | quint8(b[3]);
    }
    quint16 u16(const char *what)
    {
        const QByteArray b = take(2, what);
        if (b.size() < 2)
            return 0;
        return quint16(quint8(b[0]) << 8 | quint8(b[1]));
    }
    quint8 u8(const char *what)
    {
        const QByteArray b = take(1, what);
        return b.isEmpty() ? 0 : quint8(b[0]);
    }

private:
    const QByteArray &m_bytes;
    QString *m_error;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

bool parseRecord(Cursor &c, Record &r)
{
    r.top = qint32(c.u32("top"));
    r.left = qint32(c.u32("left"));
    r.bottom = qint32(c.u32("bottom"));
    r.right = qint32(c.u32("right"));
    r.rect = QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    const int channels = c.u16("channel count");
    for (int i = 0; i < channels; ++i) {
        Channel ch;
        ch.id = qint16(c.u16("channel id"));
        ch.length = c.u32("channel length");
        r.channels << ch;
    }
    r.blendSignature = c.take(4, "blend signature");
    r.blendMode = c.take(4, "blend mode");
    r.opacity = c.u8("opacity");
    r.clipping = c.u8("clipping");
    r.flags = c.u8("flags");
    c.u8("filler");
    r.extraLength = c.u32("extra length");
    r.extra = c.take(r.extraLength, "extra data");
    if (!c.ok())
        return false;
    Cursor e(r.extra, nullptr);
    const quint32 maskLength = e.u32("mask");
    e.take(maskLength, "mask");
    const quint32 rangesLength = e.u32("ranges");
    e.take(rangesLength, "ranges");
    const int nameLength = e.u8("name length");
    const qsizetype padded = (nameLength + 1 + 3) / 4 * 4;
    r.pascalName = e.take(padded - 1, "name");
    r.pascalName.truncate(nameLength);
    while (e.ok() && e.left() > 0) {
        InfoBlock b;
        if (e.take(4, "signature") != "8BIM")
            return c.fail(QStringLiteral("additional information without 8BIM"));
        b.key = e.take(4, "key");
        const quint32 length = e.u32("block length");
        b.data = e.take(length, "block data");
        r.blocks << b;
    }
    if (!e.ok())
        return c.fail(QStringLiteral("extra data of the record does not add up"));
    return true;
}

} // namespace

std::optional<QByteArray> unpackBits(const QByteArray &packed, qsizetype expected)
{
    QByteArray out;
    qsizetype i = 0;
    while (i < packed.size()) {
        const int header = static_cast<signed char>(packed[i++]);
        if (header >= 0) {
            if (i + header + 1 > packed.size())
                return std::nullopt;
            out += packed.mid(i, header + 1);
            i += header + 1;
        } else if (header != -128) {
            if (i >= packed.size())
                return std::nullopt;
            out += QByteArray(1 - header, packed[i++]);
        }
    }
    if (expected >= 0 && out.size() != expected)
        return std::nullopt;
    return out;
}

QByteArray Record::block(const char *key) const
{
    for (const InfoBlock &b : blocks) {
        if (b.key == key)
            return b.data;
    }
    return {};
}

std::optional<QByteArray> Record::decodedChannel(int id) const
{
    const int w = right - left;
    const int h = bottom - top;
    for (const Channel &ch : channels) {
        if (ch.id != id)
            continue;
        Cursor c(ch.block, nullptr);
        const int compression = c.u16("compression");
        if (compression == 0)
            return c.take(qsizetype(w) * h, "raw");
        if (compression != 1)
            return std::nullopt;
        QList<int> lengths;
        for (int row = 0; row < h; ++row)
            lengths << c.u16("row length");
        QByteArray out;
        for (const int length : lengths) {
            const auto row = unpackBits(c.take(length, "row"), w);
            if (!row || !c.ok())
                return std::nullopt;
            out += *row;
        }
        if (c.left() != 0)
            return std::nullopt;
        return out;
    }
    return std::nullopt;
}

std::optional<File> parse(const QByteArray &bytes, QString *error)
{
    File f;
    Cursor c(bytes, error);
    if (c.take(4, "signature") != "8BPS")
        return c.fail(QStringLiteral("no 8BPS")), std::nullopt;
    if (c.u16("version") != 1)
        return c.fail(QStringLiteral("version")), std::nullopt;
    c.take(6, "reserved");
    f.channels = c.u16("channels");
    f.height = int(c.u32("height"));
    f.width = int(c.u32("width"));
    f.depth = c.u16("depth");
    f.mode = c.u16("mode");
    c.take(c.u32("colour mode length"), "colour mode data");

    const quint32 resourcesLength = c.u32("resources length");
    const QByteArray resources = c.take(resourcesLength, "resources");
    Cursor r(resources, error);
    while (r.ok() && r.left() > 0) {
        if (r.take(4, "resource signature") != "8BIM")
            return r.fail(QStringLiteral("resource without 8BIM")), std::nullopt;
        const int id = r.u16("resource id");
        const int nameLength = r.u8("resource name");
        r.take(nameLength + ((nameLength + 1) % 2), "resource name");
        const quint32 size = r.u32("resource size");
        f.resources[id] = r.take(size, "resource data");
        f.resourceOrder << id;
        if (size % 2)
            r.take(1, "resource pad");
    }
    if (!r.ok())
        return std::nullopt;

    f.layerSectionLength = c.u32("layer section length");
    const qsizetype sectionEnd = c.pos() + f.layerSectionLength;
    if (f.layerSectionLength > 0) {
        f.layerInfoLength = c.u32("layer info length");
        const qsizetype infoEnd = c.pos() + f.layerInfoLength;
        f.layerCount = qint16(c.u16("layer count"));
        const int count = f.layerCount < 0 ? -f.layerCount : f.layerCount;
        for (int i = 0; i < count && c.ok(); ++i) {
            Record rec;
            const qsizetype start = c.pos();
            if (!parseRecord(c, rec))
                return std::nullopt;
            rec.recordBytes = bytes.mid(start, c.pos() - start);
            f.records << rec;
        }
        for (Record &rec : f.records) {
            for (Channel &ch : rec.channels)
                ch.block = c.take(ch.length, "channel data");
        }
        if (!c.ok())
            return std::nullopt;
        if (c.pos() > infoEnd || infoEnd - c.pos() > 1)
            return c.fail(QStringLiteral("layer info length does not match")), std::nullopt;
        c.take(infoEnd - c.pos(), "layer info pad");
        if (c.pos() != sectionEnd)
            return c.fail(QStringLiteral("layer section length does not match")), std::nullopt;
    }

    if (c.u16("composite compression") != 1)
        return c.fail(QStringLiteral("composite is not PackBits")), std::nullopt;
    for (int i = 0; i < f.channels * f.height; ++i)
        f.compositeRowLengths << c.u16("composite row length");
    for (int ch = 0; ch < f.channels; ++ch) {
        QByteArray plane;
        for (int row = 0; row < f.height; ++row) {
            const auto unpacked =
                unpackBits(c.take(f.compositeRowLengths[ch * f.height + row], "composite row"), f.width);
            if (!unpacked)
                return c.fail(QStringLiteral("composite row does not decode")), std::nullopt;
            plane += *unpacked;
        }
        f.composite << plane;
    }
    if (!c.ok())
        return std::nullopt;
    if (c.left() != 0)
        return c.fail(QStringLiteral("bytes after the composite")), std::nullopt;
    return f;
}

} // namespace psdtest
