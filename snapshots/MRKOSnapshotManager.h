#pragma once

#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class MRKOSnapshot;
class MRKOSnapshotCollectionView;
class MRKOSnapshotInfoProtocol;
class MRKOSnapshotPanel;
class MRKOSnapshotsViewController;
class QMenu;
class QWidget;
class SnapInfo;
namespace inkora {
class CanvasBackup;
/// Item indexes of the browser's one section, ascending.
using ItemIndexes = std::set<qint64>;
} // namespace inkora

/// The one controller between the snapshot roll and bin, the windows that show them, the canvases and the
/// application: it names and adds new shots, keeps which roll the browser shows with its scroll position, selection
/// and search, removes shots into the bin and puts them back, reorders them, drives the preview, and keeps the
/// drawings of every display across display changes and launches. Main thread only.
class MRKOSnapshotManager final
{
public:
    using Record = std::shared_ptr<MRKOSnapshotInfoProtocol>;
    using Records = std::vector<Record>;
    static constexpr qint64 kNotFound = -1;
    /// The delete question's answers.
    static constexpr qint64 kTrashResponseCancel = 3001;
    static constexpr qint64 kTrashResponseDelete = 3002;
    static constexpr qint64 kTrashResponseMoveToBin = 3003;

    [[nodiscard]] static MRKOSnapshotManager &sharedSnapshotManager();
    /// Whether the manager has been made: before that no shot, backup or panel exists, and the stores stay closed.
    [[nodiscard]] static bool isMade();
    ~MRKOSnapshotManager();
    MRKOSnapshotManager(const MRKOSnapshotManager &) = delete;
    MRKOSnapshotManager &operator=(const MRKOSnapshotManager &) = delete;

    /// The browser registers itself when the panel makes it.
    void setSnapshotsViewController(MRKOSnapshotsViewController *controller);
    [[nodiscard]] MRKOSnapshotsViewController *snapshotsViewController() const;
    /// The panel; null until it has been made.
    [[nodiscard]] static MRKOSnapshotPanel *panel();

    // Class queries and the panel
    [[nodiscard]] static bool panelHasInit();
    [[nodiscard]] static bool wantsToRemoveSnapshot();
    [[nodiscard]] static bool wantsToSelectAllSnapshots();
    [[nodiscard]] static bool mouseOverSnapshotsPanel();
    [[nodiscard]] static bool panelHasSheetWindow();
    [[nodiscard]] static bool panelExportingFiles();
    [[nodiscard]] static bool isPanelShown();
    static void togglePanel();
    /// `completion` runs once the panel is up.
    static void showPanel(std::function<void()> completion = {});
    static void hidePanelIfNeeded();
    static void hidePanelIfNeededAnimated();
    static void hidePanelAnimated(bool animated);
    static void ensureKeyWindowIfNeededAfterDelay();
    /// The drawings of every display into the Documents folder (at quit with `mainThread`, by the autosave without);
    /// false when saving and loading is not wanted.
    static bool saveCanvasToDocumentsIfNeededMainThread(bool mainThread);

    // Fields
    [[nodiscard]] quint64 snapshotsCount() const { return m_snapshotsCount; }
    void setSnapshotsCount(quint64 count) { m_snapshotsCount = count; }
    [[nodiscard]] quint64 dazadUdizsCount() const { return m_dazadUdizsCount; }
    void setDazadUdizsCount(quint64 count) { m_dazadUdizsCount = count; }
    [[nodiscard]] const QString &currentSearch() const { return m_currentSearch; }
    [[nodiscard]] qint64 shotsViewType() const { return m_shotsViewType; }
    [[nodiscard]] qint64 trashResponse() const { return m_trashResponse; }
    void setTrashResponse(qint64 response) { m_trashResponse = response; }
    [[nodiscard]] const std::array<qint64, 3> &countChanges() const { return m_countChanges; }
    [[nodiscard]] bool snapshotNameEditing() const { return m_snapshotNameEditing; }
    /// Ending an edit saves the roll.
    void setSnapshotNameEditing(bool editing);
    [[nodiscard]] bool inSearch() const { return m_inSearch; }
    [[nodiscard]] const std::vector<std::shared_ptr<MRKOSnapshot>> &backupSnapshots() const;
    [[nodiscard]] const Records &filtered() const { return m_filtered; }
    [[nodiscard]] const Records &tempSelectedSnapshots() const { return m_tempSelectedSnapshots; }

