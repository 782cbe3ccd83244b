#include "snapshots/MRKOSnapshotManager.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/TextScanning.h"
#include "platform/Dispatch.h"
#include "platform/UndoManager.h"
#include "snapshots/CanvasBackup.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotAddedWindow.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotItemView.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotQuicklook.h"
#include "snapshots/MRKOSnapshotToolbar.h"
#include "snapshots/MRKOSnapshotView.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/SnapshotItemMenus.h"
#include "snapshots/StoreRecord.h"

#include <QCursor>
#include <QWidget>

#include <algorithm>
#include <atomic>

namespace {

constexpr double kSearchAgainDelay = 0.1; // seconds after a shot was added while searching
constexpr double kKeyWindowDelay = 0.1;   // seconds
constexpr double kPanelSlideDuration = 0.25;

template <typename T> MRKOSnapshotManager::Records asRecords(const std::vector<std::shared_ptr<T>> &objects)
{
    return {objects.begin(), objects.end()};
}

qint64 indexOf(const MRKOSnapshotManager::Records &records, const MRKOSnapshotInfoProtocol *record)
{
    const auto it = std::find_if(records.begin(), records.end(), [record](const auto &r) { return r.get() == record; });
    return it == records.end() ? MRKOSnapshotManager::kNotFound : qint64(it - records.begin());
}

} // namespace

namespace {

std::atomic<bool> s_made = false;

} // namespace

MRKOSnapshotManager &MRKOSnapshotManager::sharedSnapshotManager()
{
    static MRKOSnapshotManager manager;
    return manager;
}

bool MRKOSnapshotManager::isMade()
{
    return s_made.load();
}

MRKOSnapshotManager::MRKOSnapshotManager() : m_backup(std::make_unique<inkora::CanvasBackup>())
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    m_snapshotsCount = quint64(roll.items().size());
    m_dazadUdizsCount = quint64(roll.dazadUdizsItems().size());
    roll.setWriteFailureHandler([this](const std::shared_ptr<SnapInfo> &info) { recordWillBeDropped(info); });
    s_made = true;
}

MRKOSnapshotManager::~MRKOSnapshotManager() = default;

void MRKOSnapshotManager::setSnapshotsViewController(MRKOSnapshotsViewController *controller)
{
    m_snapshotsViewController = controller;
}

MRKOSnapshotsViewController *MRKOSnapshotManager::snapshotsViewController() const
{
    return m_snapshotsViewController;
}

MRKOSnapshotPanel *MRKOSnapshotManager::panel()
{
    return MRKOSnapshotPanel::panelHasInit() ? &MRKOSnapshotPanel::sharedSnapshotPanel() : nullptr;
}

MRKOSnapshotCollectionView *MRKOSnapshotManager::collection() const
{
    return m_snapshotsViewController ? m_snapshotsViewController->collectionView() : nullptr;
}

inkora::ItemIndexes MRKOSnapshotManager::selectionIndexes() const
{
    const MRKOSnapshotCollectionView *view = collection();
    return view ? view->selectionIndexes() : inkora::ItemIndexes();
}

void MRKOSnapshotManager::setSelectionIndexes(const inkora::ItemIndexes &indexes)
{
    if (MRKOSnapshotCollectionView *view = collection())
        view->setSelectionIndexes(indexes);
}

bool MRKOSnapshotManager::isQuickLookVisible()
{
    return MRKOSnapshotQuicklook::isMade() && MRKOSnapshotQuicklook::sharedSnapshotQuicklook().isShown();
}

// ---------------------------------------------------------------------------------------------------------------
// Class queries and the panel

bool MRKOSnapshotManager::panelHasInit()
{
    return MRKOSnapshotPanel::panelHasInit();
}

bool MRKOSnapshotManager::panelShown() const
{
    const MRKOSnapshotPanel *shown = panel();
    return shown && shown->isVisible();
}

bool MRKOSnapshotManager::wantsToRemoveSnapshot()
{
    return panelHasInit() && !panelHasSheetWindow() && sharedSnapshotManager().isShownAndHasSelection();
}

