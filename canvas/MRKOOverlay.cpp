#include "canvas/MRKOOverlay.h"

#include "foundation/ActionTarget.h"

#include <QMouseEvent>
#include <QPainter>

void MRKOOverlay::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), Qt::black);
}

void MRKOOverlay::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (m_target && !m_action.isEmpty() && m_target->respondsToAction(m_action))
        m_target->performAction(m_action, nullptr);
}

void MRKOOverlay::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void MRKOOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}
