#include "snapshots/MRKOCollectionFlowLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kStep = MRKOCollectionFlowLayout::kItemWidth + MRKOCollectionFlowLayout::kLineSpacing;
constexpr double kSeparatorInset = 8; // points at each end
constexpr double kGapWidth = 17;
constexpr double kGapHeight = 170;

} // namespace

QRectF MRKOCollectionFlowLayout::frameForItem(qint64 index)
{
    return {kInset + double(index) * kStep, kInset, kItemWidth, kItemHeight};
}

QRectF MRKOCollectionFlowLayout::separatorFrameForItem(qint64 index, qint64 count)
{
    if (index < 0 || index + 1 >= count)
        return {};
    const QRectF item = frameForItem(index);
    const QRectF next = frameForItem(index + 1);
    const double offset = (next.x() - item.x() - item.width() - 1) / 2;
    return {item.x() + item.width() + offset, item.y() + kSeparatorInset, 1, item.height() - 2 * kSeparatorInset};
}

QRectF MRKOCollectionFlowLayout::interItemGapBeforeItem(qint64 index)
{
    const QRectF item = frameForItem(index);
    const double x = item.x() - std::ceil(kLineSpacing / 2);
    return {x - 8, item.y() - 10, kGapWidth, kGapHeight};
}

double MRKOCollectionFlowLayout::contentWidth(qint64 count)
{
    if (count <= 0)
        return 2 * kInset;
    return 2 * kInset + double(count) * kItemWidth + double(count - 1) * kLineSpacing;
}

std::pair<qint64, qint64> MRKOCollectionFlowLayout::itemsInRange(double x, double width, qint64 count)
{
    if (count <= 0 || width <= 0)
        return {0, 0};
    const qint64 first = std::clamp(qint64(std::floor((x - kInset + kLineSpacing) / kStep)), qint64(0), count);
    const qint64 last = std::clamp(qint64(std::ceil((x + width - kInset) / kStep)), qint64(0), count);
    return {first, std::max(first, last)};
}

qint64 MRKOCollectionFlowLayout::dropIndexAt(double x, qint64 count)
{
    const double position = (x - kInset + kLineSpacing / 2) / kStep;
    return std::clamp(qint64(std::floor(position + 0.5)), qint64(0), std::max<qint64>(count, 0));
}
