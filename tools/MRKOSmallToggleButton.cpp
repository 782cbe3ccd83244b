#include "tools/MRKOSmallToggleButton.h"

#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "tools/NSButtonCell+isMouseIn.h"

void MRKOSmallToggleButton::drawRect(QPainter &painter, const QRectF &rect)
{
    const QImage icon = state() == 1 ? alternateImage() : image();
    QColor tint;
    if (isMouseIn::isMouseIn(*this))
        tint = isHighlighted() ? OnOffColor::iconPressedColor() : OnOffColor::iconOnColor();
    else
        tint = state() == 0 ? OnOffColor::iconOffColor() : OnOffColor::iconOnColor();
    ImageNamedWithColor::drawAlternateInRect(painter, icon, rect, tint);
}
