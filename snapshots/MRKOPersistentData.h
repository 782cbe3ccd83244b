#pragma once

#include <QString>

#include <functional>
#include <future>
#include <memory>
#include <vector>

class MRKOSnapshot;
class Sequence;
class SnapInfo;
namespace inkora {
class StoreContext;
}

/// The roll: the persistent sequences of Snapshots and DazadUdizs in "Sequences.db", each record naming a snapshot
/// file in the sequence's folder. It makes a sequence when a kind has none, adds shots (the record is saved once its
/// file is written), hands records to the bin and saves, also at quit. One instance; main thread only.
class MRKOPersistentData final
{
public:
    [[nodiscard]] static MRKOPersistentData &sharedData();
    ~MRKOPersistentData();
    MRKOPersistentData(const MRKOPersistentData &) = delete;
    MRKOPersistentData &operator=(const MRKOPersistentData &) = delete;

    /// The roll's records, set up on first use; null when the store could not be set up (the user was told).
    [[nodiscard]] inkora::StoreContext *managedObjectContext();

    void loadData();
    /// Appends the kind's sequences of the store, oldest first.
    void loadSequenceWithType(qint64 type);
    /// The sequences of kind 0 or 1; null for any other kind.
    [[nodiscard]] std::vector<std::shared_ptr<Sequence>> *arrayForSequenceType(qint64 type);
    /// Makes the folder and the record of a new sequence of the kind; null when the folder cannot be made.
    std::shared_ptr<Sequence> addNewSequenceWithType(qint64 type);
    /// DazadUdizs for 1, Snapshots for any other kind.
    [[nodiscard]] std::shared_ptr<Sequence> currentSequenceWithSequenceType(qint64 type);
    /// Made when the kind has none; the one at the kind's index, else the first.
    [[nodiscard]] std::shared_ptr<Sequence> currentSnapshotsSequence();
    [[nodiscard]] std::shared_ptr<Sequence> currentDazadUdizsSequence();
    [[nodiscard]] QString currentSnapshotsFolderURL();
    [[nodiscard]] QString currentDazadUdizsFolderURL();
    [[nodiscard]] QString uniqueURLForSequenceType(qint64 type);
    [[nodiscard]] QString uniqueSnapshotURL();
    [[nodiscard]] QString uniqueDazadUdizURL();
    /// The records of the current sequence of the kind, newest first.
    [[nodiscard]] std::vector<std::shared_ptr<SnapInfo>> items();
    [[nodiscard]] std::vector<std::shared_ptr<SnapInfo>> dazadUdizsItems();

    /// Records the shot at the front of the kind's current sequence and writes its file in the background; the
    /// record is saved once the file is written. Null, with a log line, without a shot or a sequence.
    std::shared_ptr<SnapInfo> addSnapshotForSequenceType(const std::shared_ptr<MRKOSnapshot> &snapshot, qint64 type);
    /// Copies the record into the bin and deletes it here; nothing is saved. False, with the record left, when the
    /// bin cannot take it.
    bool moveSnapshotToTrash(const std::shared_ptr<SnapInfo> &info);
    /// Saves the roll and the bin in one transaction, after a batch of moves to the bin or back.
    void finalizeMoveToTrashOrPutBack();
    /// Saves when anything changed; a failure is shown to the user. False when the changes could not be saved.
    bool saveAction();
    /// At quit: true to quit now, false to cancel the quit.
    [[nodiscard]] bool applicationShouldTerminate();

    /// Waits for the files being written and records them, or drops the records whose file failed.
    void settlePendingWrites();
    /// Called before a record whose file could not be written is dropped.
    void setWriteFailureHandler(std::function<void(const std::shared_ptr<SnapInfo> &)> handler);

    [[nodiscard]] const std::vector<std::shared_ptr<Sequence>> &sequences() const { return m_sequences; }
    void setSequences(const std::vector<std::shared_ptr<Sequence>> &sequences) { m_sequences = sequences; }
    [[nodiscard]] const std::vector<std::shared_ptr<Sequence>> &dazadUdizsSequences() const
    {
        return m_dazadUdizsSequences;
    }
    void setDazadUdizsSequences(const std::vector<std::shared_ptr<Sequence>> &sequences)
    {
        m_dazadUdizsSequences = sequences;
    }
    [[nodiscard]] qint64 snapshotSequenceIndex() const { return m_snapshotSequenceIndex; }
    void setSnapshotSequenceIndex(qint64 index) { m_snapshotSequenceIndex = index; }
    [[nodiscard]] qint64 dazadUdizsSequenceIndex() const { return m_dazadUdizsSequenceIndex; }
    void setDazadUdizsSequenceIndex(qint64 index) { m_dazadUdizsSequenceIndex = index; }

private:
    MRKOPersistentData();
    struct PendingWrite
    {
        std::shared_ptr<SnapInfo> info;
        std::shared_ptr<MRKOSnapshot> snapshot;
        QString path;
        std::shared_future<bool> written;
    };
    void finishWrite(const std::shared_ptr<SnapInfo> &info);
    void settleWriteOf(const SnapInfo *info);

    bool m_stackMade = false;
    inkora::StoreContext *m_context = nullptr; // not owned; the database owns it
    std::vector<std::shared_ptr<Sequence>> m_sequences;
    std::vector<std::shared_ptr<Sequence>> m_dazadUdizsSequences;
    qint64 m_snapshotSequenceIndex = 0;
    qint64 m_dazadUdizsSequenceIndex = 0;
    std::vector<PendingWrite> m_pendingWrites;
    std::function<void(const std::shared_ptr<SnapInfo> &)> m_writeFailureHandler;
};
