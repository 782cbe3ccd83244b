#include "canvas/MRKODraw.h"
#include "platform/Defaults.h"
#include "platform/ImageLoader.h"
#include "platform/TouchBar.h"
#include "tests/tools/ToolBarFixture.h"
#include "tools/MRKOThicknessButton.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOTools.h"
#include "tools/MRKOTouchBarItems.h"

#include <QApplication>
#include <QLineEdit>

// The touch strip's model as the tool bar keeps it.
class ToolBarTouchBarTest : public ToolBarFixture
{
protected:
    [[nodiscard]] QStringList identifiers()
    {
        QStringList shown;
        for (platform::TouchBarItem *item : toolBar()->touchBar()->items())
            shown << item->identifier();
        return shown;
    }
    platform::TouchBarItem &item(const char *identifier)
    {
        (void)toolBar()->touchBar()->items(); // group members exist once their group is made
        platform::TouchBarItem *found = toolBar()->touchBar()->itemForIdentifier(QLatin1String(identifier));
        EXPECT_NE(found, nullptr) << identifier;
        return *found;
    }
};

TEST_F(ToolBarTouchBarTest, StripListsItsItemsInOrderAndLeavesRepeatOutWhileTyping)
{
    launchAndShow();
    const QString space = QLatin1String(platform::TouchBar::kFixedSpaceSmall);
    const QStringList all = {
        QStringLiteral("com.Inkora.modeGroupItem"),    space,
        QStringLiteral("com.Inkora.thicknessPopover"), space,
        QStringLiteral("com.Inkora.colorGroupItem"),   space,
        QStringLiteral("com.Inkora.dissolveButton"),   space,
        QStringLiteral("com.Inkora.repeatButton"),     QLatin1String(platform::TouchBar::kOtherItemsProxy)};
    EXPECT_EQ(identifiers(), all);

    // A text field with the keyboard: no repeat button until the focus leaves and the strip is made anew.
    QLineEdit field;
    field.show();
    field.activateWindow();
    field.setFocus();
    QApplication::setActiveWindow(&field);
    toolBar()->resetTouchBarIfAvailable();
    if (delegate().isFirstResponderTextInput()) {
        QStringList typing = all;
        typing.removeAt(8);
        typing.removeAt(7);
        EXPECT_EQ(identifiers(), typing);
    }
    field.hide();
    toolBar()->resetTouchBarIfAvailable();
    EXPECT_EQ(identifiers().size(), 10);
}

TEST_F(ToolBarTouchBarTest, ANewThicknessClosesThePopoverAndReachesTheToolBarOnce)
{
    launchAndShow();
    auto &popover = static_cast<MRKOThicknessTouchBarItem &>(item("com.Inkora.thicknessPopover"));
    popover.press();
    ASSERT_TRUE(popover.isPopoverShown());
    platform::TouchBarItem *presets =
        popover.popoverTouchBar()->itemForIdentifier(QStringLiteral("com.Inkora.thicknessItem"));
    ASSERT_NE(presets, nullptr);
    const int made = toolBar()->touchBarMakeCount();

    presets->selectSegment(4);

    EXPECT_EQ(popover.thickness(), 4u);
    EXPECT_EQ(toolBar()->thicknessButton()->thickness(), 4u);
    EXPECT_EQ(canvas(0)->thickness(), 4u);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("AllToolsThicknessKey")), 4);
    (void)toolBar()->touchBar();
    EXPECT_EQ(toolBar()->touchBarMakeCount(), made + 1) << "dropped, which closes the popover";
}

TEST_F(ToolBarTouchBarTest, ToolSegmentsFollowTheToolBarAndChooseTools)
{
    launchAndShow();
    platform::TouchBarItem &tools = item("com.Inkora.toolsSegmentedControl");
    EXPECT_EQ(tools.selectedSegment(), 0);

    tools.selectSegment(2);
    EXPECT_EQ(canvas(0)->toolType(), 2u);
    tools.selectSegment(1);
    tools.selectSegment(1); // Arrow again: Line
    EXPECT_EQ(canvas(0)->toolType(), 5u);
    EXPECT_EQ(tools.segments().at(1).imageName, QStringLiteral("LineMedium")) << "the group shows its variant";
    tools.selectSegment(-1);
    EXPECT_EQ(canvas(0)->toolType(), 5u);

    toolBar()->changeToolForced(3, false);
    EXPECT_EQ(tools.selectedSegment(), 3);
}

TEST_F(ToolBarTouchBarTest, ColourWheelOpensThePickerAndChoosesTheCustomColour)
{
    launchAndShow();
    auto &wheel = static_cast<MRKOColorPickerTouchBar &>(item("com.Inkora.colorWheelButton"));
    auto &rainbow = static_cast<MRKORainbowTouchBarItem &>(item("com.Inkora.rainbowButton"));
    ASSERT_TRUE(rainbow.isSelected());

    wheel.press();
    EXPECT_EQ(wheel.pickerRequests(), 1);
    EXPECT_EQ(canvas(0)->colorType(), 1);
    EXPECT_TRUE(wheel.isSelected());
    EXPECT_FALSE(rainbow.isSelected());

    toolBar()->makeNewColor(inkora::SrgbColor(0, 0, 1, 1));
    EXPECT_EQ(wheel.color(), inkora::SrgbColor(0, 0, 1, 1));

    rainbow.press();
    EXPECT_EQ(canvas(0)->colorType(), 0);
    EXPECT_TRUE(rainbow.isSelected());
}

TEST_F(ToolBarTouchBarTest, FreezeToggleAndToolBarButtonAgree)
{
    launchAndShow();
    platform::TouchBarItem &freeze = item("com.Inkora.dissolveButton");
    freeze.press();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("DissolveModeKey")), 1);
    EXPECT_EQ(toolBar()->dissolveMode(), 1u);
    toolBar()->changeDissolve();
    EXPECT_EQ(freeze.state(), 0);
}

TEST_F(ToolBarTouchBarTest, ThicknessIconLightsThePresetsBar)
{
    MRKOThicknessTouchBarItem thickness(QStringLiteral("t"));
    thickness.loadImages();
    const QImage bars[] = {platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium1")),
                           platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium2")),
                           platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium3"))};
    // A pixel that only one bar covers, for each bar.
    auto onlyIn = [&](int bar) -> QPoint {
        const QImage scaled = bars[bar].scaled(30, 30);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 30; ++x) {
                bool others = false;
                for (int other = 0; other < 3; ++other)
                    others = others || (other != bar && qAlpha(bars[other].scaled(30, 30).pixel(x, y)) > 0);
                if (qAlpha(scaled.pixel(x, y)) == 255 && !others)
                    return {x, y};
            }
        }
        return {-1, -1};
    };
    thickness.setThickness(3);
    const QImage image = thickness.imageForButton().convertToFormat(QImage::Format_ARGB32);
    for (int bar = 0; bar < 3; ++bar) {
        const QPoint at = onlyIn(bar);
        ASSERT_GE(at.x(), 0) << bar;
        const QColor colour = image.pixelColor(at);
        EXPECT_EQ(colour.red(), bar == 1 ? 255 : 128) << "bar " << bar;
    }

    thickness.setThickness(9);
    const QImage none = thickness.imageForButton();
    bool clear = true;
    for (int y = 0; y < none.height(); ++y)
        for (int x = 0; x < none.width(); ++x)
            clear = clear && qAlpha(none.pixel(x, y)) == 0;
    EXPECT_TRUE(clear) << "no bar for a preset outside 0-5";
}
