#include "tools/MRKOToolColor.h"

MRKOToolColor &MRKOToolColor::toolColor()
{
    static MRKOToolColor model;
    return model;
}

QColor MRKOToolColor::defaultColor()
{
    return QColor::fromRgbF(1, 0, 0, 1);
}

MRKOToolColor::MRKOToolColor() : m_color(defaultColor()) {}
