#include "snapshots/MRKOSnapshotsViewController.h"

#include "app/AppDelegate.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "shortcuts/KQShortCut.h"
#include "snapshots/MRKOExportMethod.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotToolbar.h"
#include "snapshots/SnapshotDragData.h"

#include <QDir>
#include <QDrag>
#include <QLabel>

namespace {

constexpr double kDraggedOverlayAlpha = 0.2;

MRKOSnapshotManager &manager()
{
    return MRKOSnapshotManager::sharedSnapshotManager();
}

QLabel *makeLabel(QWidget *parent, double pointSize)
{
    auto *label = new QLabel(parent); // child
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(pointSize);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: rgba(235, 235, 235, 150); background: transparent;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->show();
    return label;
}

} // namespace

MRKOSnapshotsViewController::MRKOSnapshotsViewController(QWidget *parent) : QWidget(parent)
{
    m_collectionView = new MRKOSnapshotCollectionView(*this, this); // child
    manager().setSnapshotsViewController(this);
    m_collectionView->reloadData();
}

MRKOSnapshotsViewController::~MRKOSnapshotsViewController()
{
    if (MRKOSnapshotManager::isMade() && manager().snapshotsViewController() == this)
        manager().setSnapshotsViewController(nullptr);
}

void MRKOSnapshotsViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_collectionView->setGeometry(rect());
    if (m_emptyTextField) {
        setEmptyCollection(false);
        setEmptyCollection(true);
    }
}

void MRKOSnapshotsViewController::setEmptyCollection(bool empty)
{
    if (empty == m_emptyCollection && (empty == bool(m_emptyTextField)))
        return;
    m_emptyCollection = empty;
    updateEmptyCollectionPlaceholder();
}

void MRKOSnapshotsViewController::updateEmptyCollectionPlaceholder()
{
    if (!m_emptyCollection) {
        delete m_emptyTextField;
        delete m_emptyTextFieldDesc;
        m_emptyTextField = nullptr;
        m_emptyTextFieldDesc = nullptr;
        return;
    }
    if (!m_emptyTextField) {
        m_emptyTextField = makeLabel(this, 18);
        m_emptyTextFieldDesc = makeLabel(this, 11);
    }
    // Centred on the whole panel, not on the browser, which starts 30 points in.
    const double x = width() / 2.0 - 300 - this->x() / 2.0;
    const double h = height();
    m_emptyTextField->setGeometry(QRectF(x, h - (h / 2 - 22) - 24, 600, 24).toRect());
    m_emptyTextFieldDesc->setGeometry(QRectF(x, h - (h / 2 + 4) - 16, 600, 16).toRect());
    updateEmptyCollectionStringIfNeeded();
}

void MRKOSnapshotsViewController::updateEmptyCollectionStringIfNeeded()
{
    if (!m_emptyTextField)
        return;
    const qint64 type = manager().collectionViewType();
    const QString name = type >= 0 && type <= 2 ? MRKOUtils::shotsViewNameWithType(type) : QString();
    QString title = QStringLiteral("No %1").arg(name);
    QString description;
    if (manager().inSearch()) {
        title += QStringLiteral(" Found");
        description = QStringLiteral("Can't find anything for this request");
    } else if (type == 0) {
        const AppDelegate *app = AppDelegate::shared();
        const std::shared_ptr<KQShortCut> shortCut =
            app ? app->shortCutForProperty(QStringLiteral("snapshotShortCut")) : nullptr;
        description = QStringLiteral("You can take a Snapshot by pressing %1 shortcut")
                          .arg(shortCut ? shortCut->extraHint() : QString());
    } else if (type == 1) {
        description = QStringLiteral("You can take a DazadUdiz by selecting a screen portion in Flashlight");
    } else if (type == 2) {
        description = QStringLiteral("There are no removed shots yet");
    }
    m_emptyTextField->setText(title);
    m_emptyTextFieldDesc->setText(description);
}

