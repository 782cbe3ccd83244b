#include "snapshots/MRKOSnapshot.h"

#include "app/AppDelegate.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWhiteBoardColorController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOInkoraState.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "objects/CALayer+OpaqueContent.h"
#include "platform/Dispatch.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "platform/LayerRenderer.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "snapshots/MRKOPSDEngine.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/NSData+Representations.h"
#include "snapshots/PDFContext.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

const QString kClassName = QStringLiteral("MRKOSnapshot");
const QString kExtension = QStringLiteral("iksnapshot");

// What a snapshot archive from outside may hold.
constexpr double kMaxBoundsSize = 32768;       // points, width and height
constexpr double kMaxDisplayScale = 16;        // pixels per point
constexpr qint64 kMaxBitmapPixels = 1LL << 26; // 8192 x 8192
constexpr qsizetype kMaxLayers = 10000;
constexpr qsizetype kMaxArchiveBytes = 512LL * 1024 * 1024;
constexpr qint64 kMaxRenderPixels = 1LL << 28; // pixels of one rendered picture

std::atomic<double> s_displayScaleReadOnMain = 0;

QByteArray pngData(const QImage &image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    return data;
}

bool writeAtomically(const QString &path, const QByteArray &data, const char *operation)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("%1: cannot write %2 (%3)").arg(QLatin1String(operation), path, file.errorString());
        return false;
    }
    return true;
}

// The pixel size a PNG declares, without decoding it; invalid when the header cannot be read.
QSize pngSize(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    return reader.size();
}

platform::ArchivablePtr decodeSnapshot(platform::KeyedUnarchiver &coder)
{
    auto snapshot = std::make_shared<MRKOSnapshot>();
    const auto refuse = [&coder](const QString &reason) {
        coder.failWithError(reason);
        return nullptr;
    };

    snapshot->setScreenIndex(coder.decodeInt(QStringLiteral("screenIndex")));
    const QRectF bounds = coder.decodeRect(QStringLiteral("bounds"));
    snapshot->setName(coder.decodeObjectOfClasses({QStringLiteral("NSString")}, QStringLiteral("name")).toString());

    if (coder.containsValueForKey(QStringLiteral("screenBitmap"))) {
        const QByteArray png =
            coder.decodeObjectOfClasses({QStringLiteral("NSData")}, QStringLiteral("screenBitmap")).toByteArray();
        const QSize size = pngSize(png);
        if (size.isValid() && qint64(size.width()) * size.height() > kMaxBitmapPixels)
            return refuse(QStringLiteral("the screen image has more than %1 pixels").arg(kMaxBitmapPixels));
        // Data that is no PNG leaves the snapshot without a screen image.
        if (!coder.hasFailed() && size.isValid())
            snapshot->setScreenBitmap(Representations::repFromPNGData(png));
    }

    snapshot->setWhiteboard(coder.decodeBool(QStringLiteral("whiteboard")));
    snapshot->setWhiteboardColorType(coder.decodeInt(QStringLiteral("whiteboardColorType")));
    snapshot->setWhiteboardLayout(quint64(coder.decodeInt(QStringLiteral("whiteboardLayout"))));
    const QVariant color =
        coder.decodeObjectOfClasses({QStringLiteral("NSString")}, QStringLiteral("whiteboardCustomColor"));
    snapshot->setWhiteboardCustomColor(OnOffColor::srgbColorWithString(color.toString()));
    snapshot->setOverallShadow(coder.decodeBool(QStringLiteral("overallShadow")));

    // Absent, not above 0 or NaN: 1.0 as ever; infinite or beyond any display: no snapshot.
    const double scale = coder.decodeUncheckedDouble(QStringLiteral("displayScale"));
    if (std::isinf(scale) || scale > kMaxDisplayScale)
        return refuse(QStringLiteral("displayScale %1 is beyond %2").arg(scale).arg(kMaxDisplayScale));
    if (scale > 0)
        snapshot->setDisplayScale(scale);

    std::vector<platform::LayerPtr> layers;
    if (coder.containsValueForKey(QStringLiteral("layers"))) {
        const QVariantList entries =
            coder.decodeArrayOfObjectsOfClasses({QStringLiteral("NSData")}, QStringLiteral("layers"));
        if (entries.size() > kMaxLayers)
            return refuse(QStringLiteral("more than %1 layers").arg(kMaxLayers));
        for (qsizetype i = 0; i < entries.size() && !coder.hasFailed(); ++i) {
            // The layer's own refusal becomes part of the snapshot's one line.
            const platform::KeyedUnarchiver::QuietRefusals quiet;
            platform::LayerPtr layer = OpaqueContent::layerWithData(entries.at(i).toByteArray());
            if (!layer)
                return refuse(QStringLiteral("layer %1 cannot be read (%2)").arg(i).arg(quiet.lastReason()));
            layers.push_back(std::move(layer));
        }
    }
    snapshot->setLayers(layers);

    if (!std::isfinite(bounds.x()) || !std::isfinite(bounds.y()) || !(bounds.width() >= 0) || !(bounds.height() >= 0) ||
        bounds.width() > kMaxBoundsSize || bounds.height() > kMaxBoundsSize)
        return refuse(QStringLiteral("bounds are not within 0 to %1 points").arg(kMaxBoundsSize));
    // Nothing can be drawn without a size; a snapshot with nothing to draw may have none.
    if ((bounds.width() == 0 || bounds.height() == 0) && (!snapshot->screenBitmap().isNull() || !layers.empty()))
        return refuse(QStringLiteral("bounds have no size but there are pictures"));
    snapshot->setBounds(bounds);
    if (coder.hasFailed())
        return nullptr;
    return snapshot;
}

