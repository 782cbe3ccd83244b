#include "foundation/InkoraLog.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"
#include "objects/MRKOTextPill.h"
#include "objects/NSBezierPath+Path.h"
#include "objects/ObjectArchiving.h"
#include "objects/ObjectGeometry.h"
#include "platform/BitmapContext.h"
#include "platform/ImageLoader.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "platform/Path.h"
#include "platform/Transaction.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace OpaqueContent {

namespace {

const QString kFrameKey = QStringLiteral("frame");
const QString kNameKey = QStringLiteral("name");
const QString kContentsScaleKey = QStringLiteral("contentsScale");
const QString kZPositionKey = QStringLiteral("zPosition");
const QString kContentsKey = QStringLiteral("contents");
const QString kTextPillKey = QStringLiteral("textPill");
const QString kPillKey = QStringLiteral("pill");
const QString kShadowPathKey = QStringLiteral("shadowBezierPath");
const QString kBorderColorKey = QStringLiteral("borderColor");
const QString kCompositeName = QStringLiteral("Composite");

constexpr double kOpaqueAlpha = 0.01; // of full alpha: a byte of 3 or more counts as painted
constexpr quint64 kTextToolType = 3;

int alphaAt(const QImage &image, int x, int y)
{
    switch (image.format()) {
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return image.constScanLine(y)[x * 4 + 3];
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return qAlpha(reinterpret_cast<const QRgb *>(image.constScanLine(y))[x]);
    case QImage::Format_Alpha8:
        return image.constScanLine(y)[x];
    default:
        return image.pixelColor(x, y).alpha();
    }
}

// The alpha that the one-point square at `point` gets when the image, `scale` pixels per point with its bottom-left
// corner at the origin, is drawn into one pixel: the covered pixels averaged by area, outside the image clear.
int alphaOfPointSquare(const QImage &image, double scale, QPointF point)
{
    const double x0 = point.x() * scale, x1 = (point.x() + 1) * scale;
    // Rows count from the top of the image.
    const double r0 = image.height() - (point.y() + 1) * scale, r1 = image.height() - point.y() * scale;
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(r0) || !std::isfinite(r1))
        return 0;
    // Clamped while still doubles: a damaged scale or point must not overflow an index.
    auto index = [](double v, int limit) { return int(std::clamp(v, 0.0, double(limit))); };
    const int firstColumn = index(std::floor(x0), image.width()), lastColumn = index(std::ceil(x1), image.width());
    const int firstRow = index(std::floor(r0), image.height()), lastRow = index(std::ceil(r1), image.height());
    double sum = 0;
    for (int row = firstRow; row < lastRow; ++row) {
        const double h = std::min<double>(row + 1, r1) - std::max<double>(row, r0);
        for (int column = firstColumn; column < lastColumn; ++column) {
            const double w = std::min<double>(column + 1, x1) - std::max<double>(column, x0);
            sum += w * h * alphaAt(image, column, row);
        }
    }
    return int(std::lround(std::clamp(sum / (scale * scale), 0.0, 255.0)));
}

// Pixel counts for a bitmap of `width` by `height` points at a scale, truncated; false when they are unusable.
bool pixelSize(double width, double height, int *w, int *h)
{
    constexpr double kLargest = 1 << 30;
    if (!(width >= 1 && height >= 1 && width < kLargest && height < kLargest))
        return false;
    *w = int(width);
    *h = int(height);
    return true;
}

} // namespace

void setPill(platform::Layer &layer, std::shared_ptr<MRKOPill> pill)
{
    layer.setModel(std::move(pill));
}

std::shared_ptr<MRKOPill> pill(const platform::Layer &layer)
{
    return std::dynamic_pointer_cast<MRKOPill>(layer.model());
}

void setTextPill(platform::Layer &layer, std::shared_ptr<MRKOTextPill> pill)
{
    layer.setModel(std::move(pill));
}

std::shared_ptr<MRKOTextPill> textPill(const platform::Layer &layer)
{
    auto text = std::dynamic_pointer_cast<MRKOTextPill>(layer.model());
    return text && text->toolType() == kTextToolType ? text : nullptr;
}

bool isComplexLayer(const platform::Layer &layer)
{
    return !layer.sublayers().empty();
}

