#pragma once

#include <QtGlobal>

/// Where a canvas takes its stroke colour from.
enum MRKOColorType : qint64 {
    MRKOColorTypeRainbow = 0, // the shared hue, moving while drawing
    MRKOColorTypeCustom = 1,  // the tool colour
};
