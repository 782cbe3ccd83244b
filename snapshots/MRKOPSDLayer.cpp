#include "snapshots/MRKOPSDLayer.h"

#include "snapshots/NSData+Representations.h"
#include "snapshots/NSMutableData+PSDAdditions.h"
#include "snapshots/NSString+Bezier.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace PSDAdditions;

namespace {

const QString kGroupEndName = QStringLiteral("</Layer group>");

enum class EffectColor { Black, White, Grey };

void appendColor(QByteArray &data, EffectColor color)
{
    appendInt16Value(data, 0); // RGB
    const std::uint32_t component = color == EffectColor::Black   ? 0x0000
                                    : color == EffectColor::White ? 0xFFFF
                                                                  : 0x8181;
    for (int i = 0; i < 3; ++i)
        appendInt16Value(data, component);
    appendInt16Value(data, 0);
}

void appendBlend(QByteArray &data, const char *mode)
{
    data.append("8BIM", 4);
    data.append(mode, 4);
}

// Effect parameters are whole numbers: the float is cut toward zero, then written as 16.16 fixed point.
void appendFixed(QByteArray &data, float value)
{
    appendEffectParamInt16AsInt32(data, std::uint32_t(std::int32_t(std::trunc(value))));
}

std::uint32_t opacityByte(float opacity)
{
    return std::uint32_t(std::clamp(std::ceil(opacity * 255.0f), 0.0f, 255.0f));
}

// One effect: "8BIM", its key, its size and its contents.
void appendEffect(QByteArray &data, const char *key, const QByteArray &contents)
{
    data.append("8BIM", 4);
    data.append(key, 4);
    appendDataPrependDataLengthHeader(data, contents);
}

// (c * 255 + a / 2) / a for each colour byte, capped at 255; a pixel with alpha 0 becomes all zero.
void unpremultiplyRow(const std::uint8_t *src, std::uint8_t *dst, qsizetype pixels)
{
    for (qsizetype x = 0; x < pixels; ++x) {
        const std::uint8_t *p = src + x * 4;
        std::uint8_t *q = dst + x * 4;
        const unsigned a = p[3];
        if (a == 255) {
            std::memcpy(q, p, 4);
        } else if (a == 0) {
            std::memset(q, 0, 4);
        } else {
            for (int c = 0; c < 3; ++c)
                q[c] = std::uint8_t(std::min(255u, (p[c] * 255u + a / 2) / a));
            q[3] = std::uint8_t(a);
        }
    }
}

} // namespace

void MRKOPSDLayer::setImageData(const QByteArray &imageData)
{
    m_imageData = imageData;
    m_premultipliedImage = QImage();
}

void MRKOPSDLayer::setPremultipliedImage(const QImage &image)
{
    m_premultipliedImage = image.format() == QImage::Format_RGBA8888_Premultiplied
                               ? image
                               : image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    m_imageData = QByteArray();
}

QByteArray MRKOPSDLayer::imageData() const
{
    if (m_premultipliedImage.isNull())
        return m_imageData;
    const qsizetype w = m_premultipliedImage.width();
    QByteArray out;
    QByteArray buffer;
    for (qsizetype r = 0; r < m_premultipliedImage.height(); ++r)
        out.append(reinterpret_cast<const char *>(unpremultipliedRow(r, w, buffer)), w * 4);
    return out;
}

const std::uint8_t *MRKOPSDLayer::unpremultipliedRow(qsizetype r, qsizetype width, QByteArray &buffer) const
{
    const qsizetype rowBytes = width * 4;
    if (m_premultipliedImage.isNull()) {
        if (m_imageData.size() >= (r + 1) * rowBytes)
            return reinterpret_cast<const std::uint8_t *>(m_imageData.constData()) + r * rowBytes;
        buffer = m_imageData.mid(r * rowBytes, rowBytes);
        buffer.resize(rowBytes, '\0');
        return reinterpret_cast<const std::uint8_t *>(buffer.constData());
    }
    buffer.resize(rowBytes);
    buffer.fill('\0');
    if (r < m_premultipliedImage.height()) {
        const qsizetype pixels = std::min<qsizetype>(width, m_premultipliedImage.width());
        unpremultiplyRow(m_premultipliedImage.constScanLine(int(r)), reinterpret_cast<std::uint8_t *>(buffer.data()),
                         pixels);
    }
    return reinterpret_cast<const std::uint8_t *>(buffer.constData());
}

MRKOPSDLayer MRKOPSDLayer::layer(const QByteArray &data, const QString &name, const QRectF &rect, float opacity)
{
    MRKOPSDLayer layer;
    layer.setImageData(data);
    layer.setName(name);
    layer.setRect(rect);
    layer.setOpacity(opacity);
    return layer;
}

float MRKOPSDLayer::shadowAngle() const
{
    return float(std::atan2(m_shadowOffset.y(), m_shadowOffset.x()) * 180.0 / -std::numbers::pi);
}

