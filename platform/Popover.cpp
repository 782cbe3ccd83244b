#include "platform/Popover.h"

#include "platform/PlatformLog.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

namespace {

constexpr int kStatusItemLevel = 25; // the level of the panel that holds the status item

const QColor kBackground(38, 38, 40); // dark in every desktop theme
const QColor kText(235, 235, 235);

/// Where a window of `size` lies beside `anchor` on `edge`, in Qt's global coordinates (y down).
QRect placedBeside(const QRect &anchor, const QSize &size, RectEdge edge)
{
    const int centredX = anchor.x() + (anchor.width() - size.width()) / 2;
    const int centredY = anchor.y() + (anchor.height() - size.height()) / 2;
    switch (edge) {
    case RectEdge::MinX:
        return {QPoint(anchor.x() - size.width(), centredY), size};
    case RectEdge::MaxX:
        return {QPoint(anchor.x() + anchor.width(), centredY), size};
    case RectEdge::MinY: // the lower edge on screen
        return {QPoint(centredX, anchor.y() + anchor.height()), size};
    case RectEdge::MaxY:
        return {QPoint(centredX, anchor.y() - size.height()), size};
    }
    return {anchor.topLeft(), size};
}

RectEdge oppositeEdge(RectEdge edge)
{
    switch (edge) {
    case RectEdge::MinX:
        return RectEdge::MaxX;
    case RectEdge::MaxX:
        return RectEdge::MinX;
    case RectEdge::MinY:
        return RectEdge::MaxY;
    case RectEdge::MaxY:
        return RectEdge::MinY;
    }
    return edge;
}

bool fitsAlongEdge(const QRect &placed, const QRect &screen, RectEdge edge)
{
    if (edge == RectEdge::MinX || edge == RectEdge::MaxX)
        return placed.left() >= screen.left() && placed.right() <= screen.right();
    return placed.top() >= screen.top() && placed.bottom() <= screen.bottom();
}

/// Slides the placement along the edge so that it stays on the screen.
QRect keptOnScreen(QRect placed, const QRect &screen, RectEdge edge)
{
    if (screen.isEmpty())
        return placed;
    if (edge == RectEdge::MinX || edge == RectEdge::MaxX)
        placed.moveTop(
            std::clamp(placed.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - placed.height())));
    else
        placed.moveLeft(
            std::clamp(placed.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - placed.width())));
    return placed;
}

} // namespace

class Popover::Window final : public QWidget
{
public:
    explicit Window(Popover &owner) : QWidget(nullptr), m_owner(owner)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        QPalette dark = palette();
        dark.setColor(QPalette::Window, kBackground);
        dark.setColor(QPalette::WindowText, kText);
        dark.setColor(QPalette::Text, kText);
        dark.setColor(QPalette::Base, kBackground.lighter(130));
        setPalette(dark);
        setAutoFillBackground(true);
    }

    void setTakesFocus(bool takes)
    {
        Qt::WindowFlags flags =
            Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint;
        if (!takes)
            flags |= Qt::WindowDoesNotAcceptFocus;
        if (windowFlags() != flags)
            setWindowFlags(flags);
        setAttribute(Qt::WA_ShowWithoutActivating, !takes);
        setAttribute(Qt::WA_X11DoNotAcceptFocus, !takes);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kBackground);
    }
    void closeEvent(QCloseEvent *event) override
    {
        // Closed by the window manager: the owner runs its own close path.
        event->ignore();
        m_owner.close();
    }

private:
    Popover &m_owner;
};

Popover::Popover(QObject *parent) : QObject(parent), m_window(std::make_unique<Window>(*this))
{
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &Popover::applicationStateChanged);
}

Popover::~Popover()
{
    if (qApp)
        qApp->removeEventFilter(this);
    WindowStack::shared().remove(*m_window);
}

void Popover::setContentWidget(QWidget *content)
{
    if (m_content == content)
        return;
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    if (!content)
        return;
    const QSize size = content->size();
    content->setParent(m_window.get());
    content->show();
    setContentSize(size);
}

void Popover::setContentSize(const QSizeF &size)
{
    m_contentSize = size;
    const QSize pixels = size.toSize().expandedTo(QSize(1, 1));
    m_window->setFixedSize(pixels);
    if (m_content)
        m_content->setGeometry(QRect(QPoint(0, 0), pixels));
}