bool MRKOSnapshotManager::wantsToSelectAllSnapshots()
{
    return panelHasInit() && !panelHasSheetWindow() && sharedSnapshotManager().isShownAndHasItemsToSelect();
}

bool MRKOSnapshotManager::mouseOverSnapshotsPanel()
{
    if (!isMade())
        return false;
    const MRKOSnapshotManager &manager = sharedSnapshotManager();
    return manager.panelShown() && panel()->frame().contains(AppDelegate::mouseLocation());
}

bool MRKOSnapshotManager::panelHasSheetWindow()
{
    return panelHasInit() && panel()->hasQuestionWindow();
}

bool MRKOSnapshotManager::panelExportingFiles()
{
    return panelHasInit() && panel()->hasExportOverlay();
}

bool MRKOSnapshotManager::isPanelShown()
{
    if (!isMade())
        return false;
    return sharedSnapshotManager().panelShown();
}

void MRKOSnapshotManager::togglePanel()
{
    if (isPanelShown())
        hidePanelAnimated(true);
    else
        showPanel();
}

void MRKOSnapshotManager::showPanel(std::function<void()> completion)
{
    if (isPanelShown())
        return;
    if (MRKOSnapshotAddedWindow::isMade())
        MRKOSnapshotAddedWindow::sharedWindow().hideIfShown();
    MRKOSnapshotPanel &shown = MRKOSnapshotPanel::sharedSnapshotPanel();
    sharedSnapshotManager().validatePanelControlsIfNeeded();
    shown.setInAnimation(true);
    shown.slide(true, kPanelSlideDuration, [completion = std::move(completion)] {
        MRKOSnapshotPanel::sharedSnapshotPanel().setInAnimation(false);
        if (completion)
            completion();
    });
}

void MRKOSnapshotManager::hidePanelAnimated(bool)
{
    if (!isMade())
        return;
    MRKOSnapshotManager &manager = sharedSnapshotManager();
    MRKOSnapshotPanel *shown = panel();
    if (!shown)
        return;
    // The slide runs either way; only the preview goes at once.
    manager.hideQuickLookIfNeededAnimated(false);
    shown->removeQuestionWindowIfNeeded();
    shown->makeFirstResponderNil();
    shown->setInAnimation(true);
    shown->slide(false, kPanelSlideDuration, [shown] { shown->setInAnimation(false); });
    if (!MRKODraw::isTextEditing())
        MRKOUtils::registerKeysForTypingIfNeeded();
}

void MRKOSnapshotManager::hidePanelIfNeeded()
{
    if (isPanelShown())
        hidePanelAnimated(false);
}

void MRKOSnapshotManager::hidePanelIfNeededAnimated()
{
    if (isPanelShown())
        hidePanelAnimated(true);
}

void MRKOSnapshotManager::ensureKeyWindowIfNeededAfterDelay()
{
    platform::DispatchQueue::main().after(kKeyWindowDelay, [] {
        MRKOSnapshotPanel *shown = panel();
        if (shown && sharedSnapshotManager().snapshotNameEditing() && !shown->isKeyWindow())
            shown->makeKeyWindow();
    });
}

bool MRKOSnapshotManager::saveCanvasToDocumentsIfNeededMainThread(bool mainThread)
{
    const AppDelegate *app = AppDelegate::shared();
    if (!app || !app->wantsToSaveAndLoad())
        return false;
    return sharedSnapshotManager().m_backup->saveCanvasToDocuments(mainThread);
}

// ---------------------------------------------------------------------------------------------------------------
// Fields and lists

void MRKOSnapshotManager::setSnapshotNameEditing(bool editing)
{
    m_snapshotNameEditing = editing;
    if (MRKOSnapshotPanel *shown = panel())
        shown->updateAcceptsFocus();
    if (!editing)
        MRKOPersistentData::sharedData().saveAction();
}

