#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "objects/MRKOBrushPill.h"
#include "objects/MRKORectanglePill.h"
#include "objects/MRKOTextPill.h"
#include "platform/KeyedArchiver.h"
#include "platform/PropertyList.h"
#include "platform/ShapeLayer.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/PythonReader.h"

#include <algorithm>

using platform::Layer;
using platform::LayerPtr;

namespace {

platform::ImagePtr filledImage(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    return std::make_shared<const QImage>(image);
}

// An image whose pixels run through many colours and alphas, low alphas included.
platform::ImagePtr patternImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int a = (x * 7 + y * 13) % 256;
            image.setPixelColor(x, y, QColor((x * 31) % 256, (y * 17) % 256, (x + y) % 256, a));
        }
    }
    return std::make_shared<const QImage>(image);
}

QVariantMap topOf(const QByteArray &archive)
{
    return platform::PropertyList::fromData(archive).toMap().value(QStringLiteral("$top")).toMap();
}

} // namespace

class OpaqueContentTest : public ObjectsFixture
{
protected:
    static LayerPtr makeLayer(const QRectF &frame, std::shared_ptr<MRKOPill> model = {},
                              platform::ImagePtr contents = {})
    {
        LayerPtr layer = Layer::create();
        layer->setFrame(frame);
        layer->setContents(std::move(contents));
        if (model)
            OpaqueContent::setPill(*layer, std::move(model));
        return layer;
    }
    static std::shared_ptr<MRKOArrowPill> makeArrow()
    {
        auto arrow = std::make_shared<MRKOArrowPill>(1, QPointF(10, 10), QPointF(110, 60), red(), blue(), 0, 4.0, 1);
        arrow->setStartDirection(8 | 4);
        return arrow;
    }
    static std::shared_ptr<MRKOTextPill> makeText()
    {
        auto text = std::make_shared<MRKOTextPill>();
        text->setColor1(blue());
        text->setColor2(red());
        return text;
    }
};

TEST_F(OpaqueContentTest, ModelsAttachAndTextModelsAreTold)
{
    Layer layer;
    EXPECT_EQ(OpaqueContent::pill(layer), nullptr);
    const auto arrow = makeArrow();
    OpaqueContent::setPill(layer, arrow);
    EXPECT_EQ(OpaqueContent::pill(layer), arrow);
    EXPECT_EQ(OpaqueContent::textPill(layer), nullptr);

    const auto text = makeText();
    OpaqueContent::setTextPill(layer, text);
    EXPECT_EQ(OpaqueContent::textPill(layer), text);
    text->setToolType(7);
    EXPECT_EQ(OpaqueContent::textPill(layer), nullptr);
    EXPECT_EQ(OpaqueContent::pill(layer), text);
}

TEST_F(OpaqueContentTest, SpecialLayersAreToldApart)
{
    const LayerPtr layer = makeLayer({0, 0, 10, 10});
    EXPECT_FALSE(OpaqueContent::isComplexLayer(*layer));
    EXPECT_FALSE(OpaqueContent::isCompositeLayer(*layer));
    layer->addSublayer(Layer::create());
    OpaqueContent::assingCompositeName(*layer);
    EXPECT_TRUE(OpaqueContent::isComplexLayer(*layer));
    EXPECT_TRUE(OpaqueContent::isCompositeLayer(*layer));
    EXPECT_EQ(layer->name(), QStringLiteral("Composite"));
}

