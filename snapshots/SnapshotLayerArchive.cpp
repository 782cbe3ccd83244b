#include "snapshots/SnapshotLayerArchive.h"

#include <mutex>

namespace inkora {

namespace {
std::mutex s_mutex;
SnapshotLayerArchive s_archive;
} // namespace

void setSnapshotLayerArchive(SnapshotLayerArchive archive)
{
    const std::lock_guard lock(s_mutex);
    s_archive = std::move(archive);
}

SnapshotLayerArchive snapshotLayerArchive()
{
    const std::lock_guard lock(s_mutex);
    return s_archive;
}

} // namespace inkora
