#include "canvas/MRKODarkOverlayWindow.h"

#include "app/MRKOAppLevel.h"
#include "canvas/MRKOModalOverlayView.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"

std::unique_ptr<MRKODarkOverlayWindow> MRKODarkOverlayWindow::darkOverlayWindowWithWindow(const QWidget &window)
{
    return std::make_unique<MRKODarkOverlayWindow>(window.frameGeometry());
}

MRKODarkOverlayWindow::MRKODarkOverlayWindow(const QRect &geometry) : QWidget(nullptr)
{
    // Override-redirect: no window manager moves, resizes, iconifies or hides it ("show desktop" included); our
    // window stack keeps it above other programs' windows.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setGeometry(geometry);
    m_view = new MRKOModalOverlayView(this); // child
    m_view->setGeometry(rect());
    winId();
    platform::services().windowSystem->prepareFloatingWindow(*this);
    // One level above the overlay windows.
    platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level() + 1);
}

void MRKODarkOverlayWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}
