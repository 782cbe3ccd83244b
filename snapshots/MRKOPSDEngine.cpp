#include "snapshots/MRKOPSDEngine.h"

#include "foundation/InkoraLog.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "snapshots/MRKOPSDBitmapLayer.h"
#include "snapshots/NSData+Representations.h"
#include "snapshots/NSMutableData+PSDAdditions.h"

#include <QColorSpace>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <mutex>
#include <sched.h>
#include <thread>

using namespace PSDAdditions;

namespace {

const QString kGroupEndName = QStringLiteral("</Layer group>");

constexpr qsizetype kMaxLayerCount = 32767; // the count is a signed 16-bit field
constexpr qsizetype kMaxDimension = 30000;  // pixels; the format's limit for width and height
constexpr qsizetype kCompositeRowsPerItem = 64;

// Cores this thread may run on, so that a process limited by its CPU affinity stays within it.
int availableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1, int(std::thread::hardware_concurrency()));
}

// Runs work(i) for every i below count, on the calling thread and up to one more thread per core. Each item writes
// only slots of its own index, so the result does not depend on the order in which items finish. A failure of any
// item is rethrown here, on the calling thread, once every thread has stopped.
void concurrentApply(qsizetype count, const std::function<void(qsizetype)> &work)
{
    std::atomic<qsizetype> next{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    const auto run = [&] {
        for (;;) {
            const qsizetype i = next.fetch_add(1);
            if (i >= count)
                return;
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure)
                    failure = std::current_exception();
                next.store(count);
            }
        }
    };
    const qsizetype workers = std::min<qsizetype>(count, availableCores());
    std::vector<std::thread> threads;
    for (qsizetype t = 1; t < workers; ++t) {
        try {
            threads.emplace_back(run);
        } catch (const std::system_error &) {
            break; // fewer threads: the calling thread still finishes every item
        }
    }
    run();
    for (std::thread &thread : threads)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
}

QByteArray iccProfile()
{
    static const QByteArray profile = QColorSpace(QColorSpace::SRgb).iccProfile();
    return profile;
}

void appendResource(QByteArray &data, std::uint32_t id, const QByteArray &payload)
{
    data.append("8BIM", 4);
    appendInt16Value(data, id);
    appendInt16Value(data, 0); // empty name
    appendDataPrependDataLengthHeader(data, payload);
    if (payload.size() % 2 == 1)
        appendByteValue(data, 0);
}

} // namespace

MRKOPSDEngine::MRKOPSDEngine(QSizeF documentSize) : m_documentSize(documentSize) {}

MRKOPSDEngine::MRKOPSDEngine(const QList<MRKOPSDBitmapLayer> &layers, QSizeF documentSize)
    : m_documentSize(documentSize)
{
    for (const MRKOPSDBitmapLayer &layer : layers)
        addLayerWithPremultipledBitmap(layer.bitmap, layer.name, 1.0f, QPointF(0, 0), std::nullopt);
}

MRKOPSDEngine::~MRKOPSDEngine() = default;

void MRKOPSDEngine::addLayerWithPremultipledBitmap(const QImage &bitmap, const QString &name, float opacity,
                                                   QPointF offset,
                                                   const std::optional<MRKOPSDLayer::ShadowSource> &layer)
{
    const QImage pixels = bitmap.format() == QImage::Format_RGBA8888_Premultiplied
                              ? bitmap
                              : bitmap.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    MRKOPSDLayer entry;
    entry.setPremultipliedImage(pixels);
    entry.setOpacity(opacity);
    entry.setRect(QRectF(offset, QSizeF(pixels.width(), pixels.height())));
    entry.setName(name);
    entry.addExtrasFromCALayerIfNeeded(layer);
    m_layers.push_back(std::move(entry));

    if (!m_flattenedData.isEmpty())
        return;
    const int width = int(m_documentSize.width());
    const int height = int(m_documentSize.height());
    if (width <= 0 || height <= 0)
        throw Misuse("You must specify a non-zero documentSize before calling addLayer:");
    if (width > kMaxDimension || height > kMaxDimension)
        throw Misuse("documentSize is beyond 30000 pixels");
    if (m_flattenedContext.isNull())
        startComposite();
    QPainter painter(&m_flattenedContext);
    painter.setOpacity(opacity);
    // The same whole-pixel position as the layer record.
    painter.drawImage(QPoint(int(std::floor(offset.x())), int(std::floor(offset.y()))), pixels);
}