TEST_F(OpaqueContentTest, CopyIsAPlainLayerWithItsOwnModelAndTheSameBitmap)
{
    auto shape = std::make_shared<platform::ShapeLayer>();
    shape->setFrame({5, 6, 70, 80});
    shape->setName(QStringLiteral("Dot"));
    shape->setZPosition(-1);
    shape->setContents(filledImage(140, 160, Qt::red));
    shape->setContentsScale(2);
    QPainterPath shadow;
    shadow.addRect(0, 0, 3, 3);
    shape->setShadowPath(shadow);
    shape->setBorderColor(blue());
    OpaqueContent::setPill(*shape, makeArrow());
    shape->addSublayer(makeLayer({1, 1, 2, 2}, makeArrow()));

    const LayerPtr copy = OpaqueContent::layerCopyWithPill(*shape);
    EXPECT_EQ(typeid(*copy), typeid(Layer));
    EXPECT_EQ(copy->frame(), shape->frame());
    EXPECT_EQ(copy->name(), QStringLiteral("Dot"));
    EXPECT_EQ(copy->zPosition(), -1.0);
    EXPECT_EQ(copy->contents(), shape->contents());
    EXPECT_EQ(copy->contentsScale(), 2.0);
    EXPECT_EQ(copy->shadowPath(), shape->shadowPath());
    EXPECT_EQ(copy->borderColor(), blue());
    ASSERT_TRUE(OpaqueContent::pill(*copy));
    EXPECT_NE(OpaqueContent::pill(*copy), OpaqueContent::pill(*shape));
    EXPECT_TRUE(OpaqueContent::pill(*copy)->isEqualToPill(OpaqueContent::pill(*shape).get()));
    ASSERT_EQ(copy->sublayers().size(), 1u);
    EXPECT_NE(copy->sublayers()[0], shape->sublayers()[0]);
    EXPECT_NE(OpaqueContent::pill(*copy->sublayers()[0]), nullptr);

    EXPECT_TRUE(OpaqueContent::layersCopyFromArray({}).empty());
    const std::vector<QPointF> origins = OpaqueContent::originsOfLayers({shape, copy->sublayers()[0]});
    EXPECT_EQ(origins, (std::vector<QPointF>{{5, 6}, {1, 1}}));
}

TEST_F(OpaqueContentTest, PixelCountsAsPaintedFromAlphaThree)
{
    struct Row
    {
        const char *name;
        int alpha;
        double scale;
        bool painted;
    };
    const Row rows[] = {
        {"AlphaThree", 3, 1, true},
        {"AlphaTwo", 2, 1, false},
        {"AlphaThreeAtScaleTwo", 3, 2, true},
        {"Clear", 0, 1, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QImage image(int(20 * row.scale), int(10 * row.scale), QImage::Format_RGBA8888_Premultiplied);
        image.fill(QColor(0, 0, 0, row.alpha));
        const LayerPtr layer = makeLayer({100, 100, 20, 10}, {}, std::make_shared<const QImage>(image));
        layer->setContentsScale(row.scale);
        EXPECT_EQ(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {4, 5}), row.painted);
    }
}

TEST_F(OpaqueContentTest, PixelTestSamplesThePointsOwnSquare)
{
    // A 4 x 2 point image at scale 2 whose only painted pixels are the top-left 2 x 2 block.
    QImage image(8, 4, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixelColor(x, y, Qt::black);
    const LayerPtr layer = makeLayer({0, 0, 4, 2}, {}, std::make_shared<const QImage>(image));
    layer->setContentsScale(2);
    EXPECT_TRUE(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {0, 1})); // y up: the top row
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {0, 0}));
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {1, 1}));

    // A damaged archive can carry any scale; the test stays within the image.
    for (double scale : {1e19, 1e300, 1e-300}) {
        layer->setContentsScale(scale);
        (void)OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {1, 1});
    }
}

TEST_F(OpaqueContentTest, PointOutsideTheBoundsAsksOnlyTheSublayers)
{
    const LayerPtr parent = makeLayer({0, 0, 10, 10}, {}, filledImage(10, 10, Qt::black));
    EXPECT_TRUE(OpaqueContent::isContentHasOpaquePixelAtPoint(*parent, {5, 5}));
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*parent, {15, 5}));
    // The sublayer gets the same point, not converted into its own coordinates.
    parent->addSublayer(makeLayer({50, 50, 20, 10}, {}, filledImage(20, 10, Qt::black)));
    EXPECT_TRUE(OpaqueContent::isContentHasOpaquePixelAtPoint(*parent, {15, 5}));
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*parent, {25, 5}));

    const LayerPtr noImage = makeLayer({0, 0, 10, 10});
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*noImage, {5, 5}));
}

