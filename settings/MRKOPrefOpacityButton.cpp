#include "settings/MRKOPrefOpacityButton.h"

#include <QPainter>

MRKOPrefOpacityButton::MRKOPrefOpacityButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(32, 32);
}

void MRKOPrefOpacityButton::setDisableDraw(bool disable)
{
    m_disableDraw = disable;
    update();
}

void MRKOPrefOpacityButton::paintEvent(QPaintEvent *)
{
    if (m_disableDraw)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 60));
    painter.drawEllipse(QRectF(rect()).adjusted(6, 6, -6, -6));
}