// The rectangle R of rendering: the bounds scaled by `fit`, rounded down, at `origin`.
struct Fit
{
    double fit = 0;
    QRectF drawn;
};

Fit fitBounds(const QRectF &bounds, double width, double height, bool centre, bool singlePrecision = false)
{
    Fit result;
    result.fit = std::min(width / bounds.width(), height / bounds.height());
    const double fw = result.fit * bounds.width();
    const double fh = result.fit * bounds.height();
    const double dw = singlePrecision ? std::floor(float(fw)) : std::floor(fw);
    const double dh = singlePrecision ? std::floor(float(fh)) : std::floor(fh);
    const QPointF origin = centre ? QPointF((width - dw) / 2, (height - dh) / 2) : QPointF(0, 0);
    result.drawn = QRectF(origin, QSizeF(dw, dh));
    return result;
}

// A rounded rectangle whose corners are quadratic curves with the corner as control point.
QPainterPath quarterWhiteboardPath(const QRectF &rect, double r)
{
    const double x0 = rect.left();
    const double y0 = rect.top(); // y up: the bottom edge
    const double x1 = rect.right();
    const double y1 = rect.bottom();
    QPainterPath path(QPointF(x0 + r, y1));
    path.lineTo(x1 - r, y1);
    path.quadTo(QPointF(x1, y1), QPointF(x1, y1 - r));
    path.lineTo(x1, y0 + r);
    path.quadTo(QPointF(x1, y0), QPointF(x1 - r, y0));
    path.lineTo(x0 + r, y0);
    path.quadTo(QPointF(x0, y0), QPointF(x0, y0 + r));
    path.lineTo(x0, y1 - r);
    path.quadTo(QPointF(x0, y1), QPointF(x0 + r, y1));
    path.closeSubpath();
    return path;
}

QImage premultipliedBitmap(const QImage &image)
{
    return image.format() == QImage::Format_RGBA8888_Premultiplied
               ? image
               : image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

// The pixels of one drawn layer: its contents, or the layer rendered when it has none (a grouped layer).
QImage layerBitmap(const platform::Layer &layer)
{
    if (layer.contents() && !layer.contents()->isNull())
        return premultipliedBitmap(*layer.contents());
    const double scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1.0;
    const QSize size(int(std::ceil(layer.bounds().width() * scale)), int(std::ceil(layer.bounds().height() * scale)));
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(0, size.height());
    painter.scale(scale, -scale);
    painter.translate(-layer.bounds().topLeft());
    layer.renderInContext(painter);
    return image;
}

MRKOPSDLayer::ShadowSource shadowOf(const platform::Layer &layer)
{
    return {layer.shadowOpacity(), layer.shadowRadius(), layer.shadowOffset(), layer.contentsScale()};
}

} // namespace

MRKOSnapshot::MRKOSnapshot() = default;

MRKOSnapshot::~MRKOSnapshot() = default;

void MRKOSnapshot::registerArchiveClass()
{
    static std::once_flag once;
    std::call_once(once, [] { platform::ArchiveClasses::registerClass(kClassName, QString(), decodeSnapshot); });
}