TEST_F(OpaqueContentTest, GraphicLayerTakesBitmapFrameAndColourFromTheModel)
{
    const auto arrow = makeArrow();
    const LayerPtr layer = makeLayer({0, 0, 1, 1}, arrow);
    layer->setContentsScale(2);
    OpaqueContent::updatePillLayer(*layer);
    const QRectF expected = arrow->integralBoundingBoxOfStrokedPath();
    EXPECT_EQ(layer->frame(), expected);
    EXPECT_EQ(layer->borderColor(), red());
    ASSERT_TRUE(layer->contents());
    EXPECT_EQ(layer->contents()->size(), QSize(int(expected.width() * 2), int(expected.height() * 2)));
    // The shaft near the start point is painted; a corner of the box is not.
    EXPECT_TRUE(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, QPointF(20, 15) - expected.topLeft()));
    EXPECT_FALSE(OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, QPointF(100, 12) - expected.topLeft()));
}

TEST_F(OpaqueContentTest, GraphicLayerFailuresKeepTheBitmap)
{
    const platform::ImagePtr decoded = filledImage(4, 4, Qt::green);
    auto brush = std::make_shared<MRKOBrushPill>();
    brush->setColor1(red());
    const LayerPtr brushLayer = makeLayer({3, 4, 4, 4}, brush, decoded);
    log().expectWarning(
        QStringLiteral("updateGraphicLayer CGContextRef Create Failed: width 0.000000 - height 0.000000"));
    OpaqueContent::updateGraphicLayer(*brushLayer);
    EXPECT_EQ(brushLayer->contents(), decoded);
    EXPECT_EQ(brushLayer->frame(), QRectF(3, 4, 4, 4));

    const LayerPtr textLayer = makeLayer({3, 4, 4, 4}, {}, decoded);
    OpaqueContent::setTextPill(*textLayer, makeText());
    log().expectWarning(QStringLiteral("Attempt To Update Graphic Layer with Text Pill"));
    OpaqueContent::updateGraphicLayer(*textLayer);
    EXPECT_EQ(textLayer->contents(), decoded);

    const LayerPtr plain = makeLayer({3, 4, 4, 4}, {}, decoded);
    OpaqueContent::updateGraphicLayer(*plain);
    EXPECT_EQ(plain->contents(), decoded);
    EXPECT_EQ(log().count(QStringLiteral("updateGraphicLayer")), 1);
}

