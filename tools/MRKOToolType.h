#pragma once

#include <QtGlobal>

/// The drawing tool; the two low bits are its group, so a type is variant x 4 + group.
enum MRKOToolType : quint64 {
    MRKOToolTypeBrush = 0,
    MRKOToolTypeArrow = 1,
    MRKOToolTypeRectangle = 2,
    MRKOToolTypeText = 3,
    MRKOToolTypeQuickArrow = 4,
    MRKOToolTypeLine = 5,
    MRKOToolTypeEllipse = 6,
    MRKOToolTypePlainText = 7,
};

/// The tool group: the tool type modulo 4.
enum MRKOToolGroup : quint64 {
    MRKOToolGroupBrush = 0,
    MRKOToolGroupArrow = 1,
    MRKOToolGroupRectangle = 2,
    MRKOToolGroupText = 3,
};