QString MRKOSnapshot::name() const
{
    const std::lock_guard lock(m_renderMutex);
    return m_name;
}

void MRKOSnapshot::setName(const QString &name)
{
    const std::lock_guard lock(m_renderMutex);
    m_name = name;
}

double MRKOSnapshot::displayScaleForRendering()
{
    if (platform::isMainThread()) {
        const AppDelegate *app = AppDelegate::shared();
        const MRKODraw *canvas = app ? app->activeDrawView() : nullptr;
        if (canvas && canvas->displayScale() > 0)
            s_displayScaleReadOnMain = canvas->displayScale();
    }
    return s_displayScaleReadOnMain;
}

void MRKOSnapshot::setScreenBitmap(const QImage &bitmap)
{
    m_screenBitmap = bitmap.isNull() ? QImage() : premultipliedBitmap(bitmap);
}

qint64 MRKOSnapshot::cost() const
{
    return m_screenBitmap.isNull() ? 0 : qint64(m_screenBitmap.width()) * m_screenBitmap.height() * 4;
}

QSizeF MRKOSnapshot::documentSize() const
{
    if (!m_screenBitmap.isNull())
        return QSizeF(m_screenBitmap.width(), m_screenBitmap.height());
    if (m_layers.empty())
        return QSizeF(0, 0);
    const double scale = m_layers.front()->contentsScale();
    return QSizeF(m_bounds.width() * scale, m_bounds.height() * scale);
}

QColor MRKOSnapshot::whiteboardColor() const
{
    if (m_whiteboardColorType == 3)
        return m_whiteboardCustomColor.isValid() ? m_whiteboardCustomColor.toQColor() : QColor::fromRgbF(0, 0, 0);
    return MRKOWhiteBoardColorController::whiteboardColor(m_whiteboardColorType);
}

bool MRKOSnapshot::isEqualToSnapshot(const MRKOSnapshot *other) const
{
    if (other == this)
        return true;
    if (!other || m_bounds != other->m_bounds || m_screenIndex != other->m_screenIndex ||
        m_layers.size() != other->m_layers.size())
        return false;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        if (!OpaqueContent::isEqual(*m_layers[i], *other->m_layers[i]))
            return false;
    }
    return true;
}

QString MRKOSnapshot::archiveClassName() const
{
    return kClassName;
}

void MRKOSnapshot::encodeWithCoder(platform::KeyedArchiver &coder) const
{
    coder.encodeInt(m_screenIndex, QStringLiteral("screenIndex"));
    coder.encodeRect(m_bounds, QStringLiteral("bounds"));
    coder.encodeString(m_name, QStringLiteral("name"));
    if (!m_screenBitmap.isNull()) {
        const QByteArray png = pngData(m_screenBitmap);
        if (png.isEmpty())
            coder.failWithError(QStringLiteral("the screen image cannot be written as PNG"));
        coder.encodeData(png, QStringLiteral("screenBitmap"));
    }
    coder.encodeBool(m_whiteboard, QStringLiteral("whiteboard"));
    coder.encodeInt(m_whiteboardColorType, QStringLiteral("whiteboardColorType"));
    coder.encodeInt(qint64(m_whiteboardLayout), QStringLiteral("whiteboardLayout"));
    coder.encodeObject(m_whiteboardCustomColor.isValid()
                           ? QVariant(OnOffColor::srgbColorStringValue(m_whiteboardCustomColor))
                           : QVariant(),
                       QStringLiteral("whiteboardCustomColor"));
    coder.encodeDouble(m_displayScale, QStringLiteral("displayScale"));
    coder.encodeBool(m_overallShadow, QStringLiteral("overallShadow"));
    if (m_layers.empty())
        return;
    QVariantList entries;
    for (const platform::LayerPtr &layer : m_layers) {
        const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*layer);
        if (!data) {
            coder.failWithError(QStringLiteral("a drawing cannot be archived"));
            return;
        }
        entries.append(*data);
    }
    coder.encodeArray(entries, QStringLiteral("layers"));
}

