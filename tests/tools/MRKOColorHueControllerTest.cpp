#include "tools/MRKOColorHueController.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"
#include "tests/tools/ToolsFixture.h"
#include "tools/KVColorOpacityView.h"
#include "tools/KVPopover.h"
#include "tools/MRKOBackgroundColorButton.h"
#include "tools/MRKOColorSegmentedControl.h"
#include "tools/MRKOToolColor.h"

#include <QLabel>

namespace {

/// Stored colours keep six decimals.
void expectStoredAs(const inkora::SrgbColor &stored, const inkora::SrgbColor &color)
{
    ASSERT_TRUE(stored.isValid());
    EXPECT_NEAR(stored.red(), color.red(), 1e-6);
    EXPECT_NEAR(stored.green(), color.green(), 1e-6);
    EXPECT_NEAR(stored.blue(), color.blue(), 1e-6);
    EXPECT_NEAR(stored.alpha(), color.alpha(), 1e-6);
}

} // namespace

class MRKOColorHueControllerTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support propagateSizeHints()"));
    }
    void TearDown() override
    {
        if (KVPopover *popover = KVPopover::existingPopover())
            popover->close();
        ToolsFixture::TearDown();
    }
    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
};

TEST_F(MRKOColorHueControllerTest, SwatchesFallBackToTheirHue)
{
    defaults().setObject(QStringLiteral("0.100000+0.200000+0.300000+1.000000"), QStringLiteral("HueBlue"));
    defaults().setObject(QStringLiteral("0.1+0.2+0.3"), QStringLiteral("HueRed")); // three parts
    defaults().setObject(QStringLiteral("garbage"), QStringLiteral("HueCrimson"));
    MRKOColorHueController &hues = MRKOColorHueController::sharedHueController();

    EXPECT_FALSE(hues.colorWithColorHueIndex(MRKOColorHueGreen).isValid());
    EXPECT_EQ(hues.effectiveColorWithColorHueIndex(MRKOColorHueGreen), OnOffColor::rainbowColorWithHue(0.3));
    EXPECT_EQ(hues.effectiveColorWithColorHueIndex(MRKOColorHueBlue), inkora::SrgbColor(0.1, 0.2, 0.3, 1));
    EXPECT_EQ(hues.effectiveColorWithColorHueIndex(MRKOColorHueRed), OnOffColor::rainbowColorWithHue(0));
    EXPECT_EQ(hues.effectiveColorWithColorHueIndex(MRKOColorHueCrimson), OnOffColor::rainbowColorWithHue(0.93));

    EXPECT_EQ(MRKOColorHueController::keyWithColorHueIndex(3), QStringLiteral("HueGreen"));
    EXPECT_TRUE(MRKOColorHueController::keyWithColorHueIndex(10).isEmpty());
    EXPECT_DOUBLE_EQ(MRKOColorHueController::hueWithColorHueIndex(10), 0);
    hues.updateColorForColorHueIndex(inkora::SrgbColor(1, 1, 1, 1), 10); // ignored
    EXPECT_FALSE(hues.colorWithColorHueIndex(10).isValid());

    const QList<QImage> swatches = hues.allSwatches();
    ASSERT_EQ(swatches.size(), 10);
    EXPECT_EQ(swatches[0].size(), QSize(32, 32));
    EXPECT_EQ(hues.allSwatchesSmall()[0].size(), QSize(15, 15));
    const QColor middle = swatches[6].pixelColor(16, 16);
    EXPECT_NEAR(middle.red(), 26, 1);
    EXPECT_NEAR(middle.green(), 51, 1);
    EXPECT_NEAR(middle.blue(), 77, 1);
    EXPECT_EQ(swatches[6].pixelColor(1, 16).alpha(), 0); // inset 2
    EXPECT_FALSE(MRKOColorHueController::smallSwatchBlackWhite().isNull());
}

