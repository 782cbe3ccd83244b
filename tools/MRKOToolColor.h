#pragma once

#include "foundation/SrgbColor.h"

/// The shared tool colour model: the colour a canvas strokes with when its colour type is custom. So far one
/// colour serves every tool; keeping colours per tool group or per tool comes with the tool bar.
class MRKOToolColor final
{
public:
    static MRKOToolColor &toolColor();
    /// Opaque sRGB red.
    [[nodiscard]] static inkora::SrgbColor defaultColor();

    /// A copy of the colour in force for the current tool.
    [[nodiscard]] inkora::SrgbColor color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color) { m_color = color; }
    /// The colour to paint with: the current colour, or the default one where there is none.
    [[nodiscard]] inkora::SrgbColor drawingColor() const;

private:
    MRKOToolColor();

    inkora::SrgbColor m_color;
};
