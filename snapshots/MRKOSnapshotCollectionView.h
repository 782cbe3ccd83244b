#pragma once

#include "snapshots/MRKOSnapshotManager.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class MRKOSnapshotItem;
class MRKOSnapshotsViewController;
class QDrag;
class QScrollBar;
namespace inkora {
class StepAnimation;
}

/// One horizontal row of the shown roll's items that scrolls sideways: it makes item views only for what is
/// visible, keeps the selection (Shift-click ranges from the last clicked item, Ctrl-click toggles), draws the
/// separators and the drop gap, and starts drags of the selected items. Content points are y up from the bottom
/// left of the content; the scroll origin is the content x at the view's left edge.
class MRKOSnapshotCollectionView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOSnapshotCollectionView(MRKOSnapshotsViewController &controller, QWidget *parent = nullptr);
    ~MRKOSnapshotCollectionView() override;

    [[nodiscard]] MRKOSnapshotsViewController &snapshotsViewController() const { return m_controller; }
    [[nodiscard]] qint64 numberOfItems() const { return m_count; }
    void reloadData();
    void insertItemAtZero();
    void deleteItems(const inkora::ItemIndexes &indexes);
    /// Moves (from, to) as one batch; the selection follows the moved items.
    void performBatchMoves(const std::vector<std::pair<qint64, qint64>> &moves);

    [[nodiscard]] const inkora::ItemIndexes &selectionIndexes() const { return m_selection; }
    /// Sets the selection (indexes beyond the items are dropped) and tells the controller.
    void setSelectionIndexes(const inkora::ItemIndexes &indexes);
    [[nodiscard]] std::optional<qint64> lastClickedIndex() const { return m_lastClicked; }
    void setLastClickedIndex(std::optional<qint64> index) { m_lastClicked = index; }

    [[nodiscard]] QPointF scrollOrigin() const { return {m_scrollX, 0}; }
    void setScrollOrigin(QPointF origin);
    [[nodiscard]] double maxScrollX() const;
    [[nodiscard]] inkora::ItemIndexes itemsIntersectingVisibleRect() const;
    /// Scrolls the item to the nearest edge; over 0.3 s when animated, then `completion`.
    void scrollToItem(qint64 index, bool animated, std::function<void()> completion);
    void setAlpha(double alpha);
    [[nodiscard]] double alpha() const { return m_alpha; }

    /// The item view shown at the index; null when it is scrolled out.
    [[nodiscard]] MRKOSnapshotItem *itemAtIndex(qint64 index) const;
    [[nodiscard]] std::optional<qint64> indexOfItem(const MRKOSnapshotItem *item) const;
    [[nodiscard]] std::optional<qint64> indexAtPoint(QPointF viewPoint) const;
    /// A content frame (y up) in this widget's Qt coordinates.
    [[nodiscard]] QRect viewRectForContentFrame(const QRectF &frame) const;

    // Clicks from the item views
    void itemPressed(MRKOSnapshotItem &item, Qt::KeyboardModifiers modifiers);
    void itemReleased(MRKOSnapshotItem &item, Qt::KeyboardModifiers modifiers, bool dragged);
    /// Before an item's menu: the clicked item joins the selection, a single other selection moves to it.
    void prepareSelectionForMenuOnItem(MRKOSnapshotItem &item);
    void startDragFromItem(MRKOSnapshotItem &item);

    [[nodiscard]] bool gapIndicatorShown() const { return m_gapIndex.has_value(); }
    [[nodiscard]] std::optional<qint64> gapIndex() const { return m_gapIndex; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void layOutItems();
    void updateScrollBar();
    void bindItem(MRKOSnapshotItem &item, qint64 index, const MRKOSnapshotManager::Records &records);
    [[nodiscard]] double contentXAt(double viewX) const { return viewX + m_scrollX; }

    MRKOSnapshotsViewController &m_controller;                   // owns this view
    QScrollBar *m_scrollBar = nullptr;                           // child
    std::map<qint64, std::unique_ptr<MRKOSnapshotItem>> m_items; // the visible ones by index
    std::vector<std::unique_ptr<MRKOSnapshotItem>> m_spareItems;
    std::unique_ptr<inkora::StepAnimation> m_scrollAnimation;
    inkora::ItemIndexes m_selection;
    std::optional<qint64> m_lastClicked;
    std::optional<qint64> m_gapIndex;
    qint64 m_count = 0;
    double m_scrollX = 0;
    double m_alpha = 1;
};
