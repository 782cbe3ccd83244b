#pragma once

#include <QtGlobal>

/// What a press on a canvas does instead of drawing.
enum MRKOAuxAction : quint64 {
    MRKOAuxActionNone = 0,
    MRKOAuxActionMove = 1,
    MRKOAuxActionScissors = 2,
    MRKOAuxActionCopy = 3,
    MRKOAuxActionEraser = 4,
};