TEST_F(OpaqueContentTest, ValueEqualityComparesFramesThenModelsOrBitmaps)
{
    const platform::ImagePtr bitmap = filledImage(2, 2, Qt::red);
    struct Row
    {
        const char *name;
        LayerPtr a;
        LayerPtr b;
        bool equal;
    };
    const Row rows[] = {
        {"NoModelNoContentsSameFrame", makeLayer({0, 0, 5, 5}), makeLayer({0, 0, 5, 5}), true},
        {"DifferentFrames", makeLayer({0, 0, 5, 5}), makeLayer({0, 0, 5, 6}), false},
        {"EqualModels", makeLayer({0, 0, 5, 5}, makeArrow()), makeLayer({0, 0, 5, 5}, makeArrow()), true},
        {"SameBitmap", makeLayer({0, 0, 5, 5}, {}, bitmap), makeLayer({0, 0, 5, 5}, {}, bitmap), true},
        {"EqualButDistinctBitmaps", makeLayer({0, 0, 5, 5}, {}, bitmap),
         makeLayer({0, 0, 5, 5}, {}, filledImage(2, 2, Qt::red)), false},
        {"ModelAgainstNone", makeLayer({0, 0, 5, 5}, makeArrow(), bitmap), makeLayer({0, 0, 5, 5}, {}, bitmap), true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(OpaqueContent::isEqual(*row.a, *row.b), row.equal);
    }

    auto shape = std::make_shared<platform::ShapeLayer>();
    shape->setFrame({0, 0, 5, 5});
    const LayerPtr plain = makeLayer({0, 0, 5, 5});
    EXPECT_TRUE(OpaqueContent::isEqual(*plain, *shape));
    EXPECT_FALSE(OpaqueContent::isEqual(*shape, *plain)); // never equal to a layer of a superclass
}

TEST_F(OpaqueContentTest, CopyOverItsSourceIsEqualButListsTellThemApart)
{
    const LayerPtr source = makeLayer({10, 10, 50, 50}, makeArrow(), filledImage(50, 50, Qt::red));
    const LayerPtr copy = OpaqueContent::layerCopyWithPill(*source);
    ASSERT_TRUE(OpaqueContent::isEqual(*copy, *source));

    // Drawings are found and removed by identity: the copy's index is its own, and removing it keeps the source.
    std::vector<LayerPtr> drawings = {source, copy};
    EXPECT_EQ(std::find(drawings.begin(), drawings.end(), copy) - drawings.begin(), 1);
    drawings.erase(std::remove(drawings.begin(), drawings.end(), copy), drawings.end());
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(drawings.front(), source);
}

TEST_F(OpaqueContentTest, ArchiveRoundTripKeepsEveryWrittenValue)
{
    const LayerPtr layer = makeLayer({12.5, 30, 24, 18}, makeArrow(), patternImage(48, 36));
    layer->setName(QStringLiteral("Composite"));
    layer->setContentsScale(2);
    layer->setZPosition(-1);
    layer->setBorderColor(red());
    QPainterPath shadow;
    shadow.addEllipse(QRectF(0, 0, 24, 18));
    layer->setShadowPath(shadow);

    const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*layer);
    ASSERT_TRUE(data);
    const LayerPtr back = OpaqueContent::layerWithData(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->frame(), layer->frame());
    EXPECT_EQ(back->name(), QStringLiteral("Composite"));
    EXPECT_EQ(back->contentsScale(), 2.0);
    EXPECT_EQ(back->zPosition(), -1.0);
    EXPECT_EQ(back->borderColor(), red());
    ASSERT_TRUE(back->contents());
    EXPECT_EQ(*back->contents(), *layer->contents()); // pixel for pixel through PNG
    ASSERT_TRUE(OpaqueContent::pill(*back));
    EXPECT_TRUE(OpaqueContent::pill(*back)->isEqualToPill(OpaqueContent::pill(*layer).get()));
    EXPECT_EQ(OpaqueContent::pill(*back)->startDirection(), 8u | 4u);
    ASSERT_TRUE(back->shadowPath());
    EXPECT_EQ(back->shadowPath()->boundingRect(), shadow.boundingRect());
    EXPECT_TRUE(OpaqueContent::isEqual(*back, *layer));

    // Objects are stored in the order they are written.
    const QVariantMap top = topOf(*data);
    std::vector<qint64> order;
    for (const char *key : {"frame", "name", "contents", "pill", "shadowBezierPath", "borderColor"})
        order.push_back(referenceOf(top, QString::fromLatin1(key)));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_GT(order.front(), 0);
}

TEST_F(OpaqueContentTest, ArchiveWritesTextPillOrPillOrNeither)
{
    struct Row
    {
        const char *name;
        std::shared_ptr<MRKOPill> model;
        bool pill;
        bool textPill;
    };
    const Row rows[] = {
        {"Text", makeText(), false, true},
        {"Shape", makeArrow(), true, false},
        {"None", nullptr, false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*makeLayer({0, 0, 4, 4}, row.model));
        ASSERT_TRUE(data);
        const QVariantMap top = topOf(*data);
        EXPECT_EQ(top.contains(QStringLiteral("pill")), row.pill);
        EXPECT_EQ(top.contains(QStringLiteral("textPill")), row.textPill);
        const LayerPtr back = OpaqueContent::layerWithData(*data);
        ASSERT_TRUE(back);
        EXPECT_EQ(OpaqueContent::textPill(*back) != nullptr, row.textPill);
        EXPECT_EQ(OpaqueContent::pill(*back) != nullptr, row.pill || row.textPill);
    }
}