bool isCompositeLayer(const platform::Layer &layer)
{
    return layer.name() == kCompositeName;
}

void assingCompositeName(platform::Layer &layer)
{
    layer.setName(kCompositeName);
}

platform::LayerPtr layerCopyWithPill(const platform::Layer &layer)
{
    auto copy = platform::Layer::create();
    copy->setFrame(layer.frame());
    copy->setName(layer.name());
    copy->setZPosition(layer.zPosition());
    copy->setContents(layer.contents());
    copy->setContentsScale(layer.contentsScale());
    copy->setShadowPath(layer.shadowPath());
    copy->setBorderColor(layer.borderColor());
    if (const auto model = pill(layer))
        setPill(*copy, model->copy());
    if (!layer.sublayers().empty())
        copy->setSublayers(subLayersCopy(layer));
    return copy;
}

std::vector<platform::LayerPtr> subLayersCopy(const platform::Layer &layer)
{
    return layersCopyFromArray(layer.sublayers());
}

std::vector<platform::LayerPtr> layersCopyFromArray(const std::vector<platform::LayerPtr> &layers)
{
    std::vector<platform::LayerPtr> copies;
    copies.reserve(layers.size());
    for (const platform::LayerPtr &layer : layers)
        copies.push_back(layerCopyWithPill(*layer));
    return copies;
}

bool isContentHasOpaquePixelAtPoint(const platform::Layer &layer, QPointF point)
{
    const QRectF bounds = layer.bounds();
    const bool inside = point.x() >= bounds.x() && point.x() < bounds.x() + bounds.width() && point.y() >= bounds.y() &&
                        point.y() < bounds.y() + bounds.height();
    const platform::ImagePtr &contents = layer.contents();
    if (inside && contents && !contents->isNull() && layer.contentsScale() > 0) {
        const int alpha = alphaOfPointSquare(*contents, layer.contentsScale(), point);
        if (alpha / 255.0 >= kOpaqueAlpha)
            return true;
    }
    for (const platform::LayerPtr &sublayer : layer.sublayers()) {
        if (isContentHasOpaquePixelAtPoint(*sublayer, point))
            return true;
    }
    return false;
}

std::vector<QPointF> originsOfLayers(const std::vector<platform::LayerPtr> &layers)
{
    std::vector<QPointF> origins;
    origins.reserve(layers.size());
    for (const platform::LayerPtr &layer : layers) {
        const QRectF frame = layer->frame();
        origins.emplace_back(frame.x(), frame.y());
    }
    return origins;
}

void updatePillLayer(platform::Layer &layer)
{
    // TODO: text models are rendered by the text renderer, which comes with the text editor; until then they keep
    // the bitmap they have.
    if (textPill(layer))
        return;
    updateGraphicLayer(layer);
}

void updateGraphicLayer(platform::Layer &layer)
{
    const std::shared_ptr<MRKOPill> model = pill(layer);
    if (!model)
        return;
    if (textPill(layer)) {
        qCWarning(lcObjects) << "Attempt To Update Graphic Layer with Text Pill";
        return;
    }
    const QRectF bounds = model->createPaths();
    const double scale = layer.contentsScale();
    const double width = bounds.width() * scale, height = bounds.height() * scale;
    int w = 0, h = 0;
    std::unique_ptr<platform::BitmapContext> context;
    if (pixelSize(width, height, &w, &h))
        context = platform::BitmapContext::create(w, h);
    if (!context) {
        qCWarning(lcObjects).noquote() << QString::asprintf(
            "updateGraphicLayer CGContextRef Create Failed: width %f - height %f", width, height);
        return;
    }
    context->saveGState();
    context->scaleCTM(scale, scale);
    context->translateCTM(-bounds.x(), -bounds.y());
    context->draw([&model](QPainter &painter) { model->drawInContext(painter); });
    context->restoreGState();

    const platform::TransactionScope noAnimation(true);
    layer.setContents(std::make_shared<const QImage>(context->makeImage()));
    layer.setFrame(bounds);
    layer.setBorderColor(model->color1().toQColor());
}

