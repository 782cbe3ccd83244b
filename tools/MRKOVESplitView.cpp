#include "tools/MRKOVESplitView.h"

#include <QChildEvent>

MRKOVESplitView::MRKOVESplitView(QWidget *parent) : QWidget(parent) {}

void MRKOVESplitView::adjustSubviews()
{
    int x = 0;
    for (QObject *child : children()) {
        auto *pane = qobject_cast<QWidget *>(child);
        if (!pane || pane->isWindow())
            continue;
        pane->setGeometry(x, 0, pane->width(), height());
        x += pane->width();
    }
}

void MRKOVESplitView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    adjustSubviews();
}

void MRKOVESplitView::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    if (event->type() == QEvent::ChildRemoved)
        adjustSubviews();
}
