#include "tools/MRKOToolPanel.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOTools.h"
#include "tools/MRKOVEView.h"
#include "tools/ToolsNeighbours.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QWindow>

#include <cmath>

namespace {

const QString kPreferedScreenIndexKey = QStringLiteral("PreferedScreenIndex");

double overlapArea(const QRectF &a, const QRectF &b)
{
    const QRectF both = a.intersected(b);
    return both.isValid() ? both.width() * both.height() : 0;
}

} // namespace

MRKOToolPanel::MRKOToolPanel(const QRectF &contentRect, MRKOWindow &overlay)
    : QWidget(&overlay, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      m_overlay(&overlay)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFrame(contentRect);
    setWindowOpacity(0);
    create();
    if (QWindow *handle = windowHandle()) {
        handle->installEventFilter(this);
        connect(handle, &QWindow::screenChanged, this, &MRKOToolPanel::windowDidChangeScreen);
    }
    overlay.installEventFilter(this);
    platform::WindowStack::shared().setLevel(*this, overlay.level() + 1);
    followOverlay();
}

MRKOToolPanel::~MRKOToolPanel()
{
    platform::WindowStack::shared().remove(*this);
}

void MRKOToolPanel::setContentViewController(MRKOTools *tools)
{
    m_tools = tools;
    if (!tools)
        return;
    tools->setParent(this);
    tools->setGeometry(rect());
    tools->setPanel(this);
    tools->show();
}

QRectF MRKOToolPanel::frame() const
{
    return platform::frameFromQt(geometry());
}

void MRKOToolPanel::setFrame(const QRectF &frame)
{
    setGeometry(platform::qtFromFrame(frame));
    if (m_tools)
        m_tools->setGeometry(rect());
}

void MRKOToolPanel::setFrameOrigin(QPointF origin)
{
    setFrame(QRectF(origin, frame().size()));
}

void MRKOToolPanel::setContentSize(QSizeF size)
{
    setFrame(QRectF(frame().topLeft(), size));
}

void MRKOToolPanel::setAlphaValue(double alpha)
{
    m_alpha = alpha;
    setWindowOpacity(alpha);
    if (QWindow *handle = windowHandle())
        handle->setFlag(Qt::WindowTransparentForInput, alpha <= 0);
    followOverlay();
}

void MRKOToolPanel::orderFront()
{
    const MRKOWindow *window = overlay();
    if (!isVisible() || !window)
        return;
    platform::WindowStack::shared().setLevel(*this, window->level() + 1);
    platform::WindowStack::shared().orderFront(*this);
}

MRKOWindow *MRKOToolPanel::overlay() const
{
    return qobject_cast<MRKOWindow *>(m_overlay.data());
}

void MRKOToolPanel::followOverlay()
{
    // A child window goes and comes with its overlay. Without a compositing manager an invisible panel would show
    // opaque, so it is taken off the screen instead.
    const MRKOWindow *window = overlay();
    const bool overlayShown = window && window->isVisible();
    const bool visible = overlayShown && (m_alpha > 0 || platform::services().windowSystem->hasCompositingManager());
    if (visible == isVisible())
        return;
    setVisible(visible);
    if (visible) {
        platform::services().windowSystem->prepareFloatingWindow(*this);
        platform::WindowStack::shared().setLevel(*this, window->level() + 1);
        platform::WindowStack::shared().orderFront(*this);
    }
}

bool MRKOToolPanel::canBecomeKeyWindow() const
{
    if (!MRKODraw::isTextEditing())
        return true;
    const AppDelegate *delegate = AppDelegate::shared();
    const MRKOTools *active = delegate ? delegate->activeToolBar() : nullptr;
    if (!active)
        return true;
    const QPoint pointer = QCursor::pos();
    for (const QWidget *button : {static_cast<const QWidget *>(active->customColorButton()),
                                  static_cast<const QWidget *>(active->rainbowButton())}) {
        if (button && button->isVisible() && button->rect().contains(button->mapFromGlobal(pointer)))
            return false;
    }
    return true;
}

void MRKOToolPanel::makeKeyWindow()
{
    if (!isVisible())
        return;
    platform::services().windowSystem->activateWindow(*this);
}

void MRKOToolPanel::makeContentViewAsFirstResponder()
{
    if (m_tools)
        m_tools->setFocus(Qt::OtherFocusReason);
    resetTouchBarIfAvailable();
}

void MRKOToolPanel::resetTouchBarIfAvailable()
{
    if (m_tools)
        m_tools->resetTouchBarIfAvailable();
}

// ---------------------------------------------------------------------------------------------------------------
// Moving

void MRKOToolPanel::mouseDown(QPointF locationInWindow, QPointF mouse, bool canMoveWindow)
{
    m_locInWindow = locationInWindow;
    m_lastLoc = mouse;
    m_mouseIsDown = canMoveWindow;
    m_dragScreenIndex = screenIndex();
}

void MRKOToolPanel::mouseDragged(QPointF mouse)
{
    m_mouseIsDragging = true;
    if (m_mouseIsDown)
        snapToEdge(mouse);
}

void MRKOToolPanel::snapToEdge(QPointF mouse)
{
    m_lastLoc = mouse;
    setFrameOrigin(snappedOrigin(frame(), screenFrame(), mouse, m_locInWindow));
    // Qt tells of a new screen only for its own screens; the display list decides here too.
    if (const qint64 index = screenIndex(); index != m_dragScreenIndex) {
        m_dragScreenIndex = index;
        windowDidChangeScreen();
    }
}

