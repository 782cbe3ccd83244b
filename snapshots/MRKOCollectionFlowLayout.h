#pragma once

#include <QRectF>
#include <QtGlobal>

#include <utility>

/// Where the browser puts its items: one row of 170 x 150 point items from the left, 5 points apart, 10 points in
/// from every edge; a 1-point separator in the middle of each gap, 8 points shorter than an item at each end; the
/// drop-gap indicator 17 points wide before an item. Frames are in the browser's content points, y up from its
/// bottom left.
class MRKOCollectionFlowLayout final
{
public:
    static constexpr double kItemWidth = 170; // points
    static constexpr double kItemHeight = 150;
    static constexpr double kLineSpacing = 5;
    static constexpr double kInset = 10;

    [[nodiscard]] static QRectF frameForItem(qint64 index);
    /// The separator after the item; the last item has none.
    [[nodiscard]] static QRectF separatorFrameForItem(qint64 index, qint64 count);
    [[nodiscard]] static QRectF interItemGapBeforeItem(qint64 index);
    /// The content's width for `count` items, insets included.
    [[nodiscard]] static double contentWidth(qint64 count);
    /// The first and one past the last item whose frames meet [x, x + width).
    [[nodiscard]] static std::pair<qint64, qint64> itemsInRange(double x, double width, qint64 count);
    /// The item before which a drop at content x lands: 0 ... count.
    [[nodiscard]] static qint64 dropIndexAt(double x, qint64 count);
};
