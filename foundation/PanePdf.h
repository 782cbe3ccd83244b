#pragma once

#include <QString>

class QWidget;

namespace inkora {

/// Writes the whole container, also what its scroll view hides, as one PDF page of its size in points: an opaque
/// grey of 0.13 (dark) or 0.95 (light), then the container's drawing. False with one log line when the file
/// cannot be written; `operation` names the caller in that line.
bool writePanePdf(QWidget &container, const QString &path, bool dark, const char *operation);

} // namespace inkora
