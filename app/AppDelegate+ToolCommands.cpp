// The commands that step or pick tools, thickness and colours, and the other handlers the shortcuts, menus, the
// remote and the tool bar's keys end in.

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKORecentTools.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/NotificationCenter.h"
#include "tools/KVPopover.h"
#include "tools/MRKOButton.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"
#include "tools/ToolsNeighbours.h"

#include <QApplication>

#include <array>

namespace {

// The swatches' default hues until the swatches can hold colours of their own; index 0 and any other give red.
constexpr std::array<double, 10> kSwatchHues = {0.0, 0.08, 0.15, 0.3, 0.45, 0.5, 0.65, 0.75, 0.85, 0.93};
constexpr double kMonochromeSaturation = 0.001;

} // namespace

void AppDelegate::registerToolCommandActions()
{
    const auto bind = [this](const char *action, void (AppDelegate::*handler)(const platform::Event *)) {
        setActionHandler(QLatin1String(action),
                         [this, handler](const platform::Event *event) { (this->*handler)(event); });
    };
    bind("nextTool:", &AppDelegate::nextTool);
    bind("brushToolWithEvent:", &AppDelegate::brushToolWithEvent);
    bind("arrowToolWithEvent:", &AppDelegate::arrowToolWithEvent);
    bind("rectangleToolWithEvent:", &AppDelegate::rectangleToolWithEvent);
    bind("textToolWithEvent:", &AppDelegate::textToolWithEvent);
    bind("nextThickness:", &AppDelegate::nextThickness);
    bind("prevThickness:", &AppDelegate::prevThickness);
    bind("nextColorType:", &AppDelegate::nextColorType);
    bind("blackAndWhiteWithEvent:", &AppDelegate::blackAndWhiteWithEvent);
    for (quint64 i = 0; i < kSwatchHues.size(); ++i) {
        setActionHandler(QStringLiteral("color%1WithEvent:").arg(i + 1), [this, i](const platform::Event *event) {
            colorByShortCutWithColorHueIndex(i);
            highlightStatusBarButtonWithEvent(event);
        });
    }
    bind("showHideToolbar:", &AppDelegate::showHideToolbar);
    bind("repeatLastAction:", &AppDelegate::repeatLastAction);
    bind("levelUpWithEvent:", &AppDelegate::levelUpWithEvent);
    bind("levelDownWithEvent:", &AppDelegate::levelDownWithEvent);
    bind("semiTansparentWithEvent:", &AppDelegate::semiTansparentWithEvent);
}

MRKODraw *AppDelegate::drawViewForMouseLocationRespectingQuickTour() const
{
    // The quick tour's demo canvas takes the commands while the tour is shown, once the tour exists.
    return drawViewForMouseLocation();
}

// ---------------------------------------------------------------------------------------------------------------
// Tools

