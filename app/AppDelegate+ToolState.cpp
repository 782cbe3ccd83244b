#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKORecentTools.h"
#include "app/MRKOXPCController.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/UndoManager.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"
#include "tools/ToolsNeighbours.h"

#include <QPointF>

#include <array>

MRKOTools *AppDelegate::activeToolBar() const
{
    const MRKOWindowController *active = activeWindowController();
    return active ? active->toolsController() : nullptr;
}

MRKOToolPanel *AppDelegate::activeToolPanel() const
{
    const MRKOWindowController *active = activeWindowController();
    return active ? active->toolPanel() : nullptr;
}

void AppDelegate::showAuxActionOnToolbar(quint64 oldAction, quint64 newAction)
{
    (void)oldAction; // a switch turns the other action off, so the new one alone decides both buttons
    MRKOTools *toolBar = activeToolBar();
    if (!toolBar)
        return;
    if (MRKOSmallToggleButton *scissors = toolBar->scissorsButton())
        scissors->setState(newAction == MRKOAuxActionScissors ? 1 : 0);
    if (MRKOSmallToggleButton *hand = toolBar->handButton())
        hand->setState(newAction == MRKOAuxActionMove ? 1 : 0);
    toolBar->validateAuxAction();
}

void AppDelegate::setColorType(quint64 colorType)
{
    m_colorType = colorType;
}

void AppDelegate::showHideToolbar(const platform::Event *)
{
    MRKOWindowController *active = activeWindowController();
    if (!active)
        return;
    const bool hidden = !active->toolsHidden();
    active->setToolsHidden(hidden);
    m_currentNoToolbar = hidden;
}

bool AppDelegate::isToolbarHidden() const
{
    return m_currentNoToolbar || !m_currentActivateTools;
}

double AppDelegate::savedHue()
{
    const double hue = MRKOUtils::userDefaults().doubleForKey(QStringLiteral("HueSavedKey"));
    return hue >= 0 && hue <= 1 ? hue : 0; // NaN fails both tests
}

void AppDelegate::changeToolType(quint64 toolType)
{
    if (hasAuxActions())
        removeAuxActionIfNeeded();
    for (MRKODraw *canvas : drawViews())
        canvas->setToolType(toolType);
    // A tool of its own colour: the tool bar shows the new tool's colour.
    const MRKODraw *active = activeDrawView();
    MRKOToolColor &toolColor = MRKOToolColor::toolColor();
    if (active && active->colorType() == 1 && toolColor.isFormatNotShared()) {
        if (MRKOTools *toolBar = activeToolBar())
            toolBar->makeNewColor(toolColor.color());
    }
    if (needToShowNotification())
        MRKOXPCController::sharedXPCController()->showToolForToolType(toolType);
}

void AppDelegate::changeToolThickness(quint64 thickness)
{
    for (MRKODraw *canvas : drawViews())
        canvas->setThickness(thickness);
}

void AppDelegate::changeColorType(quint64 colorType)
{
    if (colorType == 0) {
        if (MRKOTools *toolBar = activeToolBar())
            toolBar->closePopoverIfShown();
    }
    m_colorType = colorType;
    for (MRKODraw *canvas : drawViews()) {
        canvas->setColorType(qint64(colorType));
        canvas->colorBallNeedUpdate();
    }
}

void AppDelegate::changeColor(const inkora::SrgbColor &color)
{
    if (!color.isValid()) {
        qCWarning(lcApp) << "changeColor: color is nil";
        return;
    }
    MRKOToolColor::toolColor().setColor(color);
    updateColorBallColorInAllDrawViews();
    // The text being edited and a selected drawing take the colour once the text editor and the selection exist.
}

void AppDelegate::toolColorFormatChanged()
{
    updateColorBallColorInAllDrawViews();
}

void AppDelegate::updateColorBallColorInAllDrawViews()
{
    for (MRKODraw *canvas : drawViews())
        canvas->colorBallNeedUpdate();
    updateColorInUIElementsIfNeeded();
}

void AppDelegate::updateColorInUIElementsIfNeeded()
{
    MRKOTools *toolBar = activeToolBar();
    if (toolBar && toolBar->colorType() == 1)
        toolBar->updateCustomColorButtonsIfNeeded();
}

// ---------------------------------------------------------------------------------------------------------------
// Numbered actions

