#include "app/MRKOMenuPlaceholder.h"

#include "platform/Screens.h"
#include "platform/WindowStack.h"

MRKOMenuPlaceholder::MRKOMenuPlaceholder(const QRectF &frame, int level, bool ignoresMouseEvents)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::NoDropShadowWindowHint | Qt::WindowDoesNotAcceptFocus |
                           (ignoresMouseEvents ? Qt::WindowTransparentForInput : Qt::WindowFlags())),
      m_frame(frame), m_level(level), m_ignoresMouseEvents(ignoresMouseEvents)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents, ignoresMouseEvents);
    // A menu at the tray may get a frame of no size; the window still needs one pixel.
    QRect geometry = platform::qtFromFrame(frame);
    geometry.setSize(geometry.size().expandedTo(QSize(1, 1)));
    setGeometry(geometry);
    platform::WindowStack::shared().setLevel(*this, level);
    show();
    platform::WindowStack::shared().orderFront(*this);
}

MRKOMenuPlaceholder::~MRKOMenuPlaceholder()
{
    platform::WindowStack::shared().remove(*this);
}

QPoint MRKOMenuPlaceholder::qtGlobalPoint(QPointF local) const
{
    return platform::qtFromPoint(m_frame.topLeft() + local).toPoint();
}
