// The canvas between presses: pointer motion carries the hover and a multiple move, and the cursor shows what a
// click on the drawing under the pointer would do.
#include "app/LiveSettings.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSCursor+Resize.h"
#include "platform/CursorStack.h"
#include "platform/Services.h"
#include "remote/MRKOPositionController.h"
#include "tools/KVPopover.h"

#include <QGuiApplication>

namespace {

bool s_penEraser = false; // the eraser end of a pen is near the tablet
// The action cursor is on the cursor stack; one flag for every canvas keeps pushes and pops paired.
bool s_openHand = false;

platform::CursorStack &cursors()
{
    return *platform::services().cursorStack;
}

} // namespace

bool MRKODraw::penEraserFlag()
{
    return s_penEraser;
}

void MRKODraw::mouseMoved(const platform::Event &event)
{
    if (event.subtype != platform::EventSubtype::TabletPoint) {
        s_penEraser = event.subtype == platform::EventSubtype::TabletProximity &&
                      event.pointingDeviceType == platform::PointingDeviceType::Eraser && event.enteringProximity;
    }
    // Only motion in this canvas's own window; 0 is no window at all.
    const bool ownWindow = event.windowNumber != 0 && event.windowNumber == qint64(window()->effectiveWinId());
    if (inkora::liveSettings().brushCursor && ownWindow)
        updateWorkingCursorIfNeeded();
    if (hasMultipleMove())
        moveMultipleLayersWithEvent(event);
    // While the phone steers the ball, the mouse moves neither the ball nor the hover.
    if (isMainClass() && MRKOPositionController::sharedController().trackingIsOn())
        return;
    if (KVPopover *popover = KVPopover::existingPopover(); popover && popover->isPicker())
        popover->movePicker();
    updateColorBall();
    selectWithEvent(event);
    if (hasDarkOverlay())
        updateFlashlight();
}

void MRKODraw::updateWorkingCursorIfNeeded()
{
    if (s_openHand)
        return;
    const QCursor &brush = Resize::brushCursor();
    const QCursor *override = QGuiApplication::overrideCursor();
    const QCursor current = override ? *override : cursor();
    if (brush.hotSpot() == current.hotSpot() || !MRKOFrontmostApp::isSelfAppEffective())
        return;
    if (isTextEditing() && textViewFrameContainsPointer())
        return;
    setCursor(brush);
}

void MRKODraw::updateCursorRectsAndTracking()
{
    // The cursor shown over the canvas is worked out again, as after a change of the window's cursor areas.
    setCursor(cursor());
}

void MRKODraw::setQuickAuxAction(quint64 action)
{
    const quint64 old = m_quickAuxAction;
    m_quickAuxAction = action;
    if (action == MRKOAuxActionEraser || old == MRKOAuxActionEraser)
        updateColorBall(); // the eraser ring comes or goes
}

void MRKODraw::updateCursorForAction(quint64 action)
{
    const std::optional<QCursor> old = m_auxCursor;
    switch (action) {
    case MRKOAuxActionNone:
    case 5:
        m_auxCursor.reset();
        break;
    case MRKOAuxActionMove:
        m_auxCursor = QCursor(Qt::OpenHandCursor);
        break;
    case MRKOAuxActionScissors:
        m_auxCursor = Resize::scissors();
        break;
    case MRKOAuxActionCopy:
        m_auxCursor = QCursor(Qt::DragCopyCursor);
        break;
    case MRKOAuxActionEraser:
        m_auxCursor = Resize::eraserCursor();
        break;
    default:
        break;
    }
    // The eraser shows everywhere; the other actions only over a drawing they would act on.
    if (action != MRKOAuxActionEraser && !m_selectedLayer) {
        supressOpenHandIfNeeded();
        return;
    }
    pushOpenHandIfNeeded();
    if (old && m_auxCursor && *old != *m_auxCursor && s_openHand) {
        cursors().pop();
        cursors().push(*m_auxCursor);
    }
}

void MRKODraw::pushOpenHandIfNeeded()
{
    if (s_openHand || !m_auxCursor)
        return;
    cursors().push(*m_auxCursor);
    hideBall();
    s_openHand = true;
}

void MRKODraw::supressOpenHandIfNeeded()
{
    if (!s_openHand)
        return;
    s_openHand = false;
    cursors().pop();
    updateWorkingCursorIfNeeded();
    showBallIfNeeded();
}
