#pragma once

#include <QtGlobal>

/// What one export writes: the format and whether the screen image is part of it.
enum MRKOExportMethod : quint64 {
    MRKOExportMethodPSD = 0,
    MRKOExportMethodPNG = 1,
    MRKOExportMethodPDF = 2,
    MRKOExportMethodDrawingsPSD = 3,
    MRKOExportMethodDrawingsPNG = 4,
    MRKOExportMethodDrawingsPDF = 5,
    MRKOExportMethodMultiPagePDF = 6,
    MRKOExportMethodMultiPageDrawingsPDF = 7,
    MRKOExportMethodScreenShotPNG = 8,
};