bool isEqual(const platform::Layer &layer, const platform::Layer &other)
{
    if (&layer == &other)
        return true;
    // The other layer must be of the receiver's class; every layer is a kind of plain layer.
    if (typeid(layer) != typeid(platform::Layer) && typeid(layer) != typeid(other))
        return false;
    if (!inkora::rectsEqual(layer.frame(), other.frame()))
        return false;
    const std::shared_ptr<MRKOPill> model = pill(layer);
    if (model && model->isEqualToPill(pill(other).get()))
        return true;
    return layer.contents() == other.contents();
}

void inkoraEncodeWithCoder(const platform::Layer &layer, platform::KeyedArchiver &coder)
{
    coder.encodeRect(layer.frame(), kFrameKey);
    coder.encodeObject(layer.name().isEmpty() ? QVariant() : QVariant(layer.name()), kNameKey);
    coder.encodeDouble(layer.contentsScale(), kContentsScaleKey);
    coder.encodeDouble(layer.zPosition(), kZPositionKey);
    if (const platform::ImagePtr &contents = layer.contents(); contents && !contents->isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        // An image that cannot be written as PNG is left out; the layer reads back without contents.
        if (buffer.open(QIODevice::WriteOnly) && contents->save(&buffer, "PNG"))
            coder.encodeData(png, kContentsKey);
    }
    if (const auto text = textPill(layer))
        coder.encodeObject(platform::ArchivablePtr(text), kTextPillKey);
    else if (const auto model = pill(layer))
        coder.encodeObject(platform::ArchivablePtr(model), kPillKey);
    if (const std::optional<QPainterPath> &shadow = layer.shadowPath()) {
        const inkora::BezierPath bezier = inkora::archiveBezierPath(platform::Path::fromPainterPath(*shadow));
        if (!bezier.isEmpty())
            inkora::encodeBezierPath(coder, bezier, kShadowPathKey);
    }
    if (layer.borderColor().isValid())
        inkora::encodeColor(coder, layer.borderColor(), kBorderColorKey);
}

platform::LayerPtr inkoraInitWithCoder(platform::KeyedUnarchiver &coder)
{
    MRKOPill::registerArchiveClasses();
    auto layer = platform::Layer::create();
    layer->setFrame(coder.decodeRect(kFrameKey));
    const QVariant name = coder.decodeObjectOfClasses({QStringLiteral("NSString")}, kNameKey);
    if (name.typeId() == QMetaType::QString)
        layer->setName(name.toString());
    layer->setContentsScale(coder.decodeDouble(kContentsScaleKey));
    layer->setZPosition(coder.decodeDouble(kZPositionKey));
    const QByteArray png = coder.decodeData(kContentsKey);
    if (!png.isEmpty()) {
        const QImage image = platform::ImageLoader::readImageData(png, "png");
        if (!image.isNull())
            layer->setContents(
                std::make_shared<const QImage>(image.convertToFormat(QImage::Format_RGBA8888_Premultiplied)));
    }
    if (auto text = coder.decodeObjectOfClass<MRKOTextPill>(QStringLiteral("MRKOTextPill"), kTextPillKey))
        setTextPill(*layer, std::move(text));
    else if (auto model = coder.decodeObjectOfClass<MRKOPill>(QStringLiteral("MRKOPill"), kPillKey))
        setPill(*layer, std::move(model));
    if (const auto shadow = inkora::decodeBezierPath(coder, kShadowPathKey); shadow && !shadow->isEmpty()) {
        std::optional<platform::Path> path;
        Path::quartzPathWithRef(*shadow, path);
        layer->setShadowPath(path->toPainterPath());
    }
    if (const inkora::SrgbColor border = inkora::decodeColor(coder, kBorderColorKey); border.isValid())
        layer->setBorderColor(border.toQColor());
    return coder.hasFailed() ? nullptr : layer;
}

std::optional<QByteArray> layerDataToSave(const platform::Layer &layer)
{
    platform::KeyedArchiver archiver;
    inkoraEncodeWithCoder(layer, archiver);
    return archiver.encodedData();
}

platform::LayerPtr layerWithData(const QByteArray &data)
{
    platform::LayerPtr layer;
    // The unarchiver logs the one line when the data cannot be read.
    if (!platform::KeyedUnarchiver::unarchiveTopLevel(
            data, [&layer](platform::KeyedUnarchiver &coder) { layer = inkoraInitWithCoder(coder); }))
        return nullptr;
    return layer;
}

} // namespace OpaqueContent