    // Derived lists
    [[nodiscard]] Records dataSource() const;
    /// What the browser shows: the search result while searching, else the data source.
    [[nodiscard]] Records snapshots() const;
    [[nodiscard]] qint64 selectedIndex() const;
    [[nodiscard]] Record selectedSnapshot() const;
    [[nodiscard]] Records selectedSnapshots() const;
    [[nodiscard]] qint64 collectionViewType() const { return m_shotsViewType; }

    // Panel state
    [[nodiscard]] bool snapshotSequenceHasItems() const;
    [[nodiscard]] bool isShownAndHasItemsToSelect() const;
    [[nodiscard]] bool isShownAndHasSelection() const;
    [[nodiscard]] bool wantsToShowQuickLook() const { return isShownAndHasSelection(); }
    void moveLeft();
    void moveRight();

    // Preview
    void toggleQuickLook();
    void showQuickLookIfNeeded();
    void showSnapshotInQuickLook(const Record &record);
    void validateQuicklookSnapshot();
    void hideQuickLookIfNeededAnimated(bool animated);
    void showSelectedSnapshotIfNeeded();
    [[nodiscard]] bool isItemVisibleInVisibleRectAtIndex(qint64 index) const;
    [[nodiscard]] inkora::ItemIndexes itemsIntersectingVisibleRect() const;

    // Search and selection
    void startSearch();
    void endSearch();
    void updateSearchWithString(const QString &text);
    void deselectAll();
    void selectAll();
    void updateTempSelectedSnapshots();
    void removeTempSelectedSnapshots();
    void selectFirstSnapshotInSequence();
    [[nodiscard]] inkora::ItemIndexes convertSnapshotsToIndexes(const Records &records) const;