void MRKOPSDEngine::startComposite()
{
    // The composite is drawn straight into the bytes that become `flattenedData`: opaque white, RGBA.
    const int width = int(m_documentSize.width());
    const int height = int(m_documentSize.height());
    m_compositePixels = QByteArray(qsizetype(width) * 4 * height, char(0xFF));
    m_flattenedContext = QImage(reinterpret_cast<uchar *>(m_compositePixels.data()), width, height, width * 4,
                                QImage::Format_RGBA8888_Premultiplied);
}

void MRKOPSDEngine::addGroupMarkerWithName(const QString &name, float opacity, const QRectF &frame,
                                           const std::optional<MRKOPSDLayer::ShadowSource> &layer)
{
    MRKOPSDLayer entry;
    entry.setOpacity(opacity);
    entry.setRect(frame);
    entry.setName(name);
    entry.addExtrasFromCALayerIfNeeded(layer);
    entry.setGroupMarker(true);
    entry.setGroupMarkerEnd(name == kGroupEndName);
    m_layers.push_back(std::move(entry));
}

void MRKOPSDEngine::addEndGroupMarker()
{
    addGroupMarkerWithName(kGroupEndName, 1.0f, QRectF(), std::nullopt);
}

void MRKOPSDEngine::preprocess()
{
    m_needGroup = std::any_of(m_layers.begin(), m_layers.end(),
                              [](const MRKOPSDLayer &layer) { return layer.name() == kGroupEndName; });
    if (!m_flattenedData.isEmpty())
        return;
    const int width = int(m_documentSize.width());
    const int height = int(m_documentSize.height());
    // Without a drawn layer the composite is the white background alone, so that every row still decodes.
    if (m_flattenedContext.isNull() && width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension)
        startComposite();
    m_flattenedContext = QImage();
    m_flattenedData = std::move(m_compositePixels);
    m_compositePixels = QByteArray();
}

QByteArray MRKOPSDEngine::imageResources() const
{
    QByteArray resources;
    QByteArray resolution;
    for (int axis = 0; axis < 2; ++axis) {
        appendInt32Value(resolution, 72u << 16); // 72.0 dpi, 16.16 fixed point
        appendInt16Value(resolution, 1);         // pixels per inch
        appendInt16Value(resolution, 1);         // shown in inches
    }
    appendResource(resources, 0x03ED, resolution);
    appendResource(resources, 0x0400, QByteArray(2, '\0')); // target layer 0
    if (m_needICC)
        appendResource(resources, 0x040F, iccProfile());
    if (m_needGroup) {
        const qsizetype count = qsizetype(m_layers.size());
        appendResource(resources, 0x0402, QByteArray(2 * count, '\0'));
        appendResource(resources, 0x0430, QByteArray(count, '\1'));
    }
    return resources;
}

QByteArray MRKOPSDEngine::compositeImageData() const
{
    const qsizetype width = qsizetype(m_documentSize.width());
    const qsizetype height = m_flattenedData.isEmpty() ? 0 : qsizetype(m_documentSize.height());
    const qsizetype channels = m_layerChannelCount;
    const qsizetype rowBytes = width * 4;
    const qsizetype chunksPerChannel = (height + kCompositeRowsPerItem - 1) / kCompositeRowsPerItem;
    std::vector<QByteArray> packed(size_t(channels * chunksPerChannel));
    std::vector<std::uint16_t> lengths(size_t(channels * height));
    const auto *pixels = reinterpret_cast<const std::uint8_t *>(m_flattenedData.constData());
    concurrentApply(channels * chunksPerChannel, [&](qsizetype item) {
        const qsizetype c = item / chunksPerChannel;
        const qsizetype first = item % chunksPerChannel * kCompositeRowsPerItem;
        const qsizetype last = std::min(height, first + kCompositeRowsPerItem);
        QByteArray &out = packed[size_t(item)];
        out.reserve((last - first) * width);
        for (qsizetype row = first; row < last; ++row) {
            const qsizetype before = out.size();
            inkora::appendPackedBits(out, pixels + c + row * rowBytes, width, 4);
            lengths[size_t(c * height + row)] = std::uint16_t(out.size() - before);
        }
    });

    qsizetype total = 2 + 2 * qsizetype(lengths.size());
    for (const QByteArray &chunk : packed)
        total += chunk.size();
    QByteArray data;
    data.reserve(total);
    appendInt16Value(data, 1); // PackBits
    for (const std::uint16_t length : lengths)
        appendInt16Value(data, length);
    for (const QByteArray &chunk : packed)
        data.append(chunk);
    return data;
}

