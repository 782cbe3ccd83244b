#include "snapshots/MRKOSnapshotManager.h"

MRKOSnapshotManager &MRKOSnapshotManager::sharedSnapshotManager()
{
    static MRKOSnapshotManager manager;
    return manager;
}

QString MRKOSnapshotManager::snapshotName() const
{
    return QStringLiteral("Snapshot %1").arg(m_snapshotsCount + 1);
}

QString MRKOSnapshotManager::dazadUdizName() const
{
    return QStringLiteral("DazadUdiz %1").arg(m_dazadUdizsCount + 1);
}