QByteArray MRKOSnapshot::encodedSnapshotData() const
{
    registerArchiveClass();
    const std::lock_guard lock(m_renderMutex);
    return platform::KeyedArchiver::archivedData(*this).value_or(QByteArray());
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshot::snapshotWithLayers(const std::vector<platform::LayerPtr> &layers,
                                                               const QImage &screenBitmap, const QRectF &bounds,
                                                               qint64 screenIndex)
{
    auto snapshot = std::make_shared<MRKOSnapshot>();
    if (!screenBitmap.isNull()) {
        const MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
        snapshot->setName(layers.empty() ? manager.dazadUdizName() : manager.snapshotName());
    }
    snapshot->setScreenBitmap(screenBitmap);
    snapshot->setBounds(bounds);
    snapshot->setLayers(layers);
    snapshot->setScreenIndex(screenIndex);
    if (!screenBitmap.isNull() && bounds.width() > 0) {
        const double scale = screenBitmap.width() / bounds.width();
        if (scale > 0)
            snapshot->setDisplayScale(scale);
    }
    return snapshot;
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshot::snapshotWithData(const QByteArray &data)
{
    if (data.isNull()) {
        qCWarning(lcSnapshots) << "snapshotWithData: Can't creat snapshot. data is nil";
        return nullptr;
    }
    registerArchiveClass();
    platform::KeyedArchiveLimits limits;
    limits.propertyList.maxBytes = kMaxArchiveBytes;
    // Whatever refused it, inner layer archives included, the reader's one line says why.
    const platform::KeyedUnarchiver::QuietRefusals quiet;
    auto snapshot = platform::KeyedUnarchiver::unarchivedObjectOfClass<MRKOSnapshot>(kClassName, data, limits);
    if (!snapshot) {
        const QString reason = quiet.lastReason().isEmpty() ? QStringLiteral("no snapshot inside") : quiet.lastReason();
        qCWarning(lcSnapshots).noquote() << QStringLiteral("not a snapshot: %1,").arg(reason);
    }
    return snapshot;
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshot::snapshotWithContentsOfFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return nullptr;
    if (file.size() > kMaxArchiveBytes) {
        qCWarning(lcSnapshots) << "snapshotWithContentsOfFile: not a snapshot, the file is too large:" << path;
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSnapshots) << "snapshotWithContentsOfFile: cannot read" << path << "-" << file.errorString();
        return nullptr;
    }
    return snapshotWithData(file.readAll());
}

bool MRKOSnapshot::writeSnapshotToFile(const QString &path) const
{
    const QByteArray data = encodedSnapshotData();
    if (data.isEmpty())
        return false;
    return writeAtomically(path, data, "writeSnapshotToFile");
}

QString MRKOSnapshot::fileNameWithIndex(qint64 index)
{
    return QStringLiteral("%1.%2").arg(QString::number(quint64(index), 16).toUpper().rightJustified(4, u'0'),
                                       kExtension);
}

QString MRKOSnapshot::filePathInDocumentsWhithIndex(qint64 index)
{
    return QDir(MRKOUtils::appDocumentsDir()).filePath(fileNameWithIndex(index));
}

void MRKOSnapshot::removeSnapshotsFromDocumentsDirectoryAtIndex(qint64 index)
{
    QFile::remove(filePathInDocumentsWhithIndex(index));
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshot::snapshotFromDocumentsAtIndex(qint64 index)
{
    return snapshotWithContentsOfFile(filePathInDocumentsWhithIndex(index));
}

QString MRKOSnapshot::filePathInDocuments() const
{
    return filePathInDocumentsWhithIndex(m_screenIndex);
}

void MRKOSnapshot::saveToDocumentsDirectory() const
{
    const QByteArray data = encodedSnapshotData();
    if (data.isEmpty()) {
        QFile::remove(filePathInDocuments());
        return;
    }
    QDir().mkpath(QFileInfo(filePathInDocuments()).absolutePath());
    writeAtomically(filePathInDocuments(), data, "saveToDocumentsDirectory");
}

void MRKOSnapshot::drawContents(QPainter &painter, const QRectF &drawn, double fit, bool drawScreenShot,
                                bool drawLayers, bool renderEmptyLayers)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // A whole-screen whiteboard hides the screen image.
    if (drawScreenShot && !m_screenBitmap.isNull() && (!m_whiteboard || m_whiteboardLayout != 0))
        platform::LayerRenderer::drawImageUpright(painter, drawn, m_screenBitmap);
    if (drawScreenShot && m_whiteboard) {
        const QRectF area(0, 0, std::floor(float(fit * m_bounds.width())), std::floor(float(fit * m_bounds.height())));
        const QRectF board =
            MRKOInkoraStateUtils::whiteboardRectWithRect(area, qint64(m_whiteboardLayout)).translated(drawn.topLeft());
        if (m_whiteboardLayout <= 4)
            painter.fillRect(board, whiteboardColor());
        else
            painter.fillPath(quarterWhiteboardPath(board, 10 * fit), whiteboardColor());
    }
    if (!drawLayers || (!renderEmptyLayers && m_layers.empty()))
        return;
    painter.save();
    painter.setClipRect(drawn, Qt::IntersectClip);
    const platform::LayerPtr container = platform::Layer::create();
    container->setFrame(m_bounds);
    container->setSublayers(m_layers);
    // The drawings' shadow is meant as 2 x fit pixels of blur and fit pixels of offset. Our layer renderer scales a
    // shadow with the drawing, so it is given at scale 1 and the fit scales it on the way.
    if (m_overallShadow)
        MRKODraw::enableShadowOnLayerScale(*container, 1.0);
    painter.scale(fit, fit);
    painter.translate(drawn.x() / fit, drawn.y() / fit);
    container->renderInContext(painter);
    container->setSublayers({});
    painter.restore();
}

QImage MRKOSnapshot::imageWithSize(QSizeF size, bool drawScreenShot, bool drawLayers, bool shouldDrawToDisplay,
                                   bool useNativeDisplayScale)
{
    const std::lock_guard lock(m_renderMutex);
    double s = 1.0;
    if (shouldDrawToDisplay) {
        s = displayScaleForRendering();
        if (!(s > 0))
            s = m_displayScale > 0 ? m_displayScale : 1.0;
    }
    const double width = std::trunc(size.width() * s);
    const double height = std::trunc(size.height() * s);
    if (!(m_bounds.width() > 0) || !(m_bounds.height() > 0) || !(width >= 1) || !(height >= 1)) {
        qCWarning(lcSnapshots) << "imageWithSize: the snapshot or the picture has no size; no image";
        return {};
    }
    const Fit fit = fitBounds(m_bounds, width, height, !shouldDrawToDisplay);
    const QSizeF pixels = shouldDrawToDisplay ? fit.drawn.size() : QSizeF(width, height);
    if (pixels.width() < 1 || pixels.height() < 1 || pixels.width() * pixels.height() > double(kMaxRenderPixels)) {
        qCWarning(lcSnapshots) << "imageWithSize: a picture of" << pixels << "pixels cannot be made; no image";
        return {};
    }
    QImage image(int(pixels.width()), int(pixels.height()), QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull()) {
        qCWarning(lcSnapshots) << "imageWithSize: no memory for" << pixels << "pixels; no image";
        return {};
    }
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(0, image.height());
        painter.scale(1, -1);
        drawContents(painter, fit.drawn, fit.fit, drawScreenShot, drawLayers, false);
    }
    if (useNativeDisplayScale && m_displayScale > 0)
        image.setDevicePixelRatio(m_displayScale);
    if (shouldDrawToDisplay)
        image.setDevicePixelRatio(s);
    return image;
}

