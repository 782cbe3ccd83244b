#include "tools/NSButton+ForceResetHighlight.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QAbstractButton>

namespace ForceResetHighlight {

void forceResetHighlight(QAbstractButton &button)
{
    isMouseIn::setSeeMouse(button, false);
    button.update();
}

} // namespace ForceResetHighlight