QByteArray MRKOPSDEngine::makePSDDataConcurrent()
{
    const bool hasSize = int(m_documentSize.width()) > 0 && int(m_documentSize.height()) > 0;
    if (m_layerChannelCount < 3 || !hasSize)
        throw Misuse("Please provide layer data, flattened data and set layer channel count to at least 3.");
    if (m_documentSize.width() > kMaxDimension || m_documentSize.height() > kMaxDimension)
        throw Misuse("documentSize is beyond 30000 pixels");
    if (qsizetype(m_layers.size()) > kMaxLayerCount)
        throw Misuse("more than 32767 layers");
    preprocess();

    // Records and channel blocks of every layer, each in the slots of its own index.
    const qsizetype count = qsizetype(m_layers.size());
    std::vector<QByteArray> records(static_cast<size_t>(count));
    std::vector<QByteArray> channels;
    qsizetype channelSlots = 0;
    for (const MRKOPSDLayer &layer : m_layers)
        channelSlots = std::max(channelSlots, qsizetype(layer.layerChannelCount()));
    channels.resize(size_t(count * channelSlots));
    concurrentApply(count, [&](qsizetype i) {
        const MRKOPSDLayer &layer = m_layers[size_t(i)];
        layer.fillLayerChannels(channels, i);
        layer.fillLayerInfo(records, channels, i);
    });
    const QByteArray composite = compositeImageData();
    const QByteArray resources = imageResources();

    qsizetype layerInfoLength = 2;
    for (const QByteArray &record : records)
        layerInfoLength += record.size();
    for (const QByteArray &channel : channels)
        layerInfoLength += channel.size();
    const bool pad = layerInfoLength % 2 == 1;
    layerInfoLength += pad ? 1 : 0;
    if (layerInfoLength + 4 > qsizetype(UINT32_MAX))
        throw Misuse("layer data is beyond the 4 GB a PSD file can hold");

    QByteArray data;
    data.reserve(26 + 4 + 4 + resources.size() + 8 + layerInfoLength + composite.size());
    data.append("8BPS", 4);
    appendInt16Value(data, 1); // version
    data.append(6, '\0');
    appendInt16Value(data, std::uint32_t(m_layerChannelCount));
    appendInt32Value(data, std::uint32_t(m_documentSize.height()));
    appendInt32Value(data, std::uint32_t(m_documentSize.width()));
    appendInt16Value(data, 8); // bits per channel
    appendInt16Value(data, 3); // RGB
    appendInt32Value(data, 0); // colour mode data
    appendDataPrependDataLengthHeader(data, resources);

    if (count == 0) {
        // No layers: an empty layer and mask section, which readers take as a flat file (a stated count of 0 is
        // refused by some).
        appendInt32Value(data, 0);
        data.append(composite);
        return data;
    }
    appendInt32Value(data, std::uint32_t(layerInfoLength + 4));
    appendInt32Value(data, std::uint32_t(layerInfoLength));
    appendInt16Value(data, std::uint32_t(count));
    for (const QByteArray &record : records)
        data.append(record);
    records.clear();
    for (QByteArray &channel : channels) {
        data.append(channel);
        channel = QByteArray();
    }
    if (pad)
        appendByteValue(data, 0);
    data.append(composite);
    return data;
}

void MRKOPSDEngine::saveOnePxPSD()
{
    QImage bitmap(1, 1, QImage::Format_RGBA8888_Premultiplied);
    bitmap.fill(Qt::transparent);
    MRKOPSDEngine engine({MRKOPSDBitmapLayer::psdBitmapLayer(bitmap, QStringLiteral("Hop"), QRectF(0, 0, 1, 1), 1.0)},
                         QSizeF(1, 1));
    const QString path = platform::services().savePanel->runModal(QStringLiteral("Hop"), {QStringLiteral("psd")});
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(engine.makePSDDataConcurrent()) < 0 || !file.commit())
        qCWarning(lcSnapshots) << "saveOnePxPSD: cannot write" << path;
}