QImage MRKOSnapshot::snapshotImage()
{
    return imageWithSize(QSizeF(152, 110), true, true, true, false);
}

QImage MRKOSnapshot::quickLookImage()
{
    return imageWithSize(QSizeF(780, 540), true, true, true, false);
}

void MRKOSnapshot::drawPDFPageInContext(inkora::PDFContext &context, bool screenShot)
{
    const std::lock_guard lock(m_renderMutex);
    const QSizeF page = documentSize();
    QPainter &painter = context.beginPage(page);
    const double width = std::trunc(page.width());
    const double height = std::trunc(page.height());
    if (m_bounds.width() > 0 && m_bounds.height() > 0 && width >= 1 && height >= 1) {
        const Fit fit = fitBounds(m_bounds, width, height, true, true);
        drawContents(painter, fit.drawn, fit.fit, screenShot, true, true);
    }
    context.endPage();
}

bool MRKOSnapshot::savePSDWithPath(const QString &path, bool withScreenShot)
{
    const QSizeF size = documentSize();
    if (int(size.width()) <= 0 || int(size.height()) <= 0) {
        qCWarning(lcSnapshots) << "savePSDWithPath: the snapshot has no picture size; nothing written to" << path;
        return false;
    }
    try {
        MRKOPSDEngine engine(size);
        if (withScreenShot && (!m_screenBitmap.isNull() || m_whiteboard)) {
            engine.addEndGroupMarker();
            if (!m_screenBitmap.isNull()) {
                engine.addLayerWithPremultipledBitmap(m_screenBitmap, QStringLiteral("ScreenShot"), 1.0f, QPointF(0, 0),
                                                      std::nullopt);
            }
            if (m_whiteboard) {
                const QImage board = imageWithSize(size, true, false, false, false);
                if (!board.isNull()) {
                    engine.addLayerWithPremultipledBitmap(board, QStringLiteral("Whiteboard"), 1.0f, QPointF(0, 0),
                                                          std::nullopt);
                }
            }
            engine.addGroupMarkerWithName(QStringLiteral("Background"), 1.0f, QRectF(QPointF(0, 0), size),
                                          std::nullopt);
        }
        if (hasLayers()) {
            const std::lock_guard lock(m_renderMutex);
            engine.addEndGroupMarker();
            QRectF frames;
            for (size_t i = 0; i < m_layers.size(); ++i) {
                const platform::Layer &layer = *m_layers[i];
                const double c = layer.contentsScale();
                const QRectF frame = layer.frame();
                frames = i == 0 ? frame : frames.united(frame);
                const QImage bitmap = layerBitmap(layer);
                if (bitmap.isNull())
                    continue;
                // The layer's y-up position in the canvas becomes a top-down pixel position.
                const QPointF offset(frame.x() * c, (m_bounds.height() - (frame.y() + frame.height())) * c);
                engine.addLayerWithPremultipledBitmap(bitmap, QString::asprintf("%03zu", i + 1), 1.0f, offset,
                                                      shadowOf(layer));
            }
            const double c = m_layers.front()->contentsScale();
            std::optional<MRKOPSDLayer::ShadowSource> groupShadow;
            if (m_overallShadow) {
                platform::Layer shadowLayer;
                shadowLayer.setContentsScale(c);
                MRKODraw::enableShadowOnLayerScale(shadowLayer, 1.0);
                groupShadow = shadowOf(shadowLayer);
            }
            const QRectF groupFrame(frames.x() * c, frames.y() * c, frames.width() * c, frames.height() * c);
            engine.addGroupMarkerWithName(QStringLiteral("Drawings"), 1.0f, groupFrame, groupShadow);
        }
        return writeAtomically(path, engine.makePSDDataConcurrent(), "savePSDWithPath");
    } catch (const std::exception &e) {
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("savePSDWithPath: %1; nothing written to %2").arg(QString::fromUtf8(e.what()), path);
        return false;
    }
}