void Popover::showRelativeToRect(const QRectF &rect, QWidget *view, RectEdge edge)
{
    if (!view) {
        qCWarning(lcPlatform) << "showRelativeToRect: no view to anchor to; nothing shown";
        return;
    }
    m_anchorView = view;
    // The anchor, from the view's y-up points into Qt's global coordinates.
    const QRectF flipped(rect.x(), view->height() - rect.y() - rect.height(), rect.width(), rect.height());
    const QRect anchor(view->mapToGlobal(flipped.topLeft().toPoint()), flipped.size().toSize());
    showBeside(anchor, view->screen(), view->window(), edge);
}

void Popover::showRelativeToScreenRect(const QRectF &frame, RectEdge edge)
{
    m_anchorView = nullptr;
    QScreen *screen = QGuiApplication::primaryScreen();
    QRect anchor = qtFromFrame(frame);
    if (frame.isEmpty() && screen) {
        // Nothing to stand beside: the top right corner, where the panel keeps its tray.
        const QRect area = screen->availableGeometry();
        anchor = QRect(area.right() - 1, area.top(), 1, 1);
    } else if (QScreen *at = QGuiApplication::screenAt(anchor.center())) {
        screen = at;
    }
    showBeside(anchor, screen, nullptr, edge);
}

void Popover::showBeside(const QRect &anchor, QScreen *screen, QWidget *anchorWindow, RectEdge edge)
{
    const bool wasShown = m_shown;
    if (!wasShown)
        emit willShow();
    const QSize size = m_window->size();
    const QRect screenArea = screen ? screen->geometry() : QRect();

    QRect placed = placedBeside(anchor, size, edge);
    m_shownEdge = edge;
    if (!screenArea.isEmpty() && !fitsAlongEdge(placed, screenArea, edge)) {
        const QRect other = placedBeside(anchor, size, oppositeEdge(edge));
        if (fitsAlongEdge(other, screenArea, oppositeEdge(edge))) {
            placed = other;
            m_shownEdge = oppositeEdge(edge);
        }
    }
    placed = keptOnScreen(placed, screenArea, m_shownEdge);

    m_window->setTakesFocus(m_takesKeyboardFocus);
    m_window->setGeometry(placed);
    if (!wasShown) {
        m_window->winId();
        if (QWindow *handle = m_window->windowHandle(); handle && anchorWindow && anchorWindow->windowHandle())
            handle->setTransientParent(anchorWindow->windowHandle());
        services().windowSystem->prepareFloatingWindow(*m_window);
        const int level = anchorWindow ? WindowStack::shared().level(*anchorWindow) + 1 : kStatusItemLevel;
        WindowStack::shared().setLevel(*m_window, level);
        m_window->show();
        WindowStack::shared().orderFront(*m_window);
        qApp->installEventFilter(this);
        m_shown = true;
    }
    if (m_takesKeyboardFocus) {
        services().windowSystem->activateWindow(*m_window);
        if (m_content)
            m_content->setFocus(Qt::PopupFocusReason);
    }
    if (!wasShown)
        emit didShow();
}

void Popover::close()
{
    if (!m_shown)
        return;
    emit willClose();
    qApp->removeEventFilter(this);
    m_shown = false;
    m_window->hide();
    emit didClose();
}

QRectF Popover::frame() const
{
    return frameFromQt(m_window->geometry());
}

QWidget *Popover::window() const
{
    return m_window.get();
}

bool Popover::isInside(const QWidget *widget) const
{
    // Menus and other windows opened from the content count as part of the popover.
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == m_window.get())
            return true;
    }
    return false;
}

bool Popover::eventFilter(QObject *watched, QEvent *event)
{
    if (m_shown && m_behavior != ApplicationDefined &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::NonClientAreaMouseButtonPress)) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        const bool onAnchor = m_anchorView && widget && (widget == m_anchorView || m_anchorView->isAncestorOf(widget));
        if (widget && !isInside(widget) && !(onAnchor && !m_closesOnAnchorPress)) {
            const bool inAnchorWindow = m_anchorView && widget->window() == m_anchorView->window();
            if (m_behavior == Transient || inAnchorWindow)
                close();
        }
    }
    return QObject::eventFilter(watched, event);
}

void Popover::applicationStateChanged(Qt::ApplicationState state)
{
    if (m_behavior == Transient && state != Qt::ApplicationActive)
        close();
}

} // namespace platform
