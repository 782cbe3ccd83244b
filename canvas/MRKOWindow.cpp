#include "canvas/MRKOWindow.h"

#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "canvas/OverlayShape.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

MRKOWindow::MRKOWindow(const QRectF &contentRect, const platform::ScreenInfo &screen)
    : QWidget(nullptr), m_screen(qtScreenNamed(screen.name)), m_screenInfo(screen)
{
    // Override-redirect: no window manager moves, resizes, iconifies or hides it ("show desktop" included); our
    // window stack keeps it above other programs' windows.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setWindowTitle(QStringLiteral("Inkora"));
    setFrame(QRectF(screen.frame.topLeft() + contentRect.topLeft(), contentRect.size()));
    prepareWindow();
    m_shape = new inkora::OverlayShape(*this); // child
}

MRKOWindow::~MRKOWindow()
{
    platform::WindowStack::shared().remove(*this);
}

MRKODraw *MRKOWindow::drawView() const
{
    return m_drawView;
}

void MRKOWindow::setDrawView(MRKODraw *drawView)
{
    m_drawView = drawView;
}

QRectF MRKOWindow::frameOfScreen(const QScreen *screen)
{
    return screen ? platform::frameFromQt(screen->geometry()) : QRectF();
}

void MRKOWindow::prepareWindow()
{
    // The native window exists from here on, so the hints reach the window manager before the first map and
    // later changes of input transparency never recreate it.
    if (m_screen)
        setScreen(m_screen);
    winId();
    if (windowHandle() && m_screen)
        windowHandle()->setScreen(m_screen);
    platform::services().windowSystem->prepareFloatingWindow(*this);
}

bool MRKOWindow::canBecomeKeyWindow()
{
    return false; // the shared text view does not exist yet, so no text is ever edited
}

void MRKOWindow::setIgnoresMouseEvents(bool ignores)
{
    if (m_windowController && m_windowController->screenDisabled())
        ignores = true;
    if (ignores == m_ignoresMouseEvents)
        return;
    m_ignoresMouseEvents = ignores;
    applyInputTransparency();
}

void MRKOWindow::applyInputTransparency()
{
    // Through the platform window: it changes the input shape in place, where a widget flag would recreate it.
    if (QWindow *handle = windowHandle())
        handle->setFlag(Qt::WindowTransparentForInput, m_ignoresMouseEvents);
    else
        setWindowFlag(Qt::WindowTransparentForInput, m_ignoresMouseEvents);
    if (m_shape)
        m_shape->updatePointerCatcher();
}

void MRKOWindow::setLevel(int level)
{
    m_level = level;
    platform::WindowStack::shared().setLevel(*this, level);
}

QRectF MRKOWindow::frame() const
{
    return platform::frameFromQt(geometry());
}

void MRKOWindow::setFrame(const QRectF &frame)
{
    setGeometry(platform::qtFromFrame(frame));
}

QScreen *MRKOWindow::currentScreen() const
{
    if (const QWindow *handle = windowHandle())
        return handle->screen();
    return m_screen;
}

QRectF MRKOWindow::currentScreenFrame() const
{
    if (m_screen)
        return frameOfScreen(currentScreen());
    return m_screenInfo.frame;
}

QScreen *MRKOWindow::qtScreenNamed(const QString &name)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto it = std::find_if(screens.cbegin(), screens.cend(),
                                 [&name](const QScreen *screen) { return screen->name() == name; });
    return it == screens.cend() ? nullptr : *it;
}

void MRKOWindow::orderFront()
{
    if (isVisible())
        platform::WindowStack::shared().orderFront(*this);
    else
        show();
}

void MRKOWindow::orderOut()
{
    hide();
}

qint64 MRKOWindow::windowNumber() const
{
    return qint64(internalWinId());
}

void MRKOWindow::windowDidResignKey()
{
    // Without text editing nothing keeps the keyboard here.
    if (!canBecomeKeyWindow()) {
        if (QWidget *focus = focusWidget())
            focus->clearFocus();
    }
}

void MRKOWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    applyInputTransparency();
    platform::WindowStack::shared().setLevel(*this, m_level);
    platform::WindowStack::shared().orderFront(*this);
}

void MRKOWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        windowDidResignKey();
}
