#pragma once

#include "snapshots/MRKOSnapshotInfoProtocol.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <mutex>

namespace inkora {

class StoreContext;
class StoreDatabase;

/// What both records of a snapshot store share: the row they are saved in, the store they belong to, and the
/// attributes of either entity. Changing an attribute marks the record and its store as changed. Records are made
/// and changed on the main thread; the text attributes may be read from any thread.
class StoreRecord : public MRKOSnapshotInfoProtocol, public std::enable_shared_from_this<StoreRecord>
{
public:
    ~StoreRecord() override;
    Q_DISABLE_COPY_MOVE(StoreRecord)

    /// The row id; 0 until the record is first saved.
    [[nodiscard]] qint64 id() const { return m_id; }
    /// The store it belongs to; null once it was deleted.
    [[nodiscard]] StoreContext *context() const { return m_context; }
    [[nodiscard]] bool isDeleted() const { return m_context == nullptr; }
    /// Whether an attribute changed since the last save.
    [[nodiscard]] bool isDirty() const { return m_dirty; }

    [[nodiscard]] QString name() const override;
    void setName(const QString &name);
    [[nodiscard]] QDateTime date() const { return m_date; }
    void setDate(const QDateTime &date);
    [[nodiscard]] qint32 rate() const { return m_rate; }
    void setRate(qint32 rate);
    [[nodiscard]] qint32 colorTag() const { return m_colorTag; }
    void setColorTag(qint32 colorTag);
    /// Kept in the store; nothing reads or writes them.
    [[nodiscard]] QString tags() const;
    void setTags(const QString &tags);
    [[nodiscard]] QString text() const;
    void setText(const QString &text);

protected:
    explicit StoreRecord(StoreContext *context);
    /// Marks the record and its store as changed.
    void noteChange();
    /// Marks only the store as changed (the record's own row stays as it is).
    void noteStoreChange();
    mutable std::mutex m_textMutex; // the text attributes, read by export workers

private:
    friend class StoreContext;
    friend class StoreDatabase;

    StoreContext *m_context = nullptr; // not owned; the store outlives its records' use
    qint64 m_id = 0;
    bool m_dirty = false;
    QString m_name;
    QDateTime m_date;
    qint32 m_rate = 0;
    qint32 m_colorTag = 0;
    QString m_tags;
    QString m_text;
};

/// A folder or file name read from a store that may be joined to a path: not empty, not "." or "..", no "/" or NUL.
[[nodiscard]] bool isSafePathComponent(const QString &name);

} // namespace inkora