namespace {

struct ExtraAction
{
    const char *selector; // null: handled in code
    bool currentEvent;    // the handler gets the event being dispatched, else none
};

// By number; the right-click settings and the single-key slots store these numbers.
constexpr std::array<ExtraAction, 50> kExtraActions = {{
    {nullptr, false},                         // 0 nothing
    {nullptr, false},                         // 1 hide
    {"nextTool:", false},                     // 2
    {nullptr, false},                         // 3 the recent tool
    {"nextThickness:", false},                // 4
    {"clearCanvasWithEvent:", false},         // 5
    {"dissolveModeWithEvent:", false},        // 6
    {"nextColorType:", false},                // 7
    {"takeASnapshotWithEvent:", true},        // 8
    {"showSnapshotsWithEvent:", false},       // 9
    {"copyWithEvent:", true},                 // 10
    {"flashlightWithEvent:", false},          // 11
    {"magnifyGWithEvent:", false},            // 12
    {"pinOnTopWithEvent:", false},            // 13
    {"whiteboardWithEvent:", false},          // 14
    {"repeatLastAction:", false},             // 15
    {"undoWithEvent:", false},                // 16
    {"redoWithEvent:", false},                // 17
    {"semiTansparentWithEvent:", false},      // 18
    {nullptr, false},                         // 19 the canvas's menu
    {nullptr, false},                         // 20 the radial tool menu, opened by the canvas itself
    {nullptr, false},                         // 21 the radial colour menu, opened by the canvas itself
    {nullptr, false},                         // 22 a dot
    {"startTextTyping:", false},              // 23
    {"openEmojiAndSymbols:", false},          // 24
    {nullptr, false},                         // 25 select the drawing under the pointer
    {"clearCanvasExlusionWithEvent:", false}, // 26
    {"color1WithEvent:", true},               // 27
    {"color2WithEvent:", true},               // 28
    {"color3WithEvent:", true},               // 29
    {"color4WithEvent:", true},               // 30
    {"color5WithEvent:", true},               // 31
    {"color6WithEvent:", true},               // 32
    {"color7WithEvent:", true},               // 33
    {"color8WithEvent:", true},               // 34
    {"color9WithEvent:", true},               // 35
    {"color10WithEvent:", true},              // 36
    {nullptr, false},                         // 37-43 tools, forced
    {nullptr, false},                         // 38
    {nullptr, false},                         // 39
    {nullptr, false},                         // 40
    {nullptr, false},                         // 41
    {nullptr, false},                         // 42
    {nullptr, false},                         // 43
    {"colorPickerWithEvent:", true},          // 44
    {"prevThickness:", true},                 // 45
    {"colorWheelWithEvent:", true},           // 46
    {"blackAndWhiteWithEvent:", true},        // 47
    {nullptr, false},                         // 48 glue
    {"lowerThirdWithEvent:", false},          // 49
}};

// The tools of the actions 37 to 43.
constexpr std::array<quint64, 7> kForcedTools = {0, 4, 1, 5, 2, 6, 3};

} // namespace

bool AppDelegate::invokeExtraAction(quint64 action)
{
    if (action > 49)
        return true;
    MRKODraw *canvas = drawViewForMouseLocation();
    switch (action) {
    case 0:
        return false;
    case 1:
        closeAllDrawableScreens();
        return true;
    case 3:
        if (MRKOTools *toolBar = activeToolBar())
            toolBar->changeToolForced(MRKORecentTools::recentTools().recentTool(), false);
        return true;
    case 19:
        if (canvas) {
            // A point-sized frame just left of and above the pointer, in the canvas's points.
            const QPointF pointer = canvas->mouseLocation();
            canvas->showMenuWithCustomFrame(QRectF(pointer.x() - 10, pointer.y() + 10, 1, 1));
        }
        return true;
    case 20:
    case 21:
        return true;
    case 22:
        if (canvas)
            canvas->drawADot();
        return true;
    case 25:
        if (canvas)
            (void)canvas->tryToMakeStaticSelection();
        return true;
    case 48:
        return MRKODraw::canGlueLayers() && MRKODraw::createGlueLayer();
    default:
        break;
    }
    if (action >= 37 && action <= 43) {
        if (MRKOTools *toolBar = activeToolBar())
            toolBar->changeToolForced(kForcedTools[action - 37], true);
        return true;
    }
    const ExtraAction &entry = kExtraActions[action];
    const QString selector = QLatin1String(entry.selector);
    if (respondsToAction(selector))
        performAction(selector, entry.currentEvent ? platform::EventQueue::shared().currentEvent() : nullptr);
    else
        qCInfo(lcApp).noquote() << QStringLiteral("invokeExtraAction: %1 has no command yet").arg(selector);
    return true;
}
