#include "tools/NSButtonCell+isMouseIn.h"

#include <QAbstractButton>
#include <QVariant>

namespace isMouseIn {

namespace {

constexpr char kMouseInsideKey[] = "MouseInsideKey";

} // namespace

void setSeeMouse(QAbstractButton &button, bool inside)
{
    button.setProperty(kMouseInsideKey, inside);
}

bool seeMouse(const QAbstractButton &button)
{
    return button.property(kMouseInsideKey).toBool();
}

bool isMouseIn(const QAbstractButton &button)
{
    return seeMouse(button);
}

void mouseEntered(QAbstractButton &button)
{
    setSeeMouse(button, true);
    button.update();
}

void mouseExited(QAbstractButton &button)
{
    setSeeMouse(button, false);
    button.update();
}

} // namespace isMouseIn
