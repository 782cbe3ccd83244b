#include "tools/MRKOOneBox.h"

#include "tools/SeparatorBox.h"

#include <QPaintEvent>
#include <QPainter>

MRKOOneBox::MRKOOneBox(QWidget *parent) : QFrame(parent) {}

void MRKOOneBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.fillRect(QRect(0, height() - 1, event->rect().width(), 1), inkora::tertiaryLabelColor());
}