void MRKOSnapshotManager::renameSnapshot(const Record &record, const QString &name)
{
    auto *stored = dynamic_cast<inkora::StoreRecord *>(record.get());
    if (!stored || name.isEmpty() || name == record->name())
        return;
    const QString previous = record->name();
    const std::weak_ptr<MRKOSnapshotInfoProtocol> weak = record;
    platform::UndoManager &undo = AppDelegate::undoManager();
    // Against the record, not the item view, which may show another shot by the time this is undone.
    undo.registerUndo(std::weak_ptr<const void>(record), [weak, previous] {
        if (const Record strong = weak.lock())
            sharedSnapshotManager().renameSnapshot(strong, previous);
    });
    undo.setActionName(QStringLiteral("Name Change"));
    stored->setName(name);
    MRKOPersistentData::sharedData().saveAction();
    if (MRKOSnapshotCollectionView *view = collection()) {
        const qint64 index = indexOf(snapshots(), record.get());
        if (MRKOSnapshotItem *item = index == kNotFound ? nullptr : view->itemAtIndex(index))
            item->view().setName(name);
    }
    if (isQuickLookVisible() && MRKOSnapshotQuicklook::sharedSnapshotQuicklook().snapshot() == record)
        MRKOSnapshotQuicklook::sharedSnapshotQuicklook().setSnapshot(record);
}

const std::vector<std::shared_ptr<MRKOSnapshot>> &MRKOSnapshotManager::backupSnapshots() const
{
    return m_backup->snapshots();
}

MRKOSnapshotManager::Records MRKOSnapshotManager::dataSource() const
{
    if (m_shotsViewType == 2)
        return asRecords(MRKOPersistentTrash::sharedTrash().sequences());
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    return asRecords(m_shotsViewType == 1 ? roll.dazadUdizsItems() : roll.items());
}

MRKOSnapshotManager::Records MRKOSnapshotManager::snapshots() const
{
    return m_inSearch ? m_filtered : dataSource();
}

qint64 MRKOSnapshotManager::selectedIndex() const
{
    const inkora::ItemIndexes selection = selectionIndexes();
    return selection.empty() ? kNotFound : *selection.begin();
}

MRKOSnapshotManager::Record MRKOSnapshotManager::selectedSnapshot() const
{
    const qint64 index = selectedIndex();
    const Records shown = snapshots();
    return index >= 0 && index < qint64(shown.size()) ? shown[size_t(index)] : nullptr;
}

MRKOSnapshotManager::Records MRKOSnapshotManager::selectedSnapshots() const
{
    Records selected;
    const Records shown = snapshots();
    for (const qint64 index : selectionIndexes()) {
        if (index >= 0 && index < qint64(shown.size()))
            selected.push_back(shown[size_t(index)]);
    }
    return selected;
}

bool MRKOSnapshotManager::snapshotSequenceHasItems() const
{
    return !MRKOPersistentData::sharedData().items().empty();
}

bool MRKOSnapshotManager::isShownAndHasItemsToSelect() const
{
    return panelShown() && !snapshots().empty();
}

bool MRKOSnapshotManager::isShownAndHasSelection() const
{
    const qint64 index = selectedIndex();
    return panelShown() && index >= 0 && index < qint64(snapshots().size());
}

void MRKOSnapshotManager::moveLeft()
{
    if (m_snapshotsViewController)
        m_snapshotsViewController->moveLeft();
}

void MRKOSnapshotManager::moveRight()
{
    if (m_snapshotsViewController)
        m_snapshotsViewController->moveRight();
}

// ---------------------------------------------------------------------------------------------------------------
// Preview

void MRKOSnapshotManager::toggleQuickLook()
{
    if (selectedSnapshot() && !isQuickLookVisible())
        showQuickLookIfNeeded();
    else if (isQuickLookVisible())
        MRKOSnapshotQuicklook::sharedSnapshotQuicklook().hideQuickLookAnimated(true);
}

void MRKOSnapshotManager::showQuickLookIfNeeded()
{
    showSelectedSnapshotIfNeeded();
    if (const Record selected = selectedSnapshot())
        showSnapshotInQuickLook(selected);
}

void MRKOSnapshotManager::showSnapshotInQuickLook(const Record &record)
{
    if (!record)
        return;
    MRKOSnapshotQuicklook &quicklook = MRKOSnapshotQuicklook::sharedSnapshotQuicklook();
    if (quicklook.isShown())
        quicklook.setSnapshot(record);
    else
        quicklook.showQuickLookWithSnapshot(record);
}

