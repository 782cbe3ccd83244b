#pragma once

#include "snapshots/MRKOSnapshotManager.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <vector>

class MRKOSnapshotCollectionView;
class MRKOSnapshotToolbar;
class QLabel;
class QMimeData;

/// The browser: the collection of the roll the manager shows, its placeholder texts while the roll is empty, and
/// dragging: reordering inside the unfiltered roll, and shots out to other programs as files written on request.
class MRKOSnapshotsViewController final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOSnapshotsViewController(QWidget *parent = nullptr);
    ~MRKOSnapshotsViewController() override;

    [[nodiscard]] MRKOSnapshotCollectionView *collectionView() const { return m_collectionView; }
    [[nodiscard]] MRKOSnapshotToolbar *snapshotToolbar() const { return m_snapshotToolbar; }
    void setSnapshotToolbar(MRKOSnapshotToolbar *toolbar) { m_snapshotToolbar = toolbar; }

    [[nodiscard]] bool emptyCollection() const { return m_emptyCollection; }
    void setEmptyCollection(bool empty);
    void updateEmptyCollectionPlaceholder();
    void updateEmptyCollectionStringIfNeeded();
    [[nodiscard]] QLabel *emptyTextField() const { return m_emptyTextField; }
    [[nodiscard]] QLabel *emptyTextFieldDesc() const { return m_emptyTextFieldDesc; }

    void reloadData();
    void insertNewSnapshotAnimated();
    void removeSnapshotsAtIndexes(const inkora::ItemIndexes &indexes);
    void selectionDidChanged();
    void validateAfterSelection();
    void moveLeft();
    void moveRight();

    // Dragging
    [[nodiscard]] bool dragging() const { return m_dragging; }
    [[nodiscard]] bool canDragItems() const;
    /// Runs the drag of the items (indexes in the shown roll) until it ends.
    void dragItems(const inkora::ItemIndexes &indexes, const QImage &image);
    /// Whether a drop of this data may land here: our index type from this very browser, outside the bin.
    [[nodiscard]] bool validateDrop(const QMimeData &data, const QObject *source) const;
    /// Reorders by the dropped indexes before `index`; refuses, with one line, what did not come from here.
    bool acceptDrop(const QMimeData &data, const QObject *source, qint64 index);
    /// Writes the items into the folder as the export settings say; the file names, one for a multi-page PDF.
    /// `done` runs on the main queue once every file is written.
    QStringList namesOfPromisedFilesDroppedAtDestination(const QString &folder, const std::vector<qint64> &indexes,
                                                         std::function<void()> done);
    [[nodiscard]] static QStringList uniqueFilePathsForSnapInfos(const MRKOSnapshotManager::Records &records,
                                                                 const QString &folder, quint64 method);
    /// A drag out of the panel: the overlay lets the pointer through and the panel slides away.
    void continueDragIfNeeded();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void draggingEnded();

    MRKOSnapshotCollectionView *m_collectionView = nullptr; // child
    MRKOSnapshotToolbar *m_snapshotToolbar = nullptr;       // not owned; a sibling in the panel
    QLabel *m_emptyTextField = nullptr;                     // child while the roll is empty
    QLabel *m_emptyTextFieldDesc = nullptr;                 // child while the roll is empty
    bool m_emptyCollection = false;
    bool m_dragging = false;
};
