#pragma once

#include <QtGlobal>

/// The stroke width chosen on the tool bar; canvases draw the presets 2, 5, 10, 15, 20 and 25 points wide.
enum MRKOThicknessPreset : quint64 {
    MRKOThicknessPresetUltralight = 0,
    MRKOThicknessPresetThin = 1,
    MRKOThicknessPresetLight = 2,
    MRKOThicknessPresetMedium = 3,
    MRKOThicknessPresetSemibold = 4,
    MRKOThicknessPresetBold = 5,
};
