#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>

#include <memory>

class QScreen;
class QWidget;

namespace platform {

/// An edge of a rectangle in y-up coordinates: MinY is its lower edge on screen, MaxY its upper one.
enum class RectEdge : int { MinX = 0, MinY = 1, MaxX = 2, MaxY = 3 };

/// A dark top-level tool window of exactly its content's size, placed beside an anchor rectangle. It never grabs
/// the pointer or the keyboard: a transient popover closes on a press anywhere else in the application or when the
/// application loses activation, a semi-transient one on a press in its anchor's window, an application-defined
/// one only when told. Every close path emits willClose and didClose once.
class Popover final : public QObject
{
    Q_OBJECT
public:
    enum Behavior : int { ApplicationDefined = 0, Transient = 1, SemiTransient = 2 };

    explicit Popover(QObject *parent = nullptr);
    ~Popover() override;
    Q_DISABLE_COPY_MOVE(Popover)

    [[nodiscard]] Behavior behavior() const { return m_behavior; }
    void setBehavior(Behavior behavior) { m_behavior = behavior; }

    /// Takes ownership of the content, which fills the window; its current size becomes the content size.
    void setContentWidget(QWidget *content);
    [[nodiscard]] QWidget *contentWidget() const { return m_content; }
    /// In points; the window has exactly this size.
    [[nodiscard]] QSizeF contentSize() const { return m_contentSize; }
    void setContentSize(const QSizeF &size);

    /// Whether showing gives the popover the keyboard focus (a field to type into); off by default.
    [[nodiscard]] bool takesKeyboardFocus() const { return m_takesKeyboardFocus; }
    void setTakesKeyboardFocus(bool takes) { m_takesKeyboardFocus = takes; }

    /// Whether a press on the anchor view itself closes a transient or semi-transient popover (the default); off
    /// where the anchor toggles the popover itself, so that a second click closes it rather than reopening it.
    [[nodiscard]] bool closesOnAnchorPress() const { return m_closesOnAnchorPress; }
    void setClosesOnAnchorPress(bool closes) { m_closesOnAnchorPress = closes; }

    /// Shows the popover beside `rect`, given in `view`'s coordinates (points, y up), on `edge`; on the opposite
    /// edge when only that one leaves room on the view's screen. Showing it again moves it.
    void showRelativeToRect(const QRectF &rect, QWidget *view, RectEdge edge);
    /// The same beside a frame in global points (y up), such as the status item's; an empty frame stands for the
    /// top right corner of the main screen.
    void showRelativeToScreenRect(const QRectF &frame, RectEdge edge);
    void close();

    [[nodiscard]] bool isShown() const { return m_shown; }
    /// The edge it was last placed on.
    [[nodiscard]] RectEdge shownEdge() const { return m_shownEdge; }
    /// The window's frame in global points (y up).
    [[nodiscard]] QRectF frame() const;
    [[nodiscard]] QWidget *window() const;

signals:
    void willShow();
    void didShow();
    void willClose();
    void didClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Window;
    void showBeside(const QRect &anchor, QScreen *screen, QWidget *anchorWindow, RectEdge edge);
    void applicationStateChanged(Qt::ApplicationState state);
    [[nodiscard]] bool isInside(const QWidget *widget) const;

    std::unique_ptr<Window> m_window;
    QPointer<QWidget> m_content;    // child of m_window
    QPointer<QWidget> m_anchorView; // not owned
    QSizeF m_contentSize;
    Behavior m_behavior = ApplicationDefined;
    RectEdge m_shownEdge = RectEdge::MaxX;
    bool m_takesKeyboardFocus = false;
    bool m_closesOnAnchorPress = true;
    bool m_shown = false;
};

} // namespace platform