void MRKOSnapshotManager::validateQuicklookSnapshot()
{
    if (!isQuickLookVisible())
        return;
    MRKOSnapshotQuicklook &quicklook = MRKOSnapshotQuicklook::sharedSnapshotQuicklook();
    const Record selected = selectedSnapshot();
    if (selected && quicklook.snapshot() != selected)
        quicklook.setSnapshot(selected);
    else if (!selected)
        quicklook.hideQuickLookAnimated(true);
}

void MRKOSnapshotManager::hideQuickLookIfNeededAnimated(bool animated)
{
    if (isQuickLookVisible())
        MRKOSnapshotQuicklook::sharedSnapshotQuicklook().hideQuickLookAnimated(animated);
}

void MRKOSnapshotManager::showSelectedSnapshotIfNeeded()
{
    const qint64 index = selectedIndex();
    if (collection() && index >= 0 && index < qint64(snapshots().size()) && !isItemVisibleInVisibleRectAtIndex(index))
        collection()->scrollToItem(index, true, {});
}

bool MRKOSnapshotManager::isItemVisibleInVisibleRectAtIndex(qint64 index) const
{
    return itemsIntersectingVisibleRect().count(index) > 0;
}

inkora::ItemIndexes MRKOSnapshotManager::itemsIntersectingVisibleRect() const
{
    return collection() ? collection()->itemsIntersectingVisibleRect() : inkora::ItemIndexes();
}

// ---------------------------------------------------------------------------------------------------------------
// Search and selection

void MRKOSnapshotManager::startSearch()
{
    updateTempSelectedSnapshots();
    m_inSearch = true;
}

void MRKOSnapshotManager::endSearch()
{
    m_inSearch = false;
    m_currentSearch.clear();
}

void MRKOSnapshotManager::updateSearchWithString(const QString &text)
{
    const Records source = dataSource();
    m_filtered.clear();
    if (!source.empty() && !text.isEmpty()) {
        m_currentSearch = text;
        const QString folded = inkora::searchFolded(text);
        const auto matches = [&](const QString &name) { return inkora::searchFolded(name).contains(folded); };
        for (const Record &record : source) {
            bool match = matches(record->name());
            if (!match && m_shotsViewType == 2) {
                if (const auto *sequence = dynamic_cast<const Sequence *>(record.get()))
                    match = matches(sequence->firstInfoName());
            }
            if (match)
                m_filtered.push_back(record);
        }
    }
    if (m_snapshotsViewController)
        m_snapshotsViewController->reloadData();
    if (m_tempSelectedSnapshots.empty())
        return;
    platform::DispatchQueue::main().async([this] {
        const inkora::ItemIndexes indexes = convertSnapshotsToIndexes(m_tempSelectedSnapshots);
        if (m_snapshotsViewController) {
            if (!indexes.empty())
                setSelectionIndexes(indexes);
            m_snapshotsViewController->validateAfterSelection();
        }
        if (m_inSearch)
            updateTempSelectedSnapshots();
        else
            removeTempSelectedSnapshots();
    });
}

void MRKOSnapshotManager::deselectAll()
{
    if (!m_snapshotsViewController)
        return;
    setSelectionIndexes({});
    m_snapshotsViewController->validateAfterSelection();
}

void MRKOSnapshotManager::selectAll()
{
    if (!m_snapshotsViewController)
        return;
    inkora::ItemIndexes all;
    for (qint64 i = 0; i < qint64(snapshots().size()); ++i)
        all.insert(i);
    setSelectionIndexes(all);
    m_snapshotsViewController->validateAfterSelection();
}

void MRKOSnapshotManager::updateTempSelectedSnapshots()
{
    m_tempSelectedSnapshots = selectedSnapshots();
}

void MRKOSnapshotManager::removeTempSelectedSnapshots()
{
    m_tempSelectedSnapshots.clear();
}