TEST_F(OpaqueContentTest, LayerWithoutContentsReadsBackWithItsGeometry)
{
    const LayerPtr layer = makeLayer({1, 2, 3, 4});
    layer->setContentsScale(2);
    layer->setZPosition(-1);
    const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*layer);
    ASSERT_TRUE(data);
    const QVariantMap top = topOf(*data);
    EXPECT_FALSE(top.contains(QStringLiteral("contents")));
    EXPECT_FALSE(top.contains(QStringLiteral("borderColor")));
    EXPECT_EQ(referenceOf(top, QStringLiteral("name")), 0); // written as null
    const LayerPtr back = OpaqueContent::layerWithData(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->contents(), nullptr);
    EXPECT_EQ(back->frame(), QRectF(1, 2, 3, 4));
    EXPECT_EQ(back->contentsScale(), 2.0);
    EXPECT_EQ(back->zPosition(), -1.0);
    EXPECT_TRUE(back->name().isEmpty());
}

TEST_F(OpaqueContentTest, UnreadableArchiveGivesNoLayerAndOneLine)
{
    const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*makeLayer({0, 0, 4, 4}, makeArrow()));
    ASSERT_TRUE(data);
    const QByteArray damaged[] = {QByteArray(), QByteArray("bplist00"), data->left(data->size() / 2)};
    log().expectWarning(QStringLiteral("KeyedUnarchiver"));
    for (const QByteArray &bytes : damaged) {
        const int before = log().count(QStringLiteral("KeyedUnarchiver"));
        EXPECT_EQ(OpaqueContent::layerWithData(bytes), nullptr);
        EXPECT_EQ(log().count(QStringLiteral("KeyedUnarchiver")), before + 1);
    }
}

TEST_F(OpaqueContentTest, PythonReadsTheLayerArchiveWithKeysInTheWrittenOrder)
{
    const std::shared_ptr<MRKOArrowPill> arrow = makeArrow();
    arrow->createPaths();
    const LayerPtr layer = makeLayer({0, 0, 4, 4}, arrow, filledImage(4, 4, Qt::red));
    layer->setBorderColor(red());
    QPainterPath shadow;
    shadow.addRect(QRectF(0, 0, 4, 4));
    layer->setShadowPath(shadow);
    const std::optional<QByteArray> data = OpaqueContent::layerDataToSave(*layer);
    ASSERT_TRUE(data);
    const QString script = QStringLiteral(R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
top, objs = a['$top'], a['$objects']
pill = objs[top['pill'].data]
cls = objs[pill['$class'].data]['$classname']
png = objs[top['contents'].data][:8]
print(objs[top['frame'].data], cls, png == b'\x89PNG\r\n\x1a\n')
print(' '.join(top.keys()))
print(' '.join(pill.keys()))
print(' '.join(objs[pill['color1'].data].keys()), '|', ' '.join(objs[pill['path'].data].keys()))
)");
    const PythonResult python = runPythonOnData(*data, home() + QStringLiteral("/layer.archive"), script);
    ASSERT_TRUE(python.ok) << qPrintable(python.error);
    const QStringList &lines = python.lines;
    const QStringList expected{
        QStringLiteral("{{0, 0}, {4, 4}} MRKOArrowPill True"),
        QStringLiteral("frame name contentsScale zPosition contents pill shadowBezierPath borderColor"),
        QStringLiteral("toolType color1 color2 colorType startDirection thickness path strokedPath startPoint endPoint "
                       "arrowStyle invert useConstantWidth roundedTip roundedEnds headRatio useConstantHeadSize "
                       "constantHeadSize toolThickness arcArrowClockwise $class"),
        QStringLiteral("red green blue alpha $class | elementKinds elementPoints $class"),
    };
    EXPECT_EQ(lines, expected);
}
