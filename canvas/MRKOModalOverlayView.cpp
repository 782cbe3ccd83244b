#include "canvas/MRKOModalOverlayView.h"

#include "foundation/ActionTarget.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

MRKOModalOverlayView::MRKOModalOverlayView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void MRKOModalOverlayView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), QColor::fromRgbF(0.15f, 0.15f, 0.15f, 0.55f));
}

void MRKOModalOverlayView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    invokeTargetAction();
}

void MRKOModalOverlayView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void MRKOModalOverlayView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MRKOModalOverlayView::childEvent(QChildEvent *event)
{
    // Every point hits the view itself: its subviews never take the pointer.
    if (event->added() && event->child()->isWidgetType())
        static_cast<QWidget *>(event->child())->setAttribute(Qt::WA_TransparentForMouseEvents);
    QWidget::childEvent(event);
}

void MRKOModalOverlayView::invokeTargetAction()
{
    if (m_target && m_target->respondsToAction(m_action))
        m_target->performAction(m_action, nullptr);
}
