#pragma once

#include <QString>

#include <memory>
#include <vector>

class Sequence;
class SnapInfo;

namespace inkora {

class StoreDatabase;

/// The records of one snapshot store in memory and what changed since the last save: every sequence of the store
/// with its records, the rows to delete, and whether anything is to be written. The store's rows are read once, on
/// the first fetch. Main thread only.
class StoreContext final
{
public:
    StoreContext(StoreDatabase &database, const QString &schema, const QString &name);
    ~StoreContext();
    StoreContext(const StoreContext &) = delete;
    StoreContext &operator=(const StoreContext &) = delete;

    /// "Snapshots" for the roll, "Trash" for the bin.
    [[nodiscard]] const QString &name() const { return m_name; }
    /// The database schema the store's tables live in ("main" or the attached name).
    [[nodiscard]] const QString &schema() const { return m_schema; }
    [[nodiscard]] StoreDatabase &database() const { return m_database; }

    /// New records belong to the store from now on and are written at the next save.
    [[nodiscard]] std::shared_ptr<Sequence> insertSequence();
    [[nodiscard]] std::shared_ptr<SnapInfo> insertSnapInfo();
    /// A deleted sequence takes its records with it; a deleted record leaves its sequence.
    void deleteObject(const std::shared_ptr<Sequence> &sequence);
    void deleteObject(const std::shared_ptr<SnapInfo> &info);

    /// Every sequence of the store, in row order; false with the reason when the store cannot be read.
    [[nodiscard]] bool fetchSequences(std::vector<std::shared_ptr<Sequence>> *sequences, QString *error);

    [[nodiscard]] bool hasChanges() const { return m_hasChanges; }
    void noteChange() { m_hasChanges = true; }
    /// Writes this store's changes in one transaction; false with the reason when nothing was written.
    [[nodiscard]] bool save(QString *error);

private:
    friend class StoreDatabase;

    StoreDatabase &m_database; // not owned; owns this context
    QString m_schema;
    QString m_name;
    bool m_loaded = false;
    bool m_hasChanges = false;
    std::vector<std::shared_ptr<Sequence>> m_sequences; // every live sequence of the store
    std::vector<qint64> m_deletedSequenceIds;
    std::vector<qint64> m_deletedInfoIds;
};

} // namespace inkora
