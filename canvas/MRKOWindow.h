#pragma once

#include "platform/Screens.h"

#include <QPointer>
#include <QRectF>
#include <QWidget>

class MRKODraw;
class MRKOWindowController;
class QScreen;
namespace inkora {
class OverlayShape;
}

/// The borderless, transparent overlay window of one display. It floats at a level above other applications'
/// windows on every desktop, becomes key only for text editing, and lets the pointer through while it ignores mouse
/// events (always while its display is disabled).
class MRKOWindow : public QWidget
{
    Q_OBJECT
public:
    /// `contentRect` in the display's own points (y up, origin at the display's bottom left); the window lies on the
    /// display, and on the Qt screen of the same name when there is one.
    MRKOWindow(const QRectF &contentRect, const platform::ScreenInfo &screen);
    ~MRKOWindow() override;

    /// A screen's frame in global points: y up, origin at the bottom left of the primary screen.
    [[nodiscard]] static QRectF frameOfScreen(const QScreen *screen);

    void prepareWindow();
    /// Only while text is being edited.
    [[nodiscard]] static bool canBecomeKeyWindow();
    /// Passes the flag on, but keeps ignoring while the controller's display is disabled. Never recreates the
    /// native window.
    void setIgnoresMouseEvents(bool ignores);
    [[nodiscard]] bool ignoresMouseEvents() const { return m_ignoresMouseEvents; }
    [[nodiscard]] int level() const { return m_level; }
    void setLevel(int level);
    /// Global frame in points, y up.
    [[nodiscard]] QRectF frame() const;
    void setFrame(const QRectF &frame);
    /// The screen the window lies on now; null without one.
    [[nodiscard]] QScreen *currentScreen() const;
    /// The global frame of the display the window lies on now: its Qt screen's when the display has one, else the
    /// frame the display list gave.
    [[nodiscard]] QRectF currentScreenFrame() const;
    /// The Qt screen of a display of the list; null when Qt has no screen of that name.
    [[nodiscard]] static QScreen *qtScreenNamed(const QString &name);
    void orderFront();
    void orderOut();
    /// The window's number in events: its native id once it has one.
    [[nodiscard]] qint64 windowNumber() const;
    void windowDidResignKey();

    [[nodiscard]] MRKODraw *drawView() const;
    void setDrawView(MRKODraw *drawView);
    [[nodiscard]] MRKOWindowController *windowController() const { return m_windowController; }
    void setWindowController(MRKOWindowController *controller) { m_windowController = controller; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyInputTransparency();

    QPointer<MRKODraw> m_drawView;                      // child of this window
    MRKOWindowController *m_windowController = nullptr; // not owned; owns this window
    QPointer<QScreen> m_screen;
    platform::ScreenInfo m_screenInfo;
    inkora::OverlayShape *m_shape = nullptr; // child; the desktop around the ink without a compositing manager
    bool m_ignoresMouseEvents = false;
    int m_level = 0;
};
