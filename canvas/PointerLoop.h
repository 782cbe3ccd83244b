#pragma once

#include "platform/Event.h"
#include "platform/Layer.h"

#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

class KQShortCut;
class MRKODraw;
class MRKOFPSLimiter;

namespace inkora {

/// One drawing press on a canvas: its set-up, the nested loop that takes pointer, key, modifier and pressure
/// events from the shared queue until the button goes up, and the end of the stroke. Inside the loop the stroke is
/// drawing, or (after eleven drawn drags, with Space or Command held) moving; a click never becomes a stroke.
/// Lives for one press; works on the canvas's own stroke state.
class PointerLoop final
{
public:
    PointerLoop(MRKODraw &canvas, const platform::Event &press);
    ~PointerLoop();
    PointerLoop(const PointerLoop &) = delete;
    PointerLoop &operator=(const PointerLoop &) = delete;

    /// Runs the press to its end.
    void run();

private:
    void setUp();
    /// Handles one event; false when the press is over.
    bool handle(const platform::Event &event);
    void handleKeyDown(const platform::Event &event);
    void handleDrag(const platform::Event &event);
    void drawHeldBackDrag();
    /// What follows every drag that was drawn.
    void drewDrag(const platform::Event &event);
    /// Starts, continues or ends carrying the stroke; true when the event only moved it.
    bool carry(const platform::Event &event, QPointF point);
    void moveStroke(QPointF delta);
    void drawToReleasePoint(QPointF releasePoint);
    void finish();

    MRKODraw &m_canvas; // not owned; the press runs inside one of its calls
    platform::Event m_press;
    platform::Event m_lastEvent;
    bool m_wasSelfAppEffective = false;
    bool m_shouldDraw = false;    // remembered at the press
    double m_lastDragTime = 0;    // media time of the last drawn drag, or of the press
    double m_dragThreshold = 2.0; // points
    std::unique_ptr<MRKOFPSLimiter> m_limiter;
    std::shared_ptr<KQShortCut> m_dazadUdiz;
    bool m_spaceHeld = false;
    int m_dragCount = 0;                           // drag events that were drawn
    bool m_lastDragStopped = false;                // the rate limiter left the last drag undrawn
    std::optional<platform::Event> m_heldBackDrag; // that drag, until it is drawn or another arrives
    bool m_dazadUdizInvoked = false;
    bool m_modifiersChanged = false;
    platform::LayerPtr m_mediumLayer; // carries the stroke while it moves
    QRectF m_movedFrame;
    QPointF m_anchor; // the last pointer position used for moving
};

} // namespace inkora