TEST_F(MRKOColorHueControllerTest, SegmentOneRemovesTheKeyAndPostsTheUpdate)
{
    defaults().setObject(QStringLiteral("0.100000+0.200000+0.300000+1.000000"), QStringLiteral("HueGreen"));
    int posted = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MRKOColorSegmentedControl::kUpdateSwatchImagesNotification), nullptr,
        [&posted](const auto &) { ++posted; });
    MRKOColorSegmentedControl control(QStringLiteral("HueGreen"), MRKOColorHueGreen);
    place(control, QPoint(0, 0), QSize(60, 22));
    EXPECT_EQ(control.selectedSegment(), 0);
    EXPECT_EQ(control.color(), inkora::SrgbColor(0.1, 0.2, 0.3, 1));

    press(control, QPoint(45, 11));
    EXPECT_EQ(control.selectedSegment(), 1);
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("HueGreen")).isValid());
    EXPECT_FALSE(MRKOColorHueController::sharedHueController().colorWithColorHueIndex(3).isValid());
    EXPECT_EQ(posted, 1);

    control.applyAdjustmentWithString(QStringLiteral("0.000000+0.000000+1.000000+1.000000"));
    EXPECT_EQ(control.selectedSegment(), 0);
    EXPECT_EQ(MRKOColorHueController::sharedHueController().colorWithColorHueIndex(3), inkora::SrgbColor(0, 0, 1, 1));
    for (const char *text : {"", "0.1+0.2+0.3", "blue"}) {
        SCOPED_TRACE(text);
        control.applyAdjustmentWithString(QString::fromLatin1(text));
        EXPECT_EQ(control.selectedSegment(), 1);
        EXPECT_FALSE(defaults().objectForKey(QStringLiteral("HueGreen")).isValid());
    }
}

TEST_F(MRKOColorHueControllerTest, SegmentZeroOpensThePopoverAndStoresWhatItPicks)
{
    MRKOColorSegmentedControl control(QStringLiteral("HueCyan"), MRKOColorHueCyan);
    place(control, QPoint(0, 0), QSize(60, 22));
    press(control, QPoint(10, 11));
    drainMainQueue();
    KVPopover &popover = KVPopover::sharedPopover();
    ASSERT_TRUE(popover.isShown());
    EXPECT_EQ(popover.target(), &control);
    EXPECT_EQ(popover.color(), OnOffColor::rainbowColorWithHue(0.5));

    popover.pickerView()->mouseDownAt(QPointF(123 - 93, 123)); // cyan on the ring
    expectStoredAs(ShortcutEncode::srgbColorForKey(defaults(), QStringLiteral("HueCyan")), popover.color());
    EXPECT_EQ(MRKOColorHueController::sharedHueController().colorWithColorHueIndex(5), popover.color());

    int posted = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MRKOColorSegmentedControl::kUpdateSwatchImagesNotification), nullptr,
        [&posted](const auto &) { ++posted; });
    popover.close();
    EXPECT_EQ(posted, 1);
}

TEST_F(MRKOColorHueControllerTest, WellsOpenThePopoverForTheirPurpose)
{
    const struct
    {
        qint64 purpose;
        int height;
        bool onMouseUp;
        inkora::SrgbColor fallback;
    } rows[] = {{1, 294, false, MRKOToolColor::defaultColor()},
                {2, 318, true, MRKOToolColor::defaultBackgroundColor()}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.purpose);
        defaults().setObject(QStringLiteral("not a colour"), QStringLiteral("WellColor"));
        MRKOBackgroundColorButton well(QStringLiteral("WellColor"), row.purpose);
        place(well, QPoint(0, 0), QSize(30, 22));
        EXPECT_EQ(well.color(), row.fallback);
        EXPECT_EQ(well.swatchView()->geometry(), QRect(7, 2, 17, 17));
        int actions = 0;
        QObject::connect(&well, &MRKOBackgroundColorButton::actionSent, [&actions] { ++actions; });

        press(well, QPoint(15, 11));
        drainMainQueue();
        KVPopover &popover = KVPopover::sharedPopover();
        ASSERT_TRUE(popover.isShown());
        EXPECT_EQ(popover.popover().window()->height(), row.height);
        EXPECT_EQ(popover.sendActionOnMouseUp(), row.onMouseUp);
        if (row.purpose != 1)
            EXPECT_DOUBLE_EQ(popover.opacityView()->opacity(), 0.5);

        KPColorPickerView &picker = *popover.pickerView();
        picker.mouseDownAt(QPointF(123, 123 + 93));
        picker.mouseDraggedAt(QPointF(123, 123 - 93));
        EXPECT_EQ(actions, 2);
        picker.mouseUpAt(QPointF(123, 123 - 93));
        EXPECT_EQ(actions, row.onMouseUp ? 3 : 2);
        expectStoredAs(ShortcutEncode::srgbColorForKey(defaults(), QStringLiteral("WellColor")), well.color());
        EXPECT_EQ(well.color().alpha(), row.purpose == 1 ? 1.0 : 0.5);

        press(well, QPoint(15, 11)); // a second click closes it
        drainMainQueue();
        EXPECT_FALSE(popover.isShown());
    }
}
