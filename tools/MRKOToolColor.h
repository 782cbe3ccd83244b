#pragma once

#include <QColor>

/// The shared tool colour model: the colour a canvas strokes with when its colour type is custom. So far one
/// colour serves every tool; keeping colours per tool group or per tool comes with the tool bar.
class MRKOToolColor final
{
public:
    static MRKOToolColor &toolColor();
    /// Opaque sRGB red.
    [[nodiscard]] static QColor defaultColor();
    /// The flashlight's shade: "FlashlightBackgroundColor", else the default shade.
    [[nodiscard]] static QColor flashlightColor();
    /// sRGB black at alpha 0.5.
    [[nodiscard]] static QColor defaultFlashlightColor();

    /// A copy of the colour in force for the current tool.
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }

private:
    MRKOToolColor();

    QColor m_color;
};