void MRKOSnapshotsViewController::reloadData()
{
    m_collectionView->reloadData();
}

void MRKOSnapshotsViewController::insertNewSnapshotAnimated()
{
    m_collectionView->insertItemAtZero();
}

void MRKOSnapshotsViewController::removeSnapshotsAtIndexes(const inkora::ItemIndexes &indexes)
{
    m_collectionView->deleteItems(indexes);
    selectionDidChanged();
}

void MRKOSnapshotsViewController::selectionDidChanged()
{
    validateAfterSelection();
    if (manager().inSearch())
        manager().updateTempSelectedSnapshots();
}

void MRKOSnapshotsViewController::validateAfterSelection()
{
    if (m_snapshotToolbar)
        m_snapshotToolbar->validateButtons();
    manager().validateQuicklookSnapshot();
    const inkora::ItemIndexes &selection = m_collectionView->selectionIndexes();
    m_collectionView->setLastClickedIndex(selection.empty() ? std::nullopt : std::optional(*selection.begin()));
}

void MRKOSnapshotsViewController::moveLeft()
{
    const inkora::ItemIndexes &selection = m_collectionView->selectionIndexes();
    if (selection.empty())
        return;
    const qint64 index = std::max<qint64>(0, *selection.begin() - 1);
    m_collectionView->setSelectionIndexes({index});
    m_collectionView->scrollToItem(index, false, {});
}

void MRKOSnapshotsViewController::moveRight()
{
    const inkora::ItemIndexes &selection = m_collectionView->selectionIndexes();
    if (selection.empty())
        return;
    const qint64 index = std::min<qint64>(m_collectionView->numberOfItems() - 1, *selection.rbegin() + 1);
    m_collectionView->setSelectionIndexes({index});
    m_collectionView->scrollToItem(index, false, {});
}

bool MRKOSnapshotsViewController::canDragItems() const
{
    return manager().collectionViewType() != 2;
}

void MRKOSnapshotsViewController::dragItems(const inkora::ItemIndexes &indexes, const QImage &image)
{
    if (!canDragItems() || indexes.empty())
        return;
    const MRKOSnapshotManager::Records shown = manager().snapshots();
    MRKOSnapshotManager::Records records;
    std::vector<qint64> list;
    for (const qint64 index : indexes) {
        if (index >= 0 && index < qint64(shown.size())) {
            list.push_back(index);
            records.push_back(shown[size_t(index)]);
        }
    }
    auto *drag = new QDrag(m_collectionView); // deleted by Qt once the drag ends
    drag->setMimeData(new inkora::SnapshotDragData(*this, list, manager().inSearch(), records));
    if (!image.isNull())
        drag->setPixmap(QPixmap::fromImage(image.scaled(image.size() / 2 / image.devicePixelRatio())));
    m_dragging = true;
    const QPointer<MRKOSnapshotsViewController> self(this);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    if (self)
        draggingEnded();
}

void MRKOSnapshotsViewController::draggingEnded()
{
    m_dragging = false;
    if (!MRKOSnapshotPanel::panelHasInit() || MRKOSnapshotPanel::sharedSnapshotPanel().isVisible())
        return;
    MRKOSnapshotManager::showPanel();
    if (const AppDelegate *app = AppDelegate::shared()) {
        for (MRKOWindowController *controller : app->windowControllersArray()) {
            if (MRKOWindow *window = controller->window()) {
                window->setIgnoresMouseEvents(false);
                window->setWindowOpacity(1.0);
            }
        }
    }
}

void MRKOSnapshotsViewController::continueDragIfNeeded()
{
    if (!m_dragging)
        return;
    if (const AppDelegate *app = AppDelegate::shared()) {
        for (MRKOWindowController *controller : app->windowControllersArray()) {
            if (MRKOWindow *window = controller->window()) {
                window->setIgnoresMouseEvents(true);
                window->setWindowOpacity(kDraggedOverlayAlpha);
            }
        }
    }
    MRKOSnapshotManager::hidePanelIfNeededAnimated();
}

