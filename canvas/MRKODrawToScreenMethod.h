#pragma once

#include <QtGlobal>

/// How the stroke cache reaches the screen ("DrawToScreenMethod").
enum MRKODrawToScreenMethod : qint64 {
    MRKODrawToScreenMethodDataProvider = 0,    // straight from the cache's own memory
    MRKODrawToScreenMethodCreateImage = 1,     // from a copy of the dirty part
    MRKODrawToScreenMethodCopyDirtyPixels = 2, // the dirty rows copied with the opacity baked in
};
