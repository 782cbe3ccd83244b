#pragma once

#include "platform/Layer.h"

#include <QList>

#include <vector>

/// Which drawings the clear-except command keeps and which the eraser may act on, by the tool group of each
/// drawing's model (0 brush, 1 arrow, 2 rectangle, 3 text).
namespace VariFilters {

/// The groups that "CustomClearScreenMask" keeps: bit 2 brush, bit 4 arrow, bit 8 rectangle, bit 16 or 32 text.
[[nodiscard]] QList<qint64> excludedToolGroupsForClearCanvasExclusion();
/// The drawings the clear-except command keeps: none when no group is kept; drawings without a model count as
/// brush strokes. With the text bits exactly 32 only numeral badges of the text group are kept.
[[nodiscard]] std::vector<platform::LayerPtr>
filteredLayersForClearCanvasExclusion(const std::vector<platform::LayerPtr> &layers);

/// The groups the eraser leaves alone: 1, 2 and 3 by the three eraser settings.
[[nodiscard]] QList<qint64> excludedToolGroupsForEraser();
/// The drawings the eraser may act on, in order: all of them when no group is protected.
[[nodiscard]] std::vector<platform::LayerPtr>
filteredLayersWithExcludedToolGroups(const std::vector<platform::LayerPtr> &layers);

} // namespace VariFilters