bool MRKOSnapshot::savePNGWithPath(const QString &path, bool withScreenShot)
{
    const QImage image = imageWithSize(documentSize(), withScreenShot, true, false, true);
    if (image.isNull())
        return false;
    QImage plain = image;
    plain.setDevicePixelRatio(1.0); // the PNG carries no point size
    const QByteArray png = pngData(plain);
    return !png.isEmpty() && writeAtomically(path, png, "savePNGWithPath");
}

bool MRKOSnapshot::savePDFWithPath(const QString &path, bool withScreenShot)
{
    const QSizeF size = documentSize();
    if (!(size.width() >= 1) || !(size.height() >= 1)) {
        qCWarning(lcSnapshots) << "savePDFWithPath: the snapshot has no picture size; nothing written to" << path;
        return false;
    }
    inkora::PDFContext context(path);
    drawPDFPageInContext(context, withScreenShot);
    return context.close();
}

bool MRKOSnapshot::saveRawBitmapPNGWithPath(const QString &path)
{
    if (m_screenBitmap.isNull()) {
        qCWarning(lcSnapshots) << "saveRawBitmapPNGWithPath: bitmap is nil; nothing written to" << path;
        return false;
    }
    QImage plain = m_screenBitmap;
    plain.setDevicePixelRatio(1.0);
    const QByteArray png = pngData(plain);
    return !png.isEmpty() && writeAtomically(path, png, "saveRawBitmapPNGWithPath");
}

