#include "app/LiveSettings.h"
#include "foundation/NSArray+VariFilters.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"

namespace VariFilters {

namespace {

constexpr qint64 kBrushBit = 2;
constexpr qint64 kArrowBit = 4;
constexpr qint64 kRectangleBit = 8;
constexpr qint64 kTextBit = 16;
constexpr qint64 kBadgeBit = 32;
constexpr qint64 kTextGroup = 3;

bool isNumeralBadge(const MRKOPill &)
{
    // TODO: ask the text model once it knows badges; until then no text object is a numeral badge.
    return false;
}

} // namespace

QList<qint64> excludedToolGroupsForClearCanvasExclusion()
{
    const qint64 mask = inkora::liveSettings().customClearScreenMask;
    QList<qint64> groups;
    if (mask & kBrushBit)
        groups.append(0);
    if (mask & kArrowBit)
        groups.append(1);
    if (mask & kRectangleBit)
        groups.append(2);
    if (mask & (kTextBit | kBadgeBit))
        groups.append(kTextGroup);
    return groups;
}

std::vector<platform::LayerPtr> filteredLayersForClearCanvasExclusion(const std::vector<platform::LayerPtr> &layers)
{
    const QList<qint64> excluded = excludedToolGroupsForClearCanvasExclusion();
    std::vector<platform::LayerPtr> kept;
    if (excluded.isEmpty())
        return kept;
    const qint64 mask = inkora::liveSettings().customClearScreenMask;
    const bool badgesOnly = (mask & (kTextBit | kBadgeBit)) == kBadgeBit;
    for (const platform::LayerPtr &layer : layers) {
        if (!layer)
            continue;
        const std::shared_ptr<MRKOPill> pill = OpaqueContent::pill(*layer);
        if (!pill) {
            if (mask & kBrushBit)
                kept.push_back(layer);
            continue;
        }
        if (!excluded.contains(pill->toolGroup()))
            continue;
        if (pill->toolGroup() == kTextGroup && badgesOnly && !isNumeralBadge(*pill))
            continue;
        kept.push_back(layer);
    }
    return kept;
}

QList<qint64> excludedToolGroupsForEraser()
{
    const inkora::LiveSettings &live = inkora::liveSettings();
    QList<qint64> groups;
    if (live.eraserPreserveArrowLine)
        groups.append(1);
    if (live.eraserPreserveRectEllipse)
        groups.append(2);
    if (live.eraserPreserveText)
        groups.append(kTextGroup);
    return groups;
}

std::vector<platform::LayerPtr> filteredLayersWithExcludedToolGroups(const std::vector<platform::LayerPtr> &layers)
{
    const QList<qint64> excluded = excludedToolGroupsForEraser();
    if (excluded.isEmpty())
        return layers;
    std::vector<platform::LayerPtr> result;
    for (const platform::LayerPtr &layer : layers) {
        if (!layer)
            continue;
        const std::shared_ptr<MRKOPill> pill = OpaqueContent::pill(*layer);
        if (!pill || !excluded.contains(pill->toolGroup()))
            result.push_back(layer);
    }
    return result;
}

} // namespace VariFilters
