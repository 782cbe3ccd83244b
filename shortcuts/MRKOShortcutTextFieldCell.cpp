#include "shortcuts/MRKOShortcutTextFieldCell.h"

QRectF MRKOShortcutTextFieldCell::drawingRectForBounds(const QRectF &bounds) const
{
    QRectF rect = bounds;
    if (m_leftPadding > 0 && bounds.width() > m_leftPadding) {
        rect.setX(rect.x() + m_leftPadding);
        rect.setWidth(bounds.width() - m_leftPadding);
    }
    return rect;
}
