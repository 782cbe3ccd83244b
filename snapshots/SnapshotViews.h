#pragma once

#include <QPointF>
#include <QRectF>

#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class MRKOSnapshotInfoProtocol;

namespace inkora {

/// Item indexes of the browser's one section, ascending.
using ItemIndexes = std::set<qint64>;

/// What the snapshot manager drives of the windows around the roll: the panel with its browser and tool bar, the
/// preview window and the window that announces a new shot. The manager is their only caller; until they exist the
/// manager runs without them, as with a panel that was never made.
class SnapshotViews
{
public:
    virtual ~SnapshotViews() = default;

    // The panel
    /// Whether the panel has been made; every other query of the panel answers no while it has not.
    [[nodiscard]] virtual bool panelHasInit() const = 0;
    [[nodiscard]] virtual bool isPanelShown() const = 0;
    /// Global points, y up.
    [[nodiscard]] virtual QRectF panelFrame() const = 0;
    [[nodiscard]] virtual bool hasQuestionWindow() const = 0;
    [[nodiscard]] virtual bool hasExportOverlay() const = 0;
    [[nodiscard]] virtual bool isPanelKeyWindow() const = 0;
    /// Makes the panel when needed and slides it up (`open`) or down over `duration` seconds, ease in and out; the
    /// panel is ordered out after sliding down. `completion` runs when the slide ends.
    virtual void slidePanel(bool open, double duration, std::function<void()> completion) = 0;
    virtual void setPanelInAnimation(bool inAnimation) = 0;
    /// The first-time tip at the panel's roll switch.
    virtual void showSnapshotsToolTip() = 0;
    /// The delete question of Recently Deleted; the answer comes back through the manager.
    virtual void askAQuestion() = 0;
    virtual void removeQuestionWindowIfNeeded() = 0;
    virtual void makePanelFirstResponderNil() = 0;
    virtual void makePanelKey() = 0;
    virtual void validateTopControl() = 0;
    virtual void validateAddButton() = 0;
    /// Flashes the roll switch's segment of the view type.
    virtual void highlightSegment(qint64 viewType) = 0;
    virtual void applicationDidChangeScreenParameters() = 0;

    // The browser; indexes count in the list the manager shows
    /// Whether the browser's view controller has registered itself.
    [[nodiscard]] virtual bool hasBrowser() const = 0;
    virtual void reloadData() = 0;
    virtual void insertNewSnapshotAnimated() = 0;
    virtual void removeSnapshotsAtIndexes(const ItemIndexes &indexes) = 0;
    virtual void validateAfterSelection() = 0;
    virtual void selectionDidChanged() = 0;
    [[nodiscard]] virtual ItemIndexes selectionIndexes() const = 0;
    virtual void setSelectionIndexes(const ItemIndexes &indexes) = 0;
    /// Items whose view frame meets the browser's visible rectangle.
    [[nodiscard]] virtual ItemIndexes itemsIntersectingVisibleRect() const = 0;
    /// Scrolls the item to the nearest vertical edge; inside a 0.3 s animation group when `animated`, whose end runs
    /// `completion`.
    virtual void scrollToItem(qint64 index, bool animated, std::function<void()> completion) = 0;
    [[nodiscard]] virtual QPointF scrollOrigin() const = 0;
    virtual void setScrollOrigin(QPointF origin) = 0;
    virtual void setCollectionAlpha(double alpha) = 0;
    /// One animated batch of item moves (from, to); `completion` runs when it ends.
    virtual void performBatchMoves(const std::vector<std::pair<qint64, qint64>> &moves,
                                   std::function<void()> completion) = 0;
    virtual void moveLeft() = 0;
    virtual void moveRight() = 0;
    /// What the item's inline name editing registers its undo actions with; null when none.
    [[nodiscard]] virtual const void *itemUndoTarget(qint64 index) const = 0;
    virtual void shareItem(qint64 index) = 0;
    /// The browser tool bar's buttons follow the selection.
    virtual void validateToolbarButtons() = 0;

    // The preview
    [[nodiscard]] virtual bool isQuickLookVisible() const = 0;
    [[nodiscard]] virtual const MRKOSnapshotInfoProtocol *quickLookRecord() const = 0;
    virtual void setQuickLookRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record) = 0;
    virtual void showQuickLookWithRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record) = 0;
    virtual void hideQuickLookAnimated(bool animated) = 0;

    // The window that announces a new shot
    virtual void showAddedWindowWithRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record) = 0;
    virtual void hideAddedWindowIfShown() = 0;
};

} // namespace inkora
