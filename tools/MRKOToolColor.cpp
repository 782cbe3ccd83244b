#include "tools/MRKOToolColor.h"

MRKOToolColor &MRKOToolColor::toolColor()
{
    static MRKOToolColor model;
    return model;
}

inkora::SrgbColor MRKOToolColor::defaultColor()
{
    return {1, 0, 0, 1};
}

inkora::SrgbColor MRKOToolColor::drawingColor() const
{
    const inkora::SrgbColor current = color();
    return current.isValid() ? current : defaultColor();
}

MRKOToolColor::MRKOToolColor() : m_color(defaultColor()) {}
