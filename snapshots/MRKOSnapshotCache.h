#pragma once

#include "platform/Dispatch.h"

#include <QString>

#include <map>
#include <memory>
#include <mutex>

class MRKOSnapshot;

/// The process's cache of decoded snapshots, keyed by file name without extension: at most 10 entries and 100 MiB of
/// screen images, the least recently used going first, and every entry going 60 s after its last use. Thread-safe;
/// the removals are swept on the main thread by the entries' times, so entries touched by workers expire too.
class MRKOSnapshotCache final
{
public:
    static constexpr size_t kCountLimit = 10;
    static constexpr qint64 kTotalCostLimit = 104857600; // bytes
    static constexpr double kTimeToLive = 60.0;          // seconds after the last use

    [[nodiscard]] static MRKOSnapshotCache &sharedCache();

    /// The entry of the path's key, kept for another 60 s; else the file read and added; null when it does not read.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshotWithURL(const QString &path);
    /// A null snapshot is ignored.
    void addSnapshotForURL(const std::shared_ptr<MRKOSnapshot> &snapshot, const QString &path);
    void removeObjectForURL(const QString &path);
    [[nodiscard]] static QString keyWithURL(const QString &path);
    /// The entry stays until the limits push it out or its removal is scheduled again.
    void cancelTimerForURL(const QString &path);
    void updateTimerForURL(const QString &path);

    [[nodiscard]] bool containsURL(const QString &path) const;
    [[nodiscard]] size_t count() const;
    [[nodiscard]] qint64 totalCost() const;

private:
    MRKOSnapshotCache() = default;
    ~MRKOSnapshotCache() = default;

    struct Entry
    {
        std::shared_ptr<MRKOSnapshot> snapshot;
        qint64 cost = 0;
        double expiry = 0; // media time; infinite while the removal is cancelled
        quint64 lastUse = 0;
    };

    void touchLocked(Entry &entry, bool armRemoval);
    void evictLocked(const QString &keep);
    void scheduleSweepLocked();
    void sweep();

    mutable std::mutex m_mutex;
    std::map<QString, Entry> m_entries;
    qint64 m_totalCost = 0;
    quint64 m_useCounter = 0;
    platform::RunLoop::TimerId m_sweepTimer = 0;
    double m_sweepAt = 0; // media time of the scheduled sweep; 0 when none
};