    // Adding and applying
    /// "Snapshot n" and "DazadUdiz n": the names the next new shots get.
    [[nodiscard]] QString snapshotName() const;
    [[nodiscard]] QString dazadUdizName() const;
    std::shared_ptr<SnapInfo> addSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot);
    std::shared_ptr<SnapInfo> addDazadUdiz(const std::shared_ptr<MRKOSnapshot> &snapshot);
    void showAddedSnapshotInWindowIfNeeded(const std::shared_ptr<SnapInfo> &info);
    void applySelectedSnapshot();
    /// The export menu below the sender; a DazadUdiz's screen image is exported at once.
    void shareSelectedSnapshotWithSender(QWidget *sender);
    /// Renames with an undo step "Name Change" registered against the record; an empty or equal name does nothing.
    void renameSnapshot(const Record &record, const QString &name);

    // Exporting and the snapshot files (the export sheet shows progress; loops run on the global queue)
    void saveSelectedIndexesWithMethod(const inkora::ItemIndexes &indexes, quint64 method);
    /// `done` runs on the main queue once the loop ended, written or not.
    void saveSnapshotsAsyncToPathsWithMethod(const Records &records, const QStringList &paths, quint64 method,
                                             std::function<void()> done = {});
    /// Without indexes every shot shown is saved.
    void saveMultiPagesPDFWithPanelFull(bool withScreenShot, const std::optional<inkora::ItemIndexes> &indexes);
    void savePDFWithPath(const QString &path, bool withScreenShot, const std::optional<inkora::ItemIndexes> &indexes,
                         bool straightOrder);
    /// Returns the path written: the free path for `path` in its folder.
    QString saveSnapshotsAsPDFWithPath(const Records &records, const QString &path, bool withScreenShot,
                                       bool straightOrder, std::function<void()> done = {});
    void saveSelectedSnapshotWithSender(QWidget *sender);
    [[nodiscard]] std::unique_ptr<QMenu> saveMenu(bool withLoad);
    void saveSelectedSnapshotsAs();
    void saveAllSnapshots();
    void saveSnapshotWithSavePanel(const Record &record);
    /// Without records every shot of the Snapshots roll.
    void saveSnapshotsWithOpenPanel(const std::optional<Records> &records);
    void saveSnapshotsToURL(const Records &records, const QString &folder);
    void loadSnapshots();

    // Putting back, removing, reordering
    void putBackSelectedSnapshots();
    void putBackSnapshot(const Record &record);
    void putBackSnapshotsAtIndexes(const inkora::ItemIndexes &indexes);
    void highlightTopBarSegment(qint64 viewType);
    /// Drop of items (ascending indexes of the shown list) before the item at `index` of the list before the move.
    bool moveSnapshotsAtIndexesToIndex(const std::vector<qint64> &indexes, qint64 index);
    void removeFromTrashWithResponse(qint64 response);
    void removeAllSnapshots();
    void removeSelectedSnapshots();
    void removeSnapshotsAtIndexes(const inkora::ItemIndexes &indexes);
    void removeItemsFromFilteredIfNeeded(const inkora::ItemIndexes &indexes);
    /// Empties the bin at quit, files included.
    void cleanUpTrashIfNeeded();
    void cleanUpUndoForItemAtIndex(qint64 index);
    void cleanUpUndoForCollectionAtIndexes(const inkora::ItemIndexes &indexes);
    [[nodiscard]] inkora::ItemIndexes convertIndexesToDataSource(const inkora::ItemIndexes &indexes) const;
    [[nodiscard]] inkora::ItemIndexes sourceIndexSetForCollectionIndexes(const inkora::ItemIndexes &indexes) const;

    // The browser's roll
    void showCollectionWithViewType(qint64 viewType);
    void validatePanelControlsIfNeeded();
    void resetFirstResponderIfNeeded();
    void applicationDidChangeScreenParameters();

    // The drawings of every display
    void createSnapshotsBackupIfNeeded();
    void loadBackedUpSnapshotsToCanvasIfNeeded();
    void loadCanvasFromDocumentsIfNeeded();
    /// Waits for the backup writes still queued.
    void waitForBackupWrites();

private:
    MRKOSnapshotManager();
    std::shared_ptr<SnapInfo> addShot(const std::shared_ptr<MRKOSnapshot> &snapshot, qint64 type);
    void recordWillBeDropped(const std::shared_ptr<SnapInfo> &info);
    [[nodiscard]] bool panelShown() const;
    [[nodiscard]] MRKOSnapshotCollectionView *collection() const;
    [[nodiscard]] inkora::ItemIndexes selectionIndexes() const;
    void setSelectionIndexes(const inkora::ItemIndexes &indexes);
    [[nodiscard]] static bool isQuickLookVisible();
    /// The export sheet's text, then the loop on the global queue over the count, stopping at a cancel.
    void runExport(const QString &message, qint64 count, std::function<void(qint64)> item, std::function<void()> done);

    quint64 m_snapshotsCount = 0;
    quint64 m_dazadUdizsCount = 0;
    QString m_currentSearch;
    qint64 m_shotsViewType = 0;
    qint64 m_trashResponse = 0;
    std::array<qint64, 3> m_countChanges{};
    std::array<QPointF, 3> m_scrollPoints{};
    std::array<inkora::ItemIndexes, 3> m_selections{};
    bool m_snapshotNameEditing = false;
    bool m_inSearch = false;
    Records m_filtered;
    Records m_tempSelectedSnapshots;
    std::unique_ptr<inkora::CanvasBackup> m_backup;
    QPointer<MRKOSnapshotsViewController> m_snapshotsViewController; // not owned; lives with the panel
};