void MRKOSnapshotManager::selectFirstSnapshotInSequence()
{
    if (!collection() || snapshots().empty())
        return;
    deselectAll();
    setSelectionIndexes({0});
    collection()->scrollToItem(0, true, [this] { setSelectionIndexes({0}); });
}

inkora::ItemIndexes MRKOSnapshotManager::convertSnapshotsToIndexes(const Records &records) const
{
    const Records shown = snapshots();
    inkora::ItemIndexes indexes;
    for (const Record &record : records) {
        const qint64 index = indexOf(shown, record.get());
        if (index != kNotFound)
            indexes.insert(index);
    }
    return indexes;
}

// ---------------------------------------------------------------------------------------------------------------
// Adding and applying

QString MRKOSnapshotManager::snapshotName() const
{
    return QStringLiteral("Snapshot %1").arg(m_snapshotsCount + 1);
}

QString MRKOSnapshotManager::dazadUdizName() const
{
    return QStringLiteral("DazadUdiz %1").arg(m_dazadUdizsCount + 1);
}

std::shared_ptr<SnapInfo> MRKOSnapshotManager::addSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    return addShot(snapshot, 0);
}

std::shared_ptr<SnapInfo> MRKOSnapshotManager::addDazadUdiz(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    return addShot(snapshot, 1);
}

std::shared_ptr<SnapInfo> MRKOSnapshotManager::addShot(const std::shared_ptr<MRKOSnapshot> &snapshot, qint64 type)
{
    (void)MRKOSnapshot::displayScaleForRendering(); // the thumbnail workers draw at the scale read now
    std::shared_ptr<SnapInfo> info = MRKOPersistentData::sharedData().addSnapshotForSequenceType(snapshot, type);
    if (m_inSearch) {
        platform::DispatchQueue::main().after(kSearchAgainDelay, [this] { updateSearchWithString(m_currentSearch); });
    } else if (m_shotsViewType == type && m_snapshotsViewController && info) {
        m_snapshotsViewController->insertNewSnapshotAnimated();
    }
    if (m_inSearch || m_shotsViewType != type)
        highlightTopBarSegment(type);
    showAddedSnapshotInWindowIfNeeded(info);
    if (m_snapshotsViewController && m_snapshotsViewController->snapshotToolbar())
        m_snapshotsViewController->snapshotToolbar()->validateButtons();
    if (type == 1)
        ++m_dazadUdizsCount;
    else
        ++m_snapshotsCount;
    return info;
}

void MRKOSnapshotManager::recordWillBeDropped(const std::shared_ptr<SnapInfo> &info)
{
    // The record leaves the roll right after this: the browser loses its item once it is gone.
    const qint64 shown = indexOf(snapshots(), info.get());
    const qint64 filteredIndex = indexOf(m_filtered, info.get());
    if (filteredIndex != kNotFound)
        m_filtered.erase(m_filtered.begin() + filteredIndex);
    if (shown == kNotFound || !m_snapshotsViewController)
        return;
    platform::DispatchQueue::main().async([this, shown] {
        if (m_snapshotsViewController)
            m_snapshotsViewController->removeSnapshotsAtIndexes({shown});
    });
}

void MRKOSnapshotManager::showAddedSnapshotInWindowIfNeeded(const std::shared_ptr<SnapInfo> &info)
{
    const AppDelegate *app = AppDelegate::shared();
    if (!info || !app || !app->snapshotNotification() || AppDelegate::quickTourIsShown() || panelShown())
        return;
    MRKOSnapshotAddedWindow::showWindowWithSnapshot(info);
}

void MRKOSnapshotManager::applySelectedSnapshot()
{
    const Record selected = selectedSnapshot();
    AppDelegate *app = AppDelegate::shared();
    if (selected && app)
        app->applySnapshot(selected->snapshot());
}

void MRKOSnapshotManager::shareSelectedSnapshotWithSender(QWidget *sender)
{
    const qint64 index = selectedIndex();
    MRKOSnapshotItem *item = collection() && index != kNotFound ? collection()->itemAtIndex(index) : nullptr;
    if (!item)
        return;
    // The menu opens below the sender's bottom left corner.
    const QPoint at = sender ? sender->mapToGlobal(QPoint(0, sender->height() + 4)) : QCursor::pos();
    inkora::SnapshotItemMenus(*item).shareAction(at);
}