void MRKOSnapshot::runSavePanel(const QString &type, const std::function<void(const QString &)> &write)
{
    MRKOFrontmostApp::beginSaveOperation();
    const QString path = platform::services().savePanel->runModal(name(), {type});
    if (!path.isEmpty())
        write(path);
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOSnapshot::savePSDWithPanelFull(bool full)
{
    runSavePanel(QStringLiteral("psd"), [this, full](const QString &path) { savePSDWithPath(path, full); });
}

void MRKOSnapshot::savePNGWithPanelFull(bool full)
{
    runSavePanel(QStringLiteral("png"), [this, full](const QString &path) { savePNGWithPath(path, full); });
}

void MRKOSnapshot::savePDFWithPanelFull(bool full)
{
    runSavePanel(QStringLiteral("pdf"), [this, full](const QString &path) { savePDFWithPath(path, full); });
}

void MRKOSnapshot::savePNGRawBitmap()
{
    if (m_screenBitmap.isNull()) {
        qCWarning(lcSnapshots) << "Can't save Raw Bitmap as PNG. bitmap is nil";
        return;
    }
    runSavePanel(QStringLiteral("png"), [this](const QString &path) { saveRawBitmapPNGWithPath(path); });
}

void MRKOSnapshot::saveWithMethod(quint64 method)
{
    switch (method) {
    case MRKOExportMethodPSD:
    case MRKOExportMethodDrawingsPSD:
        savePSDWithPanelFull(method == MRKOExportMethodPSD);
        break;
    case MRKOExportMethodPNG:
    case MRKOExportMethodDrawingsPNG:
        savePNGWithPanelFull(method == MRKOExportMethodPNG);
        break;
    case MRKOExportMethodPDF:
    case MRKOExportMethodDrawingsPDF:
        savePDFWithPanelFull(method == MRKOExportMethodPDF);
        break;
    case MRKOExportMethodScreenShotPNG:
        savePNGRawBitmap();
        break;
    default:
        break; // multi-page PDFs are the snapshot manager's
    }
}

bool MRKOSnapshot::writeToPath(const QString &path, quint64 method)
{
    switch (method) {
    case MRKOExportMethodPSD:
    case MRKOExportMethodDrawingsPSD:
        return savePSDWithPath(path, method == MRKOExportMethodPSD);
    case MRKOExportMethodPNG:
    case MRKOExportMethodDrawingsPNG:
        return savePNGWithPath(path, method == MRKOExportMethodPNG);
    case MRKOExportMethodPDF:
    case MRKOExportMethodDrawingsPDF:
        return savePDFWithPath(path, method == MRKOExportMethodPDF);
    case MRKOExportMethodScreenShotPNG:
        return saveRawBitmapPNGWithPath(path);
    default:
        return false;
    }
}

QString MRKOSnapshot::writeToFolder(const QString &folder, quint64 method)
{
    // Names the user typed may hold "/" or begin with dots: the file stays inside the folder.
    const QString fileName = MRKOUtils::safeFileName(name(), MRKOUtils::extentionWithExportMethod(qint64(method)),
                                                     QStringLiteral("Snapshot"));
    const QString path = MRKOUtils::uniqueFilePathWithPathFolder(QDir(folder).filePath(fileName), folder);
    writeToPath(path, method);
    return fileName;
}

namespace {

bool putOnClipboard(const QImage &image, const char *operation)
{
    if (image.isNull())
        return false;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        qCWarning(lcSnapshots).noquote() << QStringLiteral("%1: there is no clipboard").arg(QLatin1String(operation));
        return false;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(image);
    return true;
}

} // namespace

bool MRKOSnapshot::drawingsImageToPasteboard()
{
    if (!hasLayers()) {
        qCWarning(lcSnapshots) << "drawingsImageToPasteboard - Can't copy to clipboard. has no Layers";
        return false;
    }
    return putOnClipboard(imageWithSize(documentSize(), false, true, false, true), "drawingsImageToPasteboard");
}

bool MRKOSnapshot::wholeSnapshotImageToPasteboard()
{
    if (!hasLayers() && m_screenBitmap.isNull()) {
        qCWarning(lcSnapshots)
            << "wholeSnapshotImageToPasteboard - Can't copy to clipboard. has no Layers and screenBitmap";
        return false;
    }
    return putOnClipboard(imageWithSize(documentSize(), true, true, false, true), "wholeSnapshotImageToPasteboard");
}

bool MRKOSnapshot::screenShotToPasteboard()
{
    if (m_screenBitmap.isNull()) {
        qCWarning(lcSnapshots) << "copyScreenShotToClipboard - Can't copy to clipboard. screenBitmap == nil";
        return false;
    }
    if (m_displayScale > 0)
        m_screenBitmap.setDevicePixelRatio(m_displayScale);
    return putOnClipboard(m_screenBitmap, "screenShotToPasteboard");
}
