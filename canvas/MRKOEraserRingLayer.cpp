#include "canvas/MRKOEraserRingLayer.h"

#include "canvas/MRKODraw.h"
#include "platform/Transaction.h"

void MRKOEraserRingLayer::setUpLayer()
{
    platform::TransactionScope transaction(true);
    setBackgroundColor(Qt::transparent);
    setBorderColor(Qt::white);
    setBorderWidth(1.0);
    m_innerLayer = platform::Layer::create();
    m_innerLayer->setBackgroundColor(Qt::transparent);
    m_innerLayer->setBorderColor(Qt::black);
    m_innerLayer->setBorderWidth(1.0);
    addSublayer(m_innerLayer);
}

void MRKOEraserRingLayer::updatePosition()
{
    const auto *view = dynamic_cast<const MRKODraw *>(delegate());
    setEraserRingPosition(view ? view->mouseLocation() : QPointF());
}

void MRKOEraserRingLayer::setEraserRingPosition(QPointF p)
{
    const double s = m_ringSize + 1;
    // Without a view the point is the ring's corner rather than its centre.
    const auto *view = dynamic_cast<const MRKODraw *>(delegate());
    const QPointF origin = view ? p - QPointF(s / 2, s / 2) : p - QPointF(s, s);
    platform::TransactionScope transaction(true);
    setFrame(QRectF(origin, QSizeF(s, s)));
    setCornerRadius(s / 2);
    if (m_innerLayer) {
        m_innerLayer->setFrame(QRectF(1, 1, s - 2, s - 2));
        m_innerLayer->setCornerRadius((s - 2) / 2);
    }
}

void MRKOEraserRingLayer::setRingSize(double size)
{
    m_ringSize = size;
    updatePosition();
}

QRectF MRKOEraserRingLayer::eraserRingBoundsOuterEdge() const
{
    return QRectF(0, 0, m_ringSize + 1, m_ringSize + 1);
}

QRectF MRKOEraserRingLayer::eraserRingBoundsInnerEdge() const
{
    return QRectF(0, 0, m_ringSize, m_ringSize);
}
