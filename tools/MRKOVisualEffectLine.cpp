#include "tools/MRKOVisualEffectLine.h"

#include "tools/SeparatorBox.h"

MRKOVisualEffectLine::MRKOVisualEffectLine(const QSize &size, QWidget *parent) : QWidget(parent)
{
    resize(size);
    inkora::makeSeparatorBox(*this, QRectF(0, -2, width(), 5));
    inkora::makeSeparatorBox(*this, QRectF(0, height() - 3, width(), 5));
}
