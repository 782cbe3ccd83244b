#include "tests/tools/ToolsFixture.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

void ToolsFixture::SetUp()
{
    InkoraFixture::SetUp();
    // What the offscreen platform says of menus and windows it cannot raise, grab for or make translucent.
    for (const char *line :
         {"This plugin does not support raise()", "This plugin does not support grabbing the keyboard",
          "This plugin does not support setting window opacity"})
        log().expectWarning(QString::fromLatin1(line));
    m_delegate = std::make_unique<ToolsTestDelegate>();
    m_delegate->prepareUserDefaults();
    m_delegate->updateUseToolTips();
    m_panel = std::make_unique<QWidget>();
    m_panel->setGeometry(200, 150, 60, 400);
    m_panel->show();
    QCursor::setPos(QPoint(0, 0));
}

void ToolsFixture::TearDown()
{
    m_panel.reset();
    m_delegate.reset();
    InkoraFixture::TearDown();
}

void ToolsFixture::place(QWidget &button, QPoint at, QSize size)
{
    button.setParent(m_panel.get());
    button.setGeometry(QRect(at, size));
    button.show();
}

void ToolsFixture::enter(QWidget &button)
{
    const QPoint centre = button.rect().center();
    QCursor::setPos(button.mapToGlobal(centre));
    QEnterEvent event(centre, button.mapTo(button.window(), centre), button.mapToGlobal(centre));
    QCoreApplication::sendEvent(&button, &event);
}

void ToolsFixture::leave(QWidget &button)
{
    QCursor::setPos(button.mapToGlobal(QPoint(-50, -50)));
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &event);
}

namespace {

void send(QWidget &button, QEvent::Type type, QPoint at, Qt::MouseButton which, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), button.mapTo(button.window(), QPointF(at)), button.mapToGlobal(QPointF(at)),
                      which, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &event);
}

} // namespace

void ToolsFixture::press(QWidget &button, QPoint at, Qt::MouseButton which)
{
    send(button, QEvent::MouseButtonPress, at, which, which);
}

void ToolsFixture::drag(QWidget &button, QPoint to)
{
    send(button, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
}

void ToolsFixture::release(QWidget &button, QPoint at, Qt::MouseButton which)
{
    send(button, QEvent::MouseButtonRelease, at, which, Qt::NoButton);
}

QImage ToolsFixture::rendered(QWidget &button)
{
    QImage image(button.size(), QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
