#include "tools/KPPickerBall.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

KPPickerBall::KPPickerBall(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents); // presses belong to the control beneath
}

void KPPickerBall::setInsets(const inkora::EdgeInsets &insets)
{
    m_insets = insets;
    update();
}

void KPPickerBall::setFillColor(const inkora::SrgbColor &color)
{
    m_fillColor = color;
    update();
}

void KPPickerBall::setBorderWidth(double width)
{
    m_borderWidth = width;
    update();
}

void KPPickerBall::paintEvent(QPaintEvent *)
{
    const QRectF r(m_insets.left, m_insets.top, width() - m_insets.left - m_insets.right,
                   height() - m_insets.top - m_insets.bottom);
    const double ro = std::min(r.width(), r.height()) / 2;
    const double rf = ro - m_borderWidth;
    const QPointF centre = r.center();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (m_fillColor.alpha() < 1) {
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, rf, rf);
    }
    painter.setBrush(m_fillColor.toQColor());
    painter.drawEllipse(centre, rf, rf);

    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(centre, ro, ro);
    ring.addEllipse(centre, rf, rf);
    painter.setBrush(Qt::white);
    painter.drawPath(ring);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor::fromRgbF(0.2f, 0.2f, 0.2f), 1.0));
    painter.drawEllipse(centre, ro, ro);
    painter.drawEllipse(centre, rf, rf);
}
