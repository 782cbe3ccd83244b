#pragma once

#include "snapshots/MRKOPSDLayer.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSizeF>

#include <optional>
#include <stdexcept>
#include <vector>

struct MRKOPSDBitmapLayer;

/// Turns layer images and group markers, added bottom first, into the bytes of a layered PSD file: RGB, 8 bits per
/// channel, PackBits everywhere, 72 dpi, the sRGB profile and a white-backed composite. Layers are encoded in
/// parallel. Used from one thread at a time; throws `Misuse` only when called wrongly.
class MRKOPSDEngine final
{
public:
    /// Thrown on misuse only: a layer added without a document size, or data asked for without anything to write.
    class Misuse final : public std::logic_error
    {
    public:
        using std::logic_error::logic_error;
    };

    /// `documentSize` in pixels.
    explicit MRKOPSDEngine(QSizeF documentSize);
    /// Adds every bitmap with its name at (0, 0), opacity 1.0; the records' bounds and opacity are not used.
    MRKOPSDEngine(const QList<MRKOPSDBitmapLayer> &layers, QSizeF documentSize);
    ~MRKOPSDEngine();
    Q_DISABLE_COPY_MOVE(MRKOPSDEngine)

    [[nodiscard]] QSizeF documentSize() const { return m_documentSize; }
    [[nodiscard]] const std::vector<MRKOPSDLayer> &layers() const { return m_layers; }
    [[nodiscard]] int layerChannelCount() const { return m_layerChannelCount; }
    /// The composite as RGBA rows of width x 4 bytes; empty until `preprocess`.
    [[nodiscard]] const QByteArray &flattenedData() const { return m_flattenedData; }
    [[nodiscard]] bool needICC() const { return m_needICC; }
    void setNeedICC(bool needICC) { m_needICC = needICC; }
    [[nodiscard]] bool needGroup() const { return m_needGroup; }

    /// Adds a layer on top. `bitmap` is premultiplied RGBA; `offset` is its top-left corner in document pixels,
    /// y down; `layer` lends its shadow to the drop-shadow effect.
    void addLayerWithPremultipledBitmap(const QImage &bitmap, const QString &name, float opacity, QPointF offset,
                                        const std::optional<MRKOPSDLayer::ShadowSource> &layer);
    /// `frame` in document pixels, y down; the name "</Layer group>" closes a group.
    void addGroupMarkerWithName(const QString &name, float opacity, const QRectF &frame,
                                const std::optional<MRKOPSDLayer::ShadowSource> &layer);
    void addEndGroupMarker();

    /// The whole file. A document without layers gets its composite alone.
    [[nodiscard]] QByteArray makePSDDataConcurrent();
    /// Finishes the composite; part of `makePSDDataConcurrent`.
    void preprocess();

    /// Writes a 1 x 1 document with one layer "Hop" to a path the user picks.
    static void saveOnePxPSD();

private:
    void startComposite();
    [[nodiscard]] QByteArray imageResources() const;
    [[nodiscard]] QByteArray compositeImageData() const;

    QSizeF m_documentSize;
    std::vector<MRKOPSDLayer> m_layers;
    int m_layerChannelCount = 4;
    QByteArray m_flattenedData;
    QByteArray m_compositePixels; // the composite's bytes until `preprocess` makes them `flattenedData`
    QImage m_flattenedContext;    // paints into m_compositePixels; null before the first layer and after `preprocess`
    bool m_needICC = true;
    bool m_needGroup = false;
};
