#pragma once

#include <QPointF>
#include <QtGlobal>

namespace platform {

/// Pointer and key input sent through the window system as if it came from the devices, so that other programs
/// receive it. Global points count from the top left of the whole screen space, y down, as the window system
/// does.
class SyntheticInput
{
public:
    virtual ~SyntheticInput() = default;
    /// Left button down, then up, at the point; false when the input could not be sent.
    virtual bool clickAt(QPointF globalPoint) = 0;
    virtual bool movePointerTo(QPointF globalPoint) = 0;
    /// Key down, then key up of a key code (the program's key codes) for the program with the process id, whose
    /// window is activated first; 0 sends it to whatever has the keyboard focus.
    virtual bool postKeystroke(quint16 keyCode, qint64 processId) = 0;
};

} // namespace platform