float MRKOPSDLayer::shadowAngleOffset() const
{
    return float(std::hypot(m_shadowOffset.x(), m_shadowOffset.y()));
}

void MRKOPSDLayer::addExtrasFromCALayerIfNeeded(const std::optional<ShadowSource> &layer)
{
    if (!layer || !(layer->shadowOpacity > 0))
        return;
    const double scale = layer->contentsScale;
    m_shadowOpacity = float(layer->shadowOpacity);
    m_shadowRadius = float(2 * layer->shadowRadius * scale);
    m_shadowOffset = layer->shadowOffset * scale;
}

QByteArray MRKOPSDLayer::fxData() const
{
    if (!(m_shadowOpacity > 0))
        return {};
    QByteArray effects;
    appendInt16Value(effects, 0); // version
    appendInt16Value(effects, 7); // effect count
    writeCommonStateInfo(effects);
    writeDropShadow(effects);
    writeInnerShadow(effects);
    writeOuterGlow(effects);
    writeInnerGlow(effects);
    writeBevel(effects);
    writeSolidFill(effects);
    QByteArray data;
    data.append("8BIMlrFX", 8);
    appendDataPrependDataLengthHeader(data, effects);
    return data;
}

void MRKOPSDLayer::writeCommonStateInfo(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 0); // version
    appendByteValue(c, 1);  // visible
    appendInt16Value(c, 0);
    appendEffect(data, "cmnS", c);
}

void MRKOPSDLayer::writeDropShadow(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2); // version
    appendFixed(c, m_shadowRadius);
    appendFixed(c, 0); // intensity
    appendFixed(c, shadowAngle());
    appendFixed(c, shadowAngleOffset());
    appendColor(c, EffectColor::Black);
    appendBlend(c, "mul ");
    appendByteValue(c, 1); // enabled
    appendByteValue(c, 0); // use global angle
    appendByteValue(c, opacityByte(m_shadowOpacity));
    appendColor(c, EffectColor::Black);
    appendEffect(data, "dsdw", c);
}

void MRKOPSDLayer::writeInnerShadow(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2);
    appendFixed(c, 7);  // blur
    appendFixed(c, 0);  // intensity
    appendFixed(c, 90); // angle
    appendFixed(c, 3);  // distance
    appendColor(c, EffectColor::Black);
    appendBlend(c, "mul ");
    appendByteValue(c, 0); // enabled
    appendByteValue(c, 1); // use global angle
    appendByteValue(c, 89);
    appendColor(c, EffectColor::Black);
    appendEffect(data, "isdw", c);
}

void MRKOPSDLayer::writeOuterGlow(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2);
    appendFixed(c, 7);
    appendFixed(c, 0);
    appendColor(c, EffectColor::White);
    appendBlend(c, "scrn");
    appendByteValue(c, 0);
    appendByteValue(c, 89);
    appendColor(c, EffectColor::White);
    appendEffect(data, "oglw", c);
}

void MRKOPSDLayer::writeInnerGlow(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2);
    appendFixed(c, 7);
    appendFixed(c, 0);
    appendColor(c, EffectColor::White);
    appendBlend(c, "scrn");
    appendByteValue(c, 0);
    appendByteValue(c, 89);
    appendByteValue(c, 1); // invert
    appendColor(c, EffectColor::White);
    appendEffect(data, "iglw", c);
}

void MRKOPSDLayer::writeBevel(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2);
    appendFixed(c, 90); // angle
    appendFixed(c, 7);  // strength
    appendFixed(c, 7);  // blur
    appendBlend(c, "scrn");
    appendBlend(c, "mul ");
    appendColor(c, EffectColor::White);
    appendColor(c, EffectColor::Black);
    appendByteValue(c, 2);   // style
    appendByteValue(c, 128); // highlight opacity
    appendByteValue(c, 128); // shadow opacity
    appendByteValue(c, 0);   // enabled
    appendByteValue(c, 1);   // use global angle
    appendByteValue(c, 0);   // direction
    appendColor(c, EffectColor::White);
    appendColor(c, EffectColor::Black);
    appendEffect(data, "bevl", c);
}

void MRKOPSDLayer::writeSolidFill(QByteArray &data) const
{
    QByteArray c;
    appendInt32Value(c, 2);
    appendBlend(c, "norm");
    appendColor(c, EffectColor::Grey);
    appendByteValue(c, 255);
    appendByteValue(c, 0);
    appendColor(c, EffectColor::Grey);
    appendEffect(data, "sofi", c);
    appendInt16Value(data, 0); // counted by the "lrFX" length only
}

QByteArray MRKOPSDLayer::groupStartMarkerInfoDataExtras()
{
    QByteArray data;
    data.append("8BIMlsct", 8);
    appendInt32Value(data, 16);
    appendInt32Value(data, 2); // open folder
    data.append("8BIMpass", 8);
    appendInt32Value(data, 0);
    return data;
}

