#pragma once

#include <QtGlobal>

/// What happens to a finished drawing.
enum MRKODissolveMode : qint64 {
    MRKODissolveModeFade = 0,   // it fades out and never enters the canvas's list of drawings
    MRKODissolveModeFreeze = 1, // it stays, undoably
};