// ---------------------------------------------------------------------------------------------------------------
// Putting back, removing, reordering

void MRKOSnapshotManager::putBackSelectedSnapshots()
{
    if (!selectionIndexes().empty())
        putBackSnapshotsAtIndexes(selectionIndexes());
}

void MRKOSnapshotManager::putBackSnapshot(const Record &record)
{
    const qint64 index = indexOf(snapshots(), record.get());
    if (index != kNotFound)
        putBackSnapshotsAtIndexes({index});
}

void MRKOSnapshotManager::putBackSnapshotsAtIndexes(const inkora::ItemIndexes &indexes)
{
    if (m_shotsViewType != 2)
        return;
    cleanUpUndoForCollectionAtIndexes(indexes);
    const inkora::ItemIndexes source = sourceIndexSetForCollectionIndexes(indexes);
    const Records records = dataSource();
    std::array<qint64, 2> putBack{};
    MRKOPersistentTrash &trash = MRKOPersistentTrash::sharedTrash();
    for (const qint64 index : source) {
        auto sequence = std::dynamic_pointer_cast<Sequence>(records[size_t(index)]);
        if (!sequence)
            continue;
        const qint64 type = sequence->sequenceType();
        trash.putSequenceBack(sequence);
        if (type == 0 || type == 1)
            ++putBack[size_t(type)];
    }
    MRKOPersistentData::sharedData().finalizeMoveToTrashOrPutBack();
    removeItemsFromFilteredIfNeeded(indexes);
    if (m_snapshotsViewController)
        m_snapshotsViewController->removeSnapshotsAtIndexes(indexes);
    for (qint64 type = 0; type < 2; ++type) {
        if (putBack[size_t(type)] == 0)
            continue;
        highlightTopBarSegment(type);
        m_countChanges[size_t(type)] = putBack[size_t(type)];
    }
}

void MRKOSnapshotManager::highlightTopBarSegment(qint64 viewType)
{
    MRKOSnapshotPanel *shown = panel();
    if (!shown || viewType < 0 || viewType > 2)
        return;
    MRKOSnapshotView *view = shown->snapshotView();
    if (viewType == 0)
        view->highlightSnapshots();
    else if (viewType == 1)
        view->highlightDazadUdizs();
    else
        view->highlightRecentlyDeleted();
}

bool MRKOSnapshotManager::moveSnapshotsAtIndexesToIndex(const std::vector<qint64> &indexes, qint64 index)
{
    if (m_inSearch) {
        qCWarning(lcSnapshots) << "moveSnapshotsAtIndexes: Collection In Search. Discard Moving";
        return false;
    }
    const Records shown = snapshots();
    if (index == kNotFound || index < 0 || shown.empty() || indexes.empty())
        return false;
    const auto first = std::dynamic_pointer_cast<SnapInfo>(shown.front());
    const std::shared_ptr<Sequence> sequence = first ? first->sequence() : nullptr;
    if (!sequence)
        return false;
    OrderedRelation<SnapInfo> &relation = sequence->snapInfos();
    const qint64 count = qint64(relation.size());
    if (index > count || std::any_of(indexes.begin(), indexes.end(), [&](qint64 i) { return i < 0 || i >= count; }))
        return false;
    const auto move = [&relation](qint64 from, qint64 to) {
        const std::shared_ptr<SnapInfo> info = relation.at(size_t(from));
        relation.removeObjectAtIndex(size_t(from));
        relation.insertObjectAtIndex(info, size_t(to));
    };
    std::vector<std::pair<qint64, qint64>> moves;
    // Those before the drop index move up to it, last first; those at or after it are counted.
    qint64 target = index;
    qint64 after = 0;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it >= target) {
            ++after;
            continue;
        }
        --target;
        move(*it, target);
        moves.emplace_back(*it, target);
    }
    // Then those after it come down to the drop index, last first, each in front of the one moved before.
    target = index + after;
    qint64 shift = 0;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it < target)
            continue;
        move(*it + shift, index);
        ++shift;
        --target;
        moves.emplace_back(*it, target);
    }
    if (collection())
        collection()->performBatchMoves(moves);
    if (m_snapshotsViewController)
        m_snapshotsViewController->selectionDidChanged();
    MRKOPersistentData::sharedData().saveAction();
    return true;
}

