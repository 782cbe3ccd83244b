#include "canvas/MRKODrawBaseLayer.h"

#include "canvas/MRKODraw.h"

#include <QPainter>

MRKODraw *MRKODrawBaseLayer::parentDrawView() const
{
    return m_parentDrawView.data();
}

void MRKODrawBaseLayer::setParentDrawView(MRKODraw *draw)
{
    m_parentDrawView = draw;
}

void MRKODrawBaseLayer::drawInContext(QPainter &painter, bool) const
{
    MRKODraw *draw = m_parentDrawView.data();
    if (!draw)
        return;
    const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : bounds();
    draw->drawRect(clip, painter);
}