QByteArray MRKOPSDLayer::groupEndMarkerInfoData()
{
    QByteArray extra;
    appendInt32Value(extra, 0); // layer mask data
    appendInt32Value(extra, 0); // blending ranges
    extra.append(Bezier::pascalName(kGroupEndName));
    extra.append(Bezier::unicodeName(kGroupEndName));
    extra.append("8BIMlsct", 8);
    appendInt32Value(extra, 4);
    appendInt32Value(extra, 3); // bounding section divider

    QByteArray data(16, '\0');
    appendInt16Value(data, 4);
    for (const int id : {-1, 0, 1, 2}) {
        appendInt16Value(data, std::uint32_t(id));
        appendInt32Value(data, 2);
    }
    data.append("8BIMnorm", 8);
    data.append("\xFF\x00\x0A\x00", 4);
    appendDataPrependDataLengthHeader(data, extra);
    return data;
}

QByteArray MRKOPSDLayer::groupMarkerImageData()
{
    return QByteArray(8, '\0');
}

void MRKOPSDLayer::fillLayerChannels(std::vector<QByteArray> &channels, qsizetype index) const
{
    const qsizetype base = index * m_layerChannelCount;
    if (m_groupMarker) {
        // Every channel block carries at least its compression code, or readers take a length of 0 as damage;
        // the 8 bytes are spread as the end marker spreads them: raw, no pixels.
        const QByteArray empty = groupMarkerImageData();
        for (int c = 0; c < m_layerChannelCount; ++c)
            channels[base + c] = empty.mid(2 * c, 2);
        return;
    }
    const qsizetype w = std::max<qsizetype>(0, qsizetype(std::floor(m_rect.width())));
    const qsizetype h = std::max<qsizetype>(0, qsizetype(std::floor(m_rect.height())));
    std::vector<QByteArray> blocks(static_cast<size_t>(m_layerChannelCount));
    for (QByteArray &block : blocks) {
        block.reserve(2 + 2 * h + w * h / 4);
        appendInt16Value(block, 1); // PackBits
        block.resize(2 + 2 * h);
    }
    // Row by row, so that each row is un-premultiplied once for all four channels.
    QByteArray buffer;
    for (qsizetype r = 0; r < h; ++r) {
        const std::uint8_t *row = unpremultipliedRow(r, w, buffer);
        for (int c = 0; c < m_layerChannelCount; ++c) {
            QByteArray &block = blocks[size_t(c)];
            const qsizetype before = block.size();
            inkora::appendPackedBits(block, row + c, w, 4);
            const qsizetype length = block.size() - before;
            block[2 + 2 * r] = char(length >> 8);
            block[2 + 2 * r + 1] = char(length);
        }
    }
    for (int c = 0; c < m_layerChannelCount; ++c)
        channels[base + c] = std::move(blocks[size_t(c)]);
}

void MRKOPSDLayer::fillLayerInfo(std::vector<QByteArray> &records, const std::vector<QByteArray> &channels,
                                 qsizetype index) const
{
    if (m_groupMarkerEnd) {
        records[index] = groupEndMarkerInfoData();
        return;
    }
    const auto x = std::int32_t(std::floor(m_rect.x()));
    const auto y = std::int32_t(std::floor(m_rect.y()));
    const auto w = std::int32_t(std::floor(m_rect.width()));
    const auto h = std::int32_t(std::floor(m_rect.height()));

    QByteArray extra;
    appendInt32Value(extra, 0); // layer mask data
    appendInt32Value(extra, 0); // blending ranges
    extra.append(Bezier::pascalName(m_name));
    extra.append(fxData());
    if (m_groupMarker)
        extra.append(groupStartMarkerInfoDataExtras());
    extra.append(Bezier::unicodeName(m_name));

    QByteArray record;
    appendInt32Value(record, std::uint32_t(y));
    appendInt32Value(record, std::uint32_t(x));
    appendInt32Value(record, std::uint32_t(y + h));
    appendInt32Value(record, std::uint32_t(x + w));
    appendInt16Value(record, std::uint32_t(m_layerChannelCount));
    const qsizetype base = index * m_layerChannelCount;
    for (int c = 0; c < m_layerChannelCount; ++c) {
        appendInt16Value(record, std::uint32_t(c == 3 ? -1 : c));
        appendInt32Value(record, std::uint32_t(channels[base + c].size()));
    }
    record.append("8BIMnorm", 8);
    appendByteValue(record, opacityByte(m_opacity));
    appendByteValue(record, 0); // clipping
    appendByteValue(record, 0); // flags
    appendByteValue(record, 0); // filler
    // Measured, so that the length always matches what follows.
    appendDataPrependDataLengthHeader(record, extra);
    records[index] = std::move(record);
}