bool MRKOSnapshotsViewController::validateDrop(const QMimeData &data, const QObject *source) const
{
    if (manager().collectionViewType() == 2)
        return false;
    const bool ours = data.hasFormat(QLatin1String(inkora::SnapshotDragData::kIndexPathType)) ||
                      data.hasFormat(QLatin1String(inkora::SnapshotDragData::kFiltredIndexPathType));
    return ours && source == m_collectionView;
}

bool MRKOSnapshotsViewController::acceptDrop(const QMimeData &data, const QObject *source, qint64 index)
{
    const QString type = QLatin1String(inkora::SnapshotDragData::kIndexPathType);
    if (manager().inSearch() || manager().collectionViewType() == 2)
        return false;
    if (!data.hasFormat(type) || source != m_collectionView) {
        qCWarning(lcSnapshots) << "acceptDrop: the dropped data did not come from this browser; roll unchanged";
        return false;
    }
    const std::optional<std::vector<qint64>> indexes =
        inkora::SnapshotDragData::decodeIndexes(data.data(type), qint64(manager().snapshots().size()));
    if (!indexes) {
        qCWarning(lcSnapshots) << "acceptDrop: the dropped indexes are not a list of the roll's items; roll unchanged";
        return false;
    }
    if (indexes->empty())
        return false;
    std::vector<qint64> sorted = *indexes;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return manager().moveSnapshotsAtIndexesToIndex(sorted, index);
}

QStringList MRKOSnapshotsViewController::namesOfPromisedFilesDroppedAtDestination(const QString &folder,
                                                                                  const std::vector<qint64> &indexes,
                                                                                  std::function<void()> done)
{
    const MRKOSnapshotManager::Records shown = manager().snapshots();
    const AppDelegate *app = AppDelegate::shared();
    constexpr qint64 kFallback = MRKOExportMethodPNG; // without the settings
    qint64 method = indexes.size() < 2 ? (app ? app->snapshotExportFormat() : kFallback)
                                       : (app ? app->snapshotMultiExportFormat() : kFallback);
    if (manager().collectionViewType() == 1)
        method = MRKOExportMethodScreenShotPNG;
    MRKOSnapshotManager::Records records;
    for (const qint64 index : indexes) {
        if (index >= 0 && index < qint64(shown.size()))
            records.push_back(shown[size_t(index)]);
    }
    if (method == MRKOExportMethodMultiPagePDF || method == MRKOExportMethodMultiPageDrawingsPDF) {
        const QString name = QStringLiteral("%1 Selected Snapshots.%2")
                                 .arg(qint64(records.size()))
                                 .arg(MRKOUtils::extentionWithExportMethod(method));
        const QString written = manager().saveSnapshotsAsPDFWithPath(
            records, QDir(folder).filePath(name), method == MRKOExportMethodMultiPagePDF, false, std::move(done));
        return {QFileInfo(written).fileName()};
    }
    const QStringList paths = uniqueFilePathsForSnapInfos(records, folder, quint64(method));
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    manager().saveSnapshotsAsyncToPathsWithMethod(records, paths, quint64(method), std::move(done));
    return names;
}

QStringList MRKOSnapshotsViewController::uniqueFilePathsForSnapInfos(const MRKOSnapshotManager::Records &records,
                                                                     const QString &folder, quint64 method)
{
    QStringList kept;
    const QString extension = MRKOUtils::extentionWithExportMethod(qint64(method));
    for (const MRKOSnapshotManager::Record &record : records) {
        const QString file = MRKOUtils::safeFileName(record->name(), extension, QStringLiteral("Snapshot"));
        kept << MRKOUtils::uniqueFilePathWithPathFolderFuturePaths(QDir(folder).filePath(file), folder, kept);
    }
    return kept;
}
