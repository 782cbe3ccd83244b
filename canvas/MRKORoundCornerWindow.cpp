#include "canvas/MRKORoundCornerWindow.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr double kCornerRadius = 12; // points
}

MRKORoundCornerWindow::MRKORoundCornerWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {}

QImage MRKORoundCornerWindow::cornerMask() const
{
    QImage mask(size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(path, Qt::black);
    return mask;
}

void MRKORoundCornerWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setMask(QBitmap::fromImage(cornerMask().createAlphaMask()));
}
