#include "canvas/MRKOWhiteView.h"

#include <QPaintEvent>
#include <QPainter>

void MRKOWhiteView::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), Qt::white);
}
