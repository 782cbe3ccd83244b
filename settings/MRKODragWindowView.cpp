#include "settings/MRKODragWindowView.h"

#include <QMouseEvent>
#include <QWindow>

MRKODragWindowView::MRKODragWindowView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MRKODragWindowView"));
    setFocusPolicy(Qt::NoFocus);
    // Read by windows that move themselves: a press here moves the window.
    setProperty("mouseDownCanMoveWindow", true);
}

void MRKODragWindowView::mousePressEvent(QMouseEvent *event)
{
    QWidget *top = window();
    if (event->button() != Qt::LeftButton || (top->windowFlags() & Qt::X11BypassWindowManagerHint)) {
        event->ignore();
        return;
    }
    if (QWindow *handle = top->windowHandle(); handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    event->ignore();
}
