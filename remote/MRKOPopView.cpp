#include "remote/MRKOPopView.h"

#include <QKeyEvent>

MRKOPopView::MRKOPopView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void MRKOPopView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit returnPressed();
        return;
    }
    QWidget::keyPressEvent(event);
}