void MRKOSnapshotManager::removeFromTrashWithResponse(qint64 response)
{
    if (response != kTrashResponseDelete && response != kTrashResponseMoveToBin)
        return;
    m_trashResponse = response;
    removeSnapshotsAtIndexes(selectionIndexes());
}

void MRKOSnapshotManager::removeAllSnapshots()
{
    inkora::ItemIndexes all;
    for (qint64 i = 0; i < qint64(snapshots().size()); ++i)
        all.insert(i);
    if (!all.empty())
        removeSnapshotsAtIndexes(all);
}

void MRKOSnapshotManager::removeSelectedSnapshots()
{
    if (selectionIndexes().empty())
        return;
    if (m_shotsViewType == 2) {
        if (MRKOSnapshotPanel *shown = panel())
            shown->askAQuestion();
    } else {
        removeSnapshotsAtIndexes(selectionIndexes());
    }
}

void MRKOSnapshotManager::removeSnapshotsAtIndexes(const inkora::ItemIndexes &indexes)
{
    cleanUpUndoForCollectionAtIndexes(indexes);
    const inkora::ItemIndexes source = sourceIndexSetForCollectionIndexes(indexes);
    inkora::ItemIndexes removed = indexes;
    if (m_shotsViewType == 2) {
        std::set<size_t> binIndexes(source.begin(), source.end());
        MRKOPersistentTrash &trash = MRKOPersistentTrash::sharedTrash();
        if (m_trashResponse == kTrashResponseCancel) {
            qCInfo(lcSnapshots) << "Remove from trash operation canceled";
            return;
        }
        if (m_trashResponse == kTrashResponseMoveToBin) {
            trash.moveSequencesAtIndexesToBin(binIndexes);
        } else if (m_trashResponse == kTrashResponseDelete) {
            trash.removeSequencesAtIndexes(binIndexes);
        } else {
            qCWarning(lcSnapshots) << "Can't finalize remove from trash operation without proper Trash Response";
            return;
        }
    } else {
        const Records records = dataSource();
        MRKOPersistentData &roll = MRKOPersistentData::sharedData();
        qint64 moved = 0;
        const Records shown = snapshots();
        for (const qint64 index : source) {
            const auto info = std::dynamic_pointer_cast<SnapInfo>(records[size_t(index)]);
            if (info && roll.moveSnapshotToTrash(info)) {
                ++moved;
            } else {
                // What stays in the roll stays in the browser too.
                removed.erase(indexOf(shown, records[size_t(index)].get()));
            }
        }
        m_countChanges[2] = moved;
        highlightTopBarSegment(2);
    }
    MRKOPersistentData::sharedData().finalizeMoveToTrashOrPutBack();
    removeItemsFromFilteredIfNeeded(removed);
    if (m_snapshotsViewController && !removed.empty())
        m_snapshotsViewController->removeSnapshotsAtIndexes(removed);
    m_trashResponse = 0;
}

void MRKOSnapshotManager::removeItemsFromFilteredIfNeeded(const inkora::ItemIndexes &indexes)
{
    if (!m_inSearch)
        return;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it >= 0 && *it < qint64(m_filtered.size()))
            m_filtered.erase(m_filtered.begin() + *it);
    }
}

void MRKOSnapshotManager::cleanUpTrashIfNeeded()
{
    MRKOPersistentTrash &trash = MRKOPersistentTrash::sharedTrash();
    if (trash.hasObjects())
        trash.removeAllSequencesAsync(false);
}

void MRKOSnapshotManager::cleanUpUndoForItemAtIndex(qint64 index)
{
    const Records shown = snapshots();
    if (index < 0 || index >= qint64(shown.size()))
        return;
    // Renames are registered against the record, so its steps go with it.
    AppDelegate::undoManager().removeAllActionsWithTarget(static_cast<const void *>(shown[size_t(index)].get()));
}

