#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerTracking.h"
#include "canvas/MRKOWhiteBackController.h"
#include "platform/Keys.h"
#include "remote/MRKOPositionController.h"
#include "tools/MRKOToolPanel.h"

namespace {

constexpr unsigned kCanvasAreaOptions = platform::TrackingArea::MouseEnteredAndExited |
                                        platform::TrackingArea::MouseMoved | platform::TrackingArea::ActiveAlways;

// Entering and leaving the canvas; its moves reach the canvas directly.
class CanvasTrackingOwner final : public platform::TrackingAreaOwner
{
public:
    explicit CanvasTrackingOwner(MRKODraw *canvas) : m_canvas(canvas) {}
    void mouseEntered(const platform::Event &event) override { m_canvas->mouseEntered(event); }
    void mouseExited(const platform::Event &event) override { m_canvas->mouseExited(event); }

private:
    MRKODraw *m_canvas = nullptr; // not owned; owns this
};

} // namespace

void MRKODraw::updateTrackingAreas()
{
    if (!m_trackingOwner)
        m_trackingOwner = std::make_shared<CanvasTrackingOwner>(this);
    if (m_trackingArea)
        m_trackingAreas.remove(m_trackingArea.get());
    m_trackingArea = std::make_shared<platform::TrackingArea>(bounds(), kCanvasAreaOptions, m_trackingOwner);
    m_trackingAreas.add(m_trackingArea);
    // The area wants every move over the canvas, buttons up or not.
    setMouseTracking(true);
    updateWhiteBackTrackingAreas();
}

void MRKODraw::updateWhiteBackTrackingAreas()
{
    MRKOWhiteBackController *c = m_wbController.get();
    if (!c)
        return;
    for (platform::TrackingAreaPtr *area :
         {&c->closeWhiteBackTrackingArea, &c->menuWhiteBackTrackingArea, &c->optionsTrackingArea}) {
        if (*area)
            m_trackingAreas.remove(area->get());
        area->reset();
    }
    if (!m_whiteBack)
        return;
    const auto install = [this](const std::shared_ptr<MRKOLayerTracking> &tracker) {
        platform::TrackingAreaPtr area = tracker ? tracker->trackingArea() : nullptr;
        m_trackingAreas.add(area);
        return area;
    };
    c->closeWhiteBackTrackingArea = install(c->closeWhiteBackTracking);
    c->menuWhiteBackTrackingArea = install(c->menuWhiteBackTracking);
    c->optionsTrackingArea = install(c->optionsTracking);
}

void MRKODraw::mouseEntered(const platform::Event &event)
{
    m_mouseIn = true;
    if (isMainClass()) {
        const quint64 flags = event.modifierFlags;
        const quint64 shiftCommand = platform::kShiftFlag | platform::kCommandFlag;
        if ((flags & shiftCommand) == shiftCommand || (flags & platform::kFunctionFlag))
            return;
        // A panel dragged over the canvas keeps the pointer: no ball or cursor under it.
        if (const AppDelegate *delegate = AppDelegate::shared()) {
            if (const MRKOToolPanel *panel = delegate->activeToolPanel(); panel && panel->isMouseDragging())
                return;
        }
        MRKOPositionController &remote = MRKOPositionController::sharedController();
        if (remote.trackingIsOn()) {
            if (remote.view() == this)
                showBallIfNeeded();
            return;
        }
    }
    updateColorBall();
    showBigBallIfNeeded();
    showBallIfNeeded();
    if (inkora::liveSettings().brushCursor)
        updateWorkingCursorIfNeeded();
    if (hasDarkOverlay())
        updateFlashlight();
}

void MRKODraw::mouseExited(const platform::Event &)
{
    m_mouseIn = false;
    if (isMainClass() && MRKOPositionController::sharedController().trackingIsOn())
        return;
    hideBall();
    hideBigBall();
    if (inkora::liveSettings().brushCursor)
        setCursor(Qt::ArrowCursor);
}

void MRKODraw::showMenuWithCustomFrame(const QRectF &frame)
{
    hideBall();
    hideBigBall();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->showAdditionalMenuForView(this, frame);
}

void MRKODraw::showWhiteboardMenuWithCustomFrame(const QRectF &frame)
{
    hideBall();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->showWhiteboardLayoutMenuForView(this, frame);
}
