#include "tools/KVPaddedTextFieldCell.h"

QRectF KVPaddedTextFieldCell::drawingRectForBounds(const QRectF &rect) const
{
    if (m_leftPadding > 0 && rect.width() > m_leftPadding)
        return {rect.x() + m_leftPadding, rect.y(), rect.width() - m_leftPadding, rect.height()};
    return rect;
}