void MRKOSnapshotManager::cleanUpUndoForCollectionAtIndexes(const inkora::ItemIndexes &indexes)
{
    for (const qint64 index : indexes)
        cleanUpUndoForItemAtIndex(index);
}

inkora::ItemIndexes MRKOSnapshotManager::convertIndexesToDataSource(const inkora::ItemIndexes &indexes) const
{
    if (!m_inSearch)
        return indexes;
    const Records source = dataSource();
    inkora::ItemIndexes converted;
    for (const qint64 index : indexes) {
        if (index < 0 || index >= qint64(m_filtered.size()))
            continue;
        const qint64 found = indexOf(source, m_filtered[size_t(index)].get());
        if (found != kNotFound)
            converted.insert(found);
    }
    return converted;
}

inkora::ItemIndexes MRKOSnapshotManager::sourceIndexSetForCollectionIndexes(const inkora::ItemIndexes &indexes) const
{
    const qint64 count = qint64(dataSource().size());
    inkora::ItemIndexes source;
    for (const qint64 index : convertIndexesToDataSource(indexes)) {
        if (index >= 0 && index < count)
            source.insert(index);
    }
    return source;
}

// ---------------------------------------------------------------------------------------------------------------
// The browser's roll

void MRKOSnapshotManager::showCollectionWithViewType(qint64 viewType)
{
    if (viewType != m_shotsViewType && viewType >= 0 && viewType <= 2) {
        if (collection()) {
            m_scrollPoints[size_t(m_shotsViewType)] = collection()->scrollOrigin();
            m_selections[size_t(m_shotsViewType)] = collection()->selectionIndexes();
        }
        m_shotsViewType = viewType;
        if (collection()) {
            collection()->setAlpha(0);
            m_snapshotsViewController->reloadData();
        }
        const qint64 moved = std::exchange(m_countChanges[size_t(viewType)], 0);
        inkora::ItemIndexes selection;
        QPointF scroll;
        if (moved >= 1) {
            // The shots just moved here stand first.
            for (qint64 i = 0; i < moved; ++i)
                selection.insert(i);
        } else {
            const qint64 count = qint64(snapshots().size());
            for (const qint64 index : m_selections[size_t(viewType)]) {
                if (index < count)
                    selection.insert(index);
            }
            scroll = m_scrollPoints[size_t(viewType)];
        }
        platform::DispatchQueue::main().async([this, selection, scroll] {
            MRKOSnapshotCollectionView *view = collection();
            if (!view)
                return;
            view->setScrollOrigin(scroll);
            view->setSelectionIndexes(selection);
            view->setAlpha(1);
        });
    }
    validatePanelControlsIfNeeded();
}

void MRKOSnapshotManager::validatePanelControlsIfNeeded()
{
    MRKOSnapshotPanel *shown = panel();
    if (!shown)
        return;
    shown->validateTopControl();
    shown->validateAddButton();
}

void MRKOSnapshotManager::resetFirstResponderIfNeeded()
{
    if (m_snapshotNameEditing && panel())
        panel()->makeFirstResponderNil();
}

void MRKOSnapshotManager::applicationDidChangeScreenParameters()
{
    if (MRKOSnapshotPanel *shown = panel())
        shown->applicationDidChangeScreenParameters();
}

// ---------------------------------------------------------------------------------------------------------------
// The drawings of every display

void MRKOSnapshotManager::createSnapshotsBackupIfNeeded()
{
    m_backup->createSnapshotsBackupIfNeeded();
}

void MRKOSnapshotManager::loadBackedUpSnapshotsToCanvasIfNeeded()
{
    m_backup->loadBackedUpSnapshotsToCanvasIfNeeded();
}

void MRKOSnapshotManager::loadCanvasFromDocumentsIfNeeded()
{
    m_backup->loadCanvasFromDocumentsIfNeeded();
}

void MRKOSnapshotManager::waitForBackupWrites()
{
    m_backup->waitForWrites();
}
