#include "canvas/MRKOFlashlightImageView.h"

#include <QPainter>

MRKOFlashlightImageView::MRKOFlashlightImageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void MRKOFlashlightImageView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void MRKOFlashlightImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_image);
}
