#pragma once

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class MRKOTools;
class MRKOWindow;
class QMouseEvent;

/// The floating tool bar's window, a child window of its display's overlay kept above it. It moves itself: a drag
/// that starts on its background follows the pointer and sticks to the display's left or right edge within 20
/// points, and dropping it on another display makes that display the preferred one. It hands pointer movement
/// over it to the canvas underneath.
///
/// Drag states: idle, armed (a left press on the background, `mouseIsDown`), dragging (`isMouseDragging`), back to
/// idle on the release, updating the preferred display when the panel changed display meanwhile. A press on a
/// button arms nothing: the drag then only sets `isMouseDragging` and the panel stays.
class MRKOToolPanel final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kSnapDistance = 20; // points from a display edge within which the panel sticks to it

    /// `contentRect` in global points (y up). Hidden until its overlay shows, transparent until `setAlphaValue`.
    MRKOToolPanel(const QRectF &contentRect, MRKOWindow &overlay);
    ~MRKOToolPanel() override;

    /// The controller whose view fills the panel; the panel owns it.
    [[nodiscard]] MRKOTools *contentViewController() const { return m_tools; }
    void setContentViewController(MRKOTools *tools);

    /// Global frame in points, y up.
    [[nodiscard]] QRectF frame() const;
    void setFrame(const QRectF &frame);
    void setFrameOrigin(QPointF origin);
    /// Keeps the origin (the bottom-left corner).
    void setContentSize(QSizeF size);
    [[nodiscard]] double alphaValue() const { return m_alpha; }
    /// 0 makes the panel invisible and lets the pointer through; it stays alive (and may keep the keyboard).
    void setAlphaValue(double alpha);
    /// Above its overlay, at once.
    void orderFront();

    /// Whether a press may give the panel the keyboard: not while text is edited on a canvas and the pointer is
    /// over a colour button, so that a colour change reaches the text without taking its focus.
    [[nodiscard]] bool canBecomeKeyWindow() const;
    /// Gives the panel the keyboard.
    void makeKeyWindow();
    /// The controller's view takes the keyboard focus, and the touch strip is made anew.
    void makeContentViewAsFirstResponder();
    void resetTouchBarIfAvailable();

    // Moving. `mouse` is the pointer in global points (y up).
    void mouseDown(QPointF locationInWindow, QPointF mouse, bool canMoveWindow);
    void mouseDragged(QPointF mouse);
    void cleanUpMouseUp();
    void snapToEdge(QPointF mouse);
    /// Where a drag puts the panel's origin: the grab point stays under the pointer, and x sticks to the left or
    /// right edge of `screen` within 20 points (the right edge wins when both are in reach); y is never snapped.
    [[nodiscard]] static QPointF snappedOrigin(const QRectF &frame, const QRectF &screen, QPointF mouse,
                                               QPointF locationInWindow);
    void updateScreenIndexIfNeeded();
    void windowDidChangeScreen();
    [[nodiscard]] bool isMouseDragging() const { return m_mouseIsDragging; }
    [[nodiscard]] bool mouseIsDown() const { return m_mouseIsDown; }
    [[nodiscard]] bool screenChangedDuringDrag() const { return m_screenChangedDuringDrag; }
    /// The display the panel lies on most, in the system's order; -1 when none.
    [[nodiscard]] qint64 screenIndex() const;
    /// That display's frame; the zero rectangle when the panel lies on none.
    [[nodiscard]] QRectF screenFrame() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Every pointer event of the panel's window, before it reaches a button.
    void sendEvent(QEvent *event);
    void mouseMoved(const QMouseEvent &event, QPointF mouse);
    [[nodiscard]] bool hitCanMoveWindow(QPointF qtLocation) const;
    void followOverlay();

    /// The overlay while it is one: null once it is being destroyed.
    [[nodiscard]] MRKOWindow *overlay() const;

    QPointer<QWidget> m_overlay;  // parent; a plain widget while it is being destroyed
    MRKOTools *m_tools = nullptr; // child
    QPointF m_locInWindow;        // points, y up
    QPointF m_lastLoc;            // global points, y up
    qint64 m_dragScreenIndex = -1;
    double m_alpha = 0;
    bool m_mouseIsDown = false;
    bool m_mouseIsDragging = false;
    bool m_screenChangedDuringDrag = false;
    bool m_pointerInside = false;
};
