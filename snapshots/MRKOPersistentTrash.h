#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <set>
#include <utility>
#include <vector>

class Sequence;
class SnapInfo;
namespace inkora {
class StoreContext;
}
namespace platform {
class DispatchQueue;
}

/// The bin (Recently Deleted): "Trash.db", attached to the roll's connection. Each deleted shot sits in a bin
/// sequence of its own that copies its live sequence, pointing at the same files, which stay where they are until the
/// shot is removed for good or moved to the system's trash. File deletions run in order on one serial queue that is
/// drained before a put-back and at quit. One instance; main thread only.
class MRKOPersistentTrash final
{
public:
    /// What goes when bin sequences go: the files of each record, and folders that are removed only when empty.
    struct CleanUpURLs
    {
        std::vector<QStringList> files;
        QStringList folders;
    };

    [[nodiscard]] static MRKOPersistentTrash &sharedTrash();
    ~MRKOPersistentTrash();
    MRKOPersistentTrash(const MRKOPersistentTrash &) = delete;
    MRKOPersistentTrash &operator=(const MRKOPersistentTrash &) = delete;

    /// The bin's records, set up on first use; null when the store could not be set up (the user was told).
    [[nodiscard]] inkora::StoreContext *managedObjectContext();

    /// Newest first.
    [[nodiscard]] const std::vector<std::shared_ptr<Sequence>> &sequences() const { return m_sequences; }
    void setSequences(const std::vector<std::shared_ptr<Sequence>> &sequences) { m_sequences = sequences; }
    [[nodiscard]] bool hasObjects() const { return !m_sequences.empty(); }

    void loadData();
    /// A bin sequence of its own, dated now, holding a copy of the record; nothing is saved.
    void addSnapInfo(const std::shared_ptr<SnapInfo> &info);
    /// A bin sequence copying the live one with all its records, keeping its date; nothing is saved.
    void addSequence(const std::shared_ptr<Sequence> &sequence);
    [[nodiscard]] std::shared_ptr<Sequence> insertSequence(const Sequence &sequence);
    std::shared_ptr<SnapInfo> insertInfoToSequence(const SnapInfo &info, const std::shared_ptr<Sequence> &binSequence);

    /// Back into the live sequence of its folder (each record at the front), or into a new live sequence of that
    /// folder; nothing is saved.
    void putSequenceBack(const std::shared_ptr<Sequence> &binSequence);
    /// Removal for good: records, files and emptied folders; saved.
    void removeSequencesAtIndexes(const std::set<size_t> &indexes);
    void removeSequence(const std::shared_ptr<Sequence> &binSequence);
    /// With `async` NO the files are deleted before it returns.
    void removeAllSequencesAsync(bool async);
    /// The shots' files go to the system's trash under their names; the records are removed and saved.
    void moveSequencesAtIndexesToBin(const std::set<size_t> &indexes);

    /// Drops the records' snapshots from the cache. Folders are listed only when no live sequence and no bin
    /// sequence other than those in `leaving` names the folder.
    [[nodiscard]] CleanUpURLs cleanUpURLsForSequence(const Sequence &binSequence, bool includeSnapshotURL,
                                                     const std::set<const Sequence *> &leaving);
    /// Per record in order: the file name shown to the user and the snapshot file.
    [[nodiscard]] std::vector<std::pair<QString, QString>> snapshotFilesURLsForSequence(const Sequence &binSequence);
    [[nodiscard]] std::vector<std::shared_ptr<Sequence>> *sequencesArrayForSequence(const Sequence &sequence);
    [[nodiscard]] std::shared_ptr<Sequence> existingSequenceForTrashSequence(const Sequence &binSequence);
    std::shared_ptr<SnapInfo> insertInfoToExternalSequenceByAdding(const SnapInfo &info,
                                                                   const std::shared_ptr<Sequence> &liveSequence,
                                                                   bool adding);
    std::shared_ptr<Sequence> insertExternalSequence(const Sequence &binSequence);

    bool saveAction();
    [[nodiscard]] bool applicationShouldTerminate();
    /// Waits until every file deletion asked for so far has run.
    void waitForFileDeletions();

private:
    MRKOPersistentTrash();
    void removeSequences(const std::vector<std::shared_ptr<Sequence>> &doomed, bool async);
    void forget(const std::vector<std::shared_ptr<Sequence>> &doomed);

    bool m_stackMade = false;
    inkora::StoreContext *m_context = nullptr; // not owned; the database owns it
    std::vector<std::shared_ptr<Sequence>> m_sequences;
    std::shared_ptr<platform::DispatchQueue> m_deletions;
};
