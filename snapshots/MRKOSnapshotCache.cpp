#include "snapshots/MRKOSnapshotCache.h"

#include "platform/Clock.h"
#include "platform/Services.h"
#include "snapshots/MRKOSnapshot.h"

#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

double now()
{
    return platform::services().clock->now();
}

} // namespace

MRKOSnapshotCache &MRKOSnapshotCache::sharedCache()
{
    // Never destroyed: workers may still touch it while the process ends.
    static MRKOSnapshotCache *const s_shared = new MRKOSnapshotCache;
    return *s_shared;
}

QString MRKOSnapshotCache::keyWithURL(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshotCache::snapshotWithURL(const QString &path)
{
    const QString key = keyWithURL(path);
    if (key.isEmpty())
        return nullptr;
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(key);
        if (it != m_entries.end()) {
            touchLocked(it->second, true);
            return it->second.snapshot;
        }
    }
    // Read outside the lock: a large archive takes a while and other threads keep using the cache.
    std::shared_ptr<MRKOSnapshot> snapshot = MRKOSnapshot::snapshotWithContentsOfFile(path);
    if (snapshot)
        addSnapshotForURL(snapshot, path);
    return snapshot;
}

void MRKOSnapshotCache::addSnapshotForURL(const std::shared_ptr<MRKOSnapshot> &snapshot, const QString &path)
{
    const QString key = keyWithURL(path);
    if (!snapshot || key.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    Entry &entry = m_entries[key];
    m_totalCost -= entry.cost;
    entry.snapshot = snapshot;
    entry.cost = snapshot->cost();
    m_totalCost += entry.cost;
    touchLocked(entry, true);
    evictLocked(key);
}

void MRKOSnapshotCache::removeObjectForURL(const QString &path)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(keyWithURL(path));
    if (it == m_entries.end())
        return;
    m_totalCost -= it->second.cost;
    m_entries.erase(it);
}

void MRKOSnapshotCache::cancelTimerForURL(const QString &path)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(keyWithURL(path));
    if (it != m_entries.end())
        it->second.expiry = std::numeric_limits<double>::infinity();
}

void MRKOSnapshotCache::updateTimerForURL(const QString &path)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(keyWithURL(path));
    if (it != m_entries.end())
        touchLocked(it->second, true);
}

bool MRKOSnapshotCache::containsURL(const QString &path) const
{
    const std::lock_guard lock(m_mutex);
    return m_entries.count(keyWithURL(path)) > 0;
}

size_t MRKOSnapshotCache::count() const
{
    const std::lock_guard lock(m_mutex);
    return m_entries.size();
}

qint64 MRKOSnapshotCache::totalCost() const
{
    const std::lock_guard lock(m_mutex);
    return m_totalCost;
}

void MRKOSnapshotCache::touchLocked(Entry &entry, bool armRemoval)
{
    entry.lastUse = ++m_useCounter;
    if (armRemoval) {
        entry.expiry = now() + kTimeToLive;
        scheduleSweepLocked();
    }
}

void MRKOSnapshotCache::evictLocked(const QString &keep)
{
    // The entry just added stays even when it alone passes the cost limit: its file may not be written yet.
    while (m_entries.size() > kCountLimit || (m_totalCost > kTotalCostLimit && m_entries.size() > 1)) {
        auto oldest = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->first != keep && (oldest == m_entries.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == m_entries.end())
            return;
        m_totalCost -= oldest->second.cost;
        m_entries.erase(oldest);
    }
}

void MRKOSnapshotCache::scheduleSweepLocked()
{
    double earliest = std::numeric_limits<double>::infinity();
    for (const auto &[key, entry] : m_entries)
        earliest = std::min(earliest, entry.expiry);
    if (!std::isfinite(earliest))
        return;
    // A sweep already due no later than the earliest expiry serves; otherwise move it earlier.
    if (m_sweepTimer != 0 && m_sweepAt <= earliest)
        return;
    if (m_sweepTimer != 0)
        platform::RunLoop::main().cancel(m_sweepTimer);
    m_sweepAt = earliest;
    m_sweepTimer = platform::RunLoop::main().schedule(std::max(0.0, earliest - now()), [this] { sweep(); });
}

void MRKOSnapshotCache::sweep()
{
    std::vector<std::shared_ptr<MRKOSnapshot>> released; // let go outside the lock
    const std::lock_guard lock(m_mutex);
    m_sweepTimer = 0;
    m_sweepAt = 0;
    const double time = now();
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.expiry <= time) {
            m_totalCost -= it->second.cost;
            released.push_back(std::move(it->second.snapshot));
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    scheduleSweepLocked();
}
