#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

/// One entry of the PSD writer's layer list: a layer image or a marker that opens or closes a layer group.
/// It writes its own layer record, channel blocks, names and drop-shadow effect.
class MRKOPSDLayer final
{
public:
    /// What a drawn object's layer lends to the drop-shadow effect: its shadow (offset in points, y up) and
    /// contents scale (pixels per point).
    struct ShadowSource
    {
        double shadowOpacity = 0;
        double shadowRadius = 0;
        QPointF shadowOffset;
        double contentsScale = 1;
    };

    MRKOPSDLayer() = default;

    [[nodiscard]] static MRKOPSDLayer layer(const QByteArray &data, const QString &name, const QRectF &rect,
                                            float opacity);

    [[nodiscard]] bool isGroupMarker() const { return m_groupMarker; }
    void setGroupMarker(bool groupMarker) { m_groupMarker = groupMarker; }
    [[nodiscard]] bool isGroupMarkerEnd() const { return m_groupMarkerEnd; }
    void setGroupMarkerEnd(bool groupMarkerEnd) { m_groupMarkerEnd = groupMarkerEnd; }
    [[nodiscard]] int layerChannelCount() const { return m_layerChannelCount; }
    [[nodiscard]] float opacity() const { return m_opacity; }
    void setOpacity(float opacity) { m_opacity = opacity; }
    [[nodiscard]] float shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(float shadowOpacity) { m_shadowOpacity = shadowOpacity; }
    [[nodiscard]] float shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(float shadowRadius) { m_shadowRadius = shadowRadius; }
    [[nodiscard]] const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    /// Un-premultiplied RGBA, rows of width x 4 bytes, top row first.
    [[nodiscard]] QByteArray imageData() const;
    void setImageData(const QByteArray &imageData);
    /// Premultiplied RGBA pixels in place of `imageData`: each row is un-premultiplied only while it is packed, so
    /// no un-premultiplied copy of a large bitmap is ever held.
    void setPremultipliedImage(const QImage &image);
    /// In pixels, y up.
    [[nodiscard]] QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(QPointF shadowOffset) { m_shadowOffset = shadowOffset; }
    /// In document pixels, origin at the top left.
    [[nodiscard]] QRectF rect() const { return m_rect; }
    void setRect(const QRectF &rect) { m_rect = rect; }

    /// Degrees; 90 for a shadow cast straight down.
    [[nodiscard]] float shadowAngle() const;
    /// Pixels.
    [[nodiscard]] float shadowAngleOffset() const;

    void addExtrasFromCALayerIfNeeded(const std::optional<ShadowSource> &layer);

    /// The "lrFX" block; empty without a shadow.
    [[nodiscard]] QByteArray fxData() const;
    void writeCommonStateInfo(QByteArray &data) const;
    void writeDropShadow(QByteArray &data) const;
    void writeInnerShadow(QByteArray &data) const;
    void writeOuterGlow(QByteArray &data) const;
    void writeInnerGlow(QByteArray &data) const;
    void writeBevel(QByteArray &data) const;
    void writeSolidFill(QByteArray &data) const;

    [[nodiscard]] static QByteArray groupStartMarkerInfoDataExtras();
    [[nodiscard]] static QByteArray groupEndMarkerInfoData();
    [[nodiscard]] static QByteArray groupMarkerImageData();

    /// Stores the channel blocks at slots index x layerChannelCount + c. Safe to run for different indexes at once.
    void fillLayerChannels(std::vector<QByteArray> &channels, qsizetype index) const;
    /// Stores the record at slot `index`, from the channel blocks already in `channels`.
    void fillLayerInfo(std::vector<QByteArray> &records, const std::vector<QByteArray> &channels,
                       qsizetype index) const;

private:
    // Row `r` of the un-premultiplied pixels, `width` pixels long, zero beyond the source; may point into `buffer`.
    const std::uint8_t *unpremultipliedRow(qsizetype r, qsizetype width, QByteArray &buffer) const;

    bool m_groupMarker = false;
    bool m_groupMarkerEnd = false;
    int m_layerChannelCount = 4;
    float m_opacity = 0;
    float m_shadowOpacity = 0;
    float m_shadowRadius = 0;
    QString m_name;
    QByteArray m_imageData;
    QImage m_premultipliedImage; // Format_RGBA8888_Premultiplied, or null
    QPointF m_shadowOffset;
    QRectF m_rect;
};
