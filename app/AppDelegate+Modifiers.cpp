// The modifier keys everywhere while the overlay shows, and the listen-only tap behind click sounds and highlights.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOEventTap.h"
#include "app/MRKOFrontmostApp.h"
#include "app/MRKOPlaySound.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/Keys.h"
#include "platform/LocalEventMonitor.h"
#include "platform/RawInput.h"
#include "platform/Services.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/MRKOTools.h"
#include "tools/ToolsNeighbours.h"

#include <QPointer>

#include <limits>

namespace {

constexpr double kShiftTapTime = 0.3; // seconds: a shorter Shift press leaves the flashlight on
constexpr double kDistantPast = -std::numeric_limits<double>::infinity();

double now()
{
    return platform::services().clock->now();
}

bool has(quint64 flags, quint64 flag)
{
    return (flags & flag) != 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Monitors

void AppDelegate::setUpFlagMonitors()
{
    removeFlagMonitorsIfNeeded();
    QPointer<AppDelegate> self(this);
    const auto handler = [self](const platform::Event &event) {
        if (self)
            self->handleFlagsChanged(event);
    };
    // The raw stream sees every keyboard whichever window has it, ours included; our own windows' keys are watched
    // only where there is no raw stream, so that each change is handled once.
    m_flagsChangedGlobalMonitor =
        platform::services().rawInput->addMonitor(platform::eventMask(platform::EventType::FlagsChanged), handler);
    if (!m_flagsChangedGlobalMonitor) {
        m_flagsChangedLocalMonitor = std::make_unique<platform::LocalEventMonitor>(
            platform::eventMask(platform::EventType::FlagsChanged), [handler](const platform::Event &event) {
                if (event.type == platform::EventType::FlagsChanged)
                    handler(event);
                return false;
            });
    }
}

void AppDelegate::removeFlagMonitorsIfNeeded()
{
    m_flagsChangedGlobalMonitor.reset();
    m_flagsChangedLocalMonitor.reset();
}

bool AppDelegate::hasFlagMonitors() const
{
    return m_flagsChangedGlobalMonitor || m_flagsChangedLocalMonitor;
}

// ---------------------------------------------------------------------------------------------------------------
// Modifier changes

void AppDelegate::handleFlagsChangedWithCurrentEvent()
{
    if (const platform::Event *current = platform::EventQueue::shared().currentEvent())
        handleFlagsChanged(*current);
}

void AppDelegate::showAuxButtonsForFlags(quint64 flags, MRKODraw *canvas)
{
    MRKOTools *toolBar = activeToolBar();
    if (!toolBar)
        return;
    const bool shift = has(flags, platform::kShiftFlag);
    const bool control = has(flags, platform::kControlFlag);
    const bool command = has(flags, platform::kCommandFlag);
    int hand = 0;
    int scissors = 0;
    if (control && !command) {
        scissors = 1;
    } else if (command && !shift) {
        hand = 1;
    } else {
        const quint64 action = canvas ? canvas->auxAction() : MRKOAuxActionNone;
        hand = action == MRKOAuxActionMove ? 1 : 0;
        scissors = action == MRKOAuxActionScissors ? 1 : 0;
        if (canvas && command && shift) {
            canvas->hideBall();
            canvas->hideBigBall();
        }
    }
    if (MRKOSmallToggleButton *button = toolBar->handButton())
        button->setState(hand);
    if (MRKOSmallToggleButton *button = toolBar->scissorsButton())
        button->setState(scissors);
}

void AppDelegate::handleFlagsChanged(const platform::Event &event)
{
    if (isPinnedOnTop()) {
        handlePinnedFlagsChanged(event);
        return;
    }
    MRKODraw *canvas = drawViewForMouseLocation();
    const quint64 flags = event.modifierFlags;
    const bool shift = has(flags, platform::kShiftFlag);
    const bool command = has(flags, platform::kCommandFlag);
    const bool control = has(flags, platform::kControlFlag);
    const bool fn = has(flags, platform::kFunctionFlag);
    m_fnPressed = fn;
    if (canvas)
        canvas->selectWithEvent(event);
    showAuxButtonsForFlags(flags, canvas);
    if (canvas && !command && !shift && !control && !(canvas->auxAction() != 0 && canvas->hasSelection()) &&
        canvas->shouldDraw()) {
        canvas->colorBallNeedUpdate();
        if (canvas->isMouseIn()) {
            canvas->showBall();
            canvas->showBigBall();
        }
    }
    if (!m_isWhiteboard || quickGhostModeWithWhiteBoard()) {
        if (fn) {
            if (canvas) {
                canvas->hideBall();
                canvas->hideBigBall();
            }
            disableMouseEventsIfNeeded();
        } else {
            enableMouseEventsIfNeeded();
            MRKOFrontmostApp::updateFrontmostApp();
        }
    } else {
        // Displays with a whiteboard keep the mouse.
        if (fn && canvas && !canvas->hasWhiteBack()) {
            canvas->hideBall();
            canvas->hideBigBall();
        }
        for (MRKOWindowController *controller : windowControllersWithoutWhiteboards())
            controller->window()->setIgnoresMouseEvents(fn);
        if (!fn)
            MRKOFrontmostApp::updateFrontmostApp();
    }
    validateShiftWithEvent(event);
    validateDrawingInProgressWithEvent(event);
    m_cmdPressed = command;
    m_shftPressed = shift;
    updateStatusBarPhase();
}

void AppDelegate::handlePinnedFlagsChanged(const platform::Event &event)
{
    MRKODraw *canvas = drawViewForMouseLocation();
    const quint64 flags = event.modifierFlags;
    const bool fn = has(flags, platform::kFunctionFlag);
    m_fnPressed = fn;
    if (fn) {
        // The overlay borrows the mouse while the key is held.
        if (canvas)
            canvas->colorBallNeedUpdate();
        enableMouseEventsIfNeeded();
        if (canvas && canvas->isMouseIn() && canvas->shouldDraw()) {
            canvas->showBall();
            canvas->showBigBall();
        }
        if (canvas)
            canvas->selectWithEvent(event);
        showAuxButtonsForFlags(flags, canvas);
        validateShiftWithEvent(event);
        validateDrawingInProgressWithEvent(event);
        if (MRKOUtils::cachedFnShortcutsInGhostMode())
            registerFnContainigShortCuts();
    } else {
        if (canvas) {
            canvas->hideBall();
            if (!wantsCursorHaloToShowInGhostMode())
                canvas->hideBigBall();
        }
        disableMouseEventsIfNeeded();
        MRKOFrontmostApp::updateFrontmostApp();
        if (!m_highlightClicksGhostMode)
            removeAllDarkOverlaysIfNeeded();
        if (MRKOUtils::cachedFnShortcutsInGhostMode())
            unregisterFnContainigShortCuts();
    }
    m_cmdPressed = has(flags, platform::kCommandFlag);
    m_shftPressed = has(flags, platform::kShiftFlag);
    updateStatusBarPhase();
}

void AppDelegate::validateShiftWithEvent(const platform::Event &event)
{
    if (!m_flashlightByShift || m_shiftWasPressdDuringDraw || isFirstResponderTextInput() ||
        MRKOSnapshotManager::mouseOverSnapshotsPanel()) {
        m_shiftWasPressdDuringDraw = false;
        return;
    }
    MRKODraw *canvas = drawViewForMouseLocation();
    const quint64 flags = event.modifierFlags;
    if (has(flags, platform::kShiftFlag) && !has(flags, platform::kCommandFlag) && !m_cmdPressed) {
        for (MRKODraw *other : drawViews()) {
            if (other != canvas && other->hasDarkOverlay())
                other->removeDarkOverlay();
        }
        if (now() - m_shftPressingTime < kShiftTapTime)
            m_shftPressingTime = kDistantPast;
        if (canvas && canvas->makeDarkOverlayWithEvent(&event)) {
            m_shftPressingTime = now();
            if (MRKOTools *toolBar = activeToolBar())
                toolBar->showLight(true);
        }
        return;
    }
    if (m_shftPressed && (now() - m_shftPressingTime > kShiftTapTime || has(flags, platform::kCommandFlag)))
        removeAllDarkOverlaysIfNeeded();
}

void AppDelegate::validateDrawingInProgressWithEvent(const platform::Event &event)
{
    if (!m_drawingInProgress)
        return;
    if (MRKODraw *canvas = drawViewWithDrawingInProgress())
        canvas->mouseMovementFlagChangedWithEvent(event);
}

// ---------------------------------------------------------------------------------------------------------------
// Click-through

void AppDelegate::enableMouseEventsIfNeeded()
{
    // A disabled display's window keeps ignoring the mouse.
    for (MRKOWindowController *controller : windowControllersArray()) {
        if (!controller->window()->ignoresMouseEvents())
            continue;
        controller->window()->setIgnoresMouseEvents(false);
        if (m_isWhiteboard && controller->drawView())
            controller->drawView()->whiteBackFullOpaque();
    }
}

void AppDelegate::disableMouseEventsIfNeeded()
{
    for (MRKOWindowController *controller : windowControllersArray()) {
        if (controller->window()->ignoresMouseEvents())
            continue;
        controller->window()->setIgnoresMouseEvents(true);
        if (m_isWhiteboard && controller->drawView())
            controller->drawView()->whiteBackSemiTransparent();
    }
}

void AppDelegate::stopDrawingIfNeeded()
{
    MRKODraw *canvas = drawViewWithDrawingInProgress();
    if (!canvas)
        return;
    qCInfo(lcApp).noquote() << QStringLiteral("Need to stop unfinished drawing in %1").arg(canvas->objectName());
    canvas->stopDrawingByPostingMouseUp();
}

// ---------------------------------------------------------------------------------------------------------------
// The event tap

bool AppDelegate::eventTapActive() const
{
    return m_eventTap && m_eventTap->isActive();
}

void AppDelegate::setUpEventTapMonitor()
{
    if (!wantsEventTapMonitor() || !MRKOUtils::isTrusted())
        return;
    if (!m_eventTap) {
        QPointer<AppDelegate> self(this);
        m_eventTap = std::make_unique<MRKOEventTap>([self](const platform::Event &event) {
            if (self)
                self->eventTapReceived(event);
        });
    }
    if (!m_eventTap->isActive())
        m_eventTap->resume();
}

void AppDelegate::suspendEventTapMonitorIfNeeded()
{
    // Click sounds go on while the overlay is hidden.
    if (m_eventTap && m_eventTap->isActive() && !m_playMouseClickSounds && !m_playKeyboardSounds)
        m_eventTap->suspend();
}

void AppDelegate::eventTapReceived(const platform::Event &event)
{
    if (m_playMouseClickSounds || m_playKeyboardSounds)
        handleGlobalSoundEvent(event);
    if (isActiveAndShown() && m_highlightClicksGhostMode && !canReceiveMouseActions())
        handleGlobalMouseEvent(event);
}

void AppDelegate::handleGlobalSoundEvent(const platform::Event &event)
{
    switch (event.type) {
    case platform::EventType::KeyUp:
    case platform::EventType::FlagsChanged:
        if (m_playKeyboardSounds)
            MRKOPlaySound::sharedSounds().playKeyboard();
        break;
    case platform::EventType::LeftMouseDown:
        if (m_playMouseClickSounds)
            MRKOPlaySound::sharedSounds().playMouse();
        break;
    default:
        break; // a key going down is heard when it comes up
    }
}

void AppDelegate::handleGlobalMouseEvent(const platform::Event &event)
{
    MRKODraw *canvas = drawViewForMouseLocation();
    if (!canvas)
        return;
    switch (event.type) {
    case platform::EventType::MouseMoved:
    case platform::EventType::LeftMouseDragged:
    case platform::EventType::RightMouseDragged:
        // The flashlight and the halo follow the pointer over other programs.
        if (canvas->hasDarkOverlay() || canvas->bigBallIsOpaque())
            canvas->mouseMoved(event);
        break;
    case platform::EventType::LeftMouseDown:
        canvas->blinkForEvent(event);
        break;
    default:
        break;
    }
}