QPointF MRKOToolPanel::snappedOrigin(const QRectF &frame, const QRectF &screen, QPointF mouse, QPointF locationInWindow)
{
    const QPointF proposed = mouse - locationInWindow;
    double x = proposed.x();
    if (std::abs(proposed.x() - screen.x()) < kSnapDistance)
        x = screen.x();
    const double right = screen.x() + screen.width();
    if (std::abs(right - (x + frame.width())) < kSnapDistance)
        x = right - frame.width();
    return QPointF(x, proposed.y());
}

void MRKOToolPanel::cleanUpMouseUp()
{
    if (!m_mouseIsDown)
        platform::EventQueue::shared().discardEventsMatchingMask(platform::EventQueue::kAnyEventMask);
    const bool changed = m_screenChangedDuringDrag;
    m_mouseIsDragging = false;
    m_mouseIsDown = false;
    m_screenChangedDuringDrag = false;
    if (changed)
        updateScreenIndexIfNeeded();
}

void MRKOToolPanel::windowDidChangeScreen()
{
    if (m_mouseIsDragging)
        m_screenChangedDuringDrag = true;
}

qint64 MRKOToolPanel::screenIndex() const
{
    const QList<platform::ScreenInfo> screens = platform::services().screens->screens();
    const QRectF mine = frame();
    qint64 best = -1;
    double bestArea = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const double area = overlapArea(mine, screens.at(i).frame);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

QRectF MRKOToolPanel::screenFrame() const
{
    const qint64 index = screenIndex();
    if (index < 0)
        return {};
    return platform::services().screens->screens().at(index).frame;
}

void MRKOToolPanel::updateScreenIndexIfNeeded()
{
    const qint64 index = std::max<qint64>(screenIndex(), 0);
    if (index == MRKOScreensController::preferedScreenIndex())
        return;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(index, kPreferedScreenIndexKey);
    defaults.synchronize();
    MRKOScreensController::updatePreferedScreenIndex();
    // The rebuild replaces this panel: it runs once the release that asked for it has been handled.
    platform::DispatchQueue::main().async([] { MRKOScreensController::forceReactivate(); });
}

// ---------------------------------------------------------------------------------------------------------------
// Event dispatch

bool MRKOToolPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_overlay.data()) {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            followOverlay();
        return false;
    }
    if (watched == windowHandle())
        sendEvent(event);
    return false;
}

void MRKOToolPanel::sendEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto &move = *static_cast<QMouseEvent *>(event);
        const QPointF mouse = platform::pointFromQt(move.globalPosition());
        if (move.buttons() & Qt::LeftButton)
            mouseDragged(mouse);
        else
            mouseMoved(move, mouse);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto &press = *static_cast<QMouseEvent *>(event);
        if (press.button() != Qt::LeftButton)
            break;
        const QPointF local = press.position();
        mouseDown(platform::flipY(local, height()), platform::pointFromQt(press.globalPosition()),
                  hitCanMoveWindow(local));
        if (m_tools && m_tools->toolView())
            m_tools->toolView()->hitTest();
        if (canBecomeKeyWindow())
            makeKeyWindow();
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            cleanUpMouseUp();
        break;
    case QEvent::Leave:
        m_pointerInside = false;
        if (m_tools && m_tools->toolView())
            m_tools->toolView()->mouseExited();
        break;
    default:
        break;
    }
}

void MRKOToolPanel::mouseMoved(const QMouseEvent &event, QPointF mouse)
{
    if (!frame().contains(mouse))
        return;
    if (m_tools && m_tools->toolView()) {
        MRKOVEView *view = m_tools->toolView();
        const QPointF inView = platform::flipY(view->mapFrom(this, event.position()), view->height());
        if (!m_pointerInside)
            view->mouseEntered(inView);
        else
            view->mouseMoved(inView);
    }
    m_pointerInside = true;
    // The canvas underneath keeps its pointer decorations going while the pointer is over the panel.
    const AppDelegate *delegate = AppDelegate::shared();
    MRKOWindowController *controller = delegate ? delegate->windowControllerForMouseLocation() : nullptr;
    MRKODraw *canvas = controller ? controller->drawView() : nullptr;
    if (!canvas)
        return;
    platform::Event moved;
    moved.type = platform::EventType::MouseMoved;
    const QRectF windowFrame = controller->window()->frame();
    moved.locationInWindow = mouse - windowFrame.topLeft();
    moved.windowNumber = controller->window()->windowNumber();
    moved.modifierFlags = platform::EventQueue::shared().currentModifierFlags();
    canvas->mouseMoved(moved);
}

bool MRKOToolPanel::hitCanMoveWindow(QPointF qtLocation) const
{
    if (!rect().contains(qtLocation.toPoint()))
        return false;
    // Buttons keep their presses; the background, the split view and the button pane move the panel. A view
    // that says whether it moves the window (the options area and its drag strip) decides for what lies in it.
    const QWidget *hit = childAt(qtLocation.toPoint());
    for (const QWidget *w = hit; w && w != this; w = w->parentWidget()) {
        if (qobject_cast<const QAbstractButton *>(w))
            return false;
        if (const QVariant moves = w->property("mouseDownCanMoveWindow"); moves.isValid())
            return moves.toBool();
    }
    return true;
}