void AppDelegate::nextTool(const platform::Event *sender)
{
    MRKOTools *toolBar = activeToolBar();
    if (toolBar) {
        if (MRKORecentTools::wantsRecentTools()) {
            toolBar->changeToolForced(MRKORecentTools::recentTools().recentTool(), false);
        } else if (const MRKODraw *canvas = activeDrawView()) {
            toolBar->changeToolForced((canvas->toolType() + 1) & 3, false);
        }
    }
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::selectToolFromGroup(quint64 plain, quint64 other, const platform::Event *sender)
{
    MRKOTools *toolBar = activeToolBar();
    const MRKODraw *canvas = activeDrawView();
    if (toolBar && canvas) {
        // Pressed again on its group, the command gives the group's other tool.
        const quint64 toolType = canvas->toolType() == plain ? other : plain;
        MRKOButton *selected = toolBar->currentToolSelected();
        toolBar->changeToolForced(toolType, selected && selected == toolBar->toolButtonWithType(plain));
    }
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::brushToolWithEvent(const platform::Event *sender)
{
    selectToolFromGroup(0, 4, sender);
}

void AppDelegate::arrowToolWithEvent(const platform::Event *sender)
{
    selectToolFromGroup(1, 5, sender);
}

void AppDelegate::rectangleToolWithEvent(const platform::Event *sender)
{
    selectToolFromGroup(2, 6, sender);
}

void AppDelegate::textToolWithEvent(const platform::Event *sender)
{
    if (MRKOTools *toolBar = activeToolBar())
        toolBar->changeToolForced(3, false);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::selectToolWithSectionIndex(quint64 index)
{
    static constexpr std::array<void (AppDelegate::*)(const platform::Event *), 4> kCommands = {
        &AppDelegate::brushToolWithEvent, &AppDelegate::arrowToolWithEvent, &AppDelegate::rectangleToolWithEvent,
        &AppDelegate::textToolWithEvent};
    (this->*kCommands[index & 3])(platform::EventQueue::shared().currentEvent());
}

// ---------------------------------------------------------------------------------------------------------------
// Thickness and colour

void AppDelegate::nextThickness(const platform::Event *sender)
{
    if (MRKODraw *canvas = drawViewForMouseLocation(); canvas && canvas->increaseFlashlightThickness())
        return;
    MRKOTools *toolBar = activeToolBar();
    if (const MRKODraw *active = activeDrawView(); toolBar && active)
        toolBar->changeThickness((active->thickness() + 1) % 6);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::prevThickness(const platform::Event *sender)
{
    if (MRKODraw *canvas = drawViewForMouseLocation(); canvas && canvas->decreaseFlashlightThickness())
        return;
    MRKOTools *toolBar = activeToolBar();
    if (const MRKODraw *active = activeDrawView(); toolBar && active)
        toolBar->changeThickness(active->thickness() < 1 ? 5 : active->thickness() - 1);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::nextColorType(const platform::Event *sender)
{
    MRKOTools *toolBar = activeToolBar();
    if (const MRKODraw *active = activeDrawView(); toolBar && active)
        toolBar->changeColorType(~quint64(active->colorType()) & 1);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::colorByShortCutWithColorHueIndex(quint64 index)
{
    MRKODraw *canvas = drawViewForMouseLocationRespectingQuickTour();
    if (!canvas)
        return;
    const inkora::LiveSettings &live = inkora::liveSettings();
    const double hue = index < kSwatchHues.size() ? kSwatchHues.at(index) : 0.0;
    const inkora::SrgbColor hueColor =
        OnOffColor::rainbowColorWithHueSaturationBrightness(hue, live.colorWheelSaturation, live.colorWheelBrightness);
    // The swatches have no colours of their own yet: each gives its hue.
    if (MRKODraw::isTextEditing()) {
        inkora::applyTextColor(*canvas, hueColor);
        return;
    }
    if (MRKODraw *selected = drawViewWithStaticSelection()) {
        inkora::applySelectedLayerColor(*selected, hueColor);
        return;
    }
    if (canvas->colorType() == 1 && OnOffColor::monochromeType(MRKOToolColor::toolColor().color()) != 0)
        applyColor(*canvas, hueColor);
    else
        applyHue(*canvas, hue);
    inkora::showColorBallIfHiddenForDrawView(*canvas);
}

void AppDelegate::applyColor(MRKODraw &canvas, const inkora::SrgbColor &color)
{
    // The custom colour: the tool bar shows it and the tool colour keeps it.
    if (MRKOTools *toolBar = activeToolBar(); toolBar && canvas.colorType() == 1)
        toolBar->makeNewColor(color);
    else
        changeColor(color);
}

void AppDelegate::applyHue(MRKODraw &canvas, double hue)
{
    if (canvas.colorType() != 0) {
        double unused = 0;
        double saturation = 0;
        double brightness = 0;
        inkora::srgbToHsb(MRKOToolColor::toolColor().color(), &unused, &saturation, &brightness);
        applyColor(canvas, OnOffColor::rainbowColorWithHueSaturationBrightness(hue, saturation, brightness));
        return;
    }
    MRKODraw::setHue(hue);
    for (MRKODraw *each : drawViews())
        each->colorBallNeedUpdate();
}

void AppDelegate::blackAndWhiteWithEvent(const platform::Event *sender)
{
    MRKODraw *canvas = drawViewForMouseLocationRespectingQuickTour();
    if (!canvas)
        return;
    const bool editing = MRKODraw::isTextEditing();
    const bool wasRainbow = canvas->colorType() == 0;
    if (!editing && wasRainbow)
        nextColorType(nullptr);
    const inkora::SrgbColor reference =
        editing ? inkora::currentTextColor(*canvas) : MRKOToolColor::toolColor().color();
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    inkora::srgbToHsb(reference, &hue, &saturation, &brightness);
    const MRKOMonochromeType monochrome =
        editing || !wasRainbow ? OnOffColor::monochromeType(reference) : MRKOMonochromeType(0);
    const inkora::SrgbColor white = inkora::srgbColorWithHsb(hue, kMonochromeSaturation, 1.0, 1.0);
    const inkora::SrgbColor black = inkora::srgbColorWithHsb(hue, kMonochromeSaturation, kMonochromeSaturation, 1.0);
    inkora::LiveSettings &live = inkora::liveSettings();
    bool chooseWhite = false;
    if (monochrome == 2)
        chooseWhite = true;
    else if (monochrome == 1)
        chooseWhite = false;
    else
        chooseWhite = live.blackAndWhite == 1;
    if (monochrome != 0)
        live.blackAndWhite = chooseWhite ? 1 : 2;
    else if (live.blackAndWhite != 1)
        live.blackAndWhite = 2;
    const inkora::SrgbColor choice = chooseWhite ? white : black;
    if (editing) {
        inkora::applyTextColor(*canvas, choice);
    } else {
        applyColor(*canvas, choice);
        inkora::showColorBallIfHiddenForDrawView(*canvas);
    }
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(live.blackAndWhite, QStringLiteral("BlackAndWhite"));
    defaults.synchronize();
    highlightStatusBarButtonWithEvent(sender);
}

// ---------------------------------------------------------------------------------------------------------------
// Other commands

void AppDelegate::repeatLastAction(const platform::Event *)
{
    repeatLayer();
}

void AppDelegate::repeatLayer()
{
    const MRKOHolder &holder = MRKOHolder::sharedHolder();
    if (MRKODraw *canvas = holder.draw())
        canvas->repeatLayer(holder.layer());
    else
        QApplication::beep();
}

void AppDelegate::moveSelectedLayer(bool up, const platform::Event *sender)
{
    MRKODraw *canvas = drawViewForMouseLocationRespectingQuickTour();
    bool moved = false;
    if (canvas && (canvas->hasStaticSelectionLayer() || MRKODraw::isTextEditing()))
        moved = up ? inkora::moveStaticSelectionLayerUp(*canvas) : inkora::moveStaticSelectionLayerDown(*canvas);
    if (moved)
        highlightStatusBarButtonWithEvent(sender);
    else
        QApplication::beep();
}

void AppDelegate::levelUpWithEvent(const platform::Event *sender)
{
    moveSelectedLayer(true, sender);
}

void AppDelegate::levelDownWithEvent(const platform::Event *sender)
{
    moveSelectedLayer(false, sender);
}

void AppDelegate::colorPickerWithEvent(const platform::Event *)
{
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isPicker()) {
        popover.killPicker();
        return;
    }
    const platform::Event *current = platform::EventQueue::shared().currentEvent();
    if (MRKODraw *canvas = drawViewForMouseLocation(); canvas && current)
        canvas->mouseExited(*current);
    if (!popover.isShown()) {
        if (MRKODraw *selected = drawViewWithStaticSelection())
            selected->prepareColorPopoverForStaticSelection();
        else if (MRKOTools *toolBar = activeToolBar())
            toolBar->prepareColorPopover();
    }
    popover.activateColorPicker();
}

void AppDelegate::colorWheelWithEvent(const platform::Event *sender)
{
    if (MRKODraw *selected = drawViewWithStaticSelection())
        selected->openColorPopoverForStaticSelection();
    else if (MRKOTools *toolBar = activeToolBar())
        toolBar->colorPopover(toolBar->customColorButton());
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::semiTansparentWithEvent(const platform::Event *sender)
{
    inkora::LiveSettings &live = inkora::liveSettings();
    live.needSemitransparent = !live.needSemitransparent;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(live.needSemitransparent ? 1 : 0, QStringLiteral("SemitransparentDrawingKey"));
    defaults.synchronize();
    platform::NotificationCenter::defaultCenter().post(QStringLiteral("MRKOUpdateSemiTransparentNotification"));
    highlightStatusBarButtonWithEvent(sender);
}
