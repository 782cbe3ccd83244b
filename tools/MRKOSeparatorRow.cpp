#include "tools/MRKOSeparatorRow.h"

#include "tools/SeparatorBox.h"

#include <QFrame>

#include <cmath>

MRKOSeparatorRow::MRKOSeparatorRow(const QSize &size, QWidget *parent) : QWidget(parent)
{
    resize(size);
    m_separator = inkora::makeSeparatorBox(*this, separatorRect());
}

QRectF MRKOSeparatorRow::separatorRect() const
{
    return QRectF(0, std::floor(height() / 2.0) - 2, width(), 5);
}

void MRKOSeparatorRow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_separator)
        inkora::setFrameInParent(*m_separator, separatorRect());
}
