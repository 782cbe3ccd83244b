#pragma once

#include <QString>
#include <QtGlobal>

/// The one controller between the snapshot roll, the browser and the canvases. So far it names new shots.
class MRKOSnapshotManager final
{
public:
    [[nodiscard]] static MRKOSnapshotManager &sharedSnapshotManager();

    /// Naming counter of Snapshots: the roll's count when the manager starts, +1 for every added Snapshot.
    [[nodiscard]] quint64 snapshotsCount() const { return m_snapshotsCount; }
    void setSnapshotsCount(quint64 count) { m_snapshotsCount = count; }
    /// The same for DazadUdizs.
    [[nodiscard]] quint64 dazadUdizsCount() const { return m_dazadUdizsCount; }
    void setDazadUdizsCount(quint64 count) { m_dazadUdizsCount = count; }

    /// "Snapshot %ld" with snapshotsCount + 1: the name a new Snapshot gets.
    [[nodiscard]] QString snapshotName() const;
    /// "DazadUdiz %ld" with dazadUdizsCount + 1.
    [[nodiscard]] QString dazadUdizName() const;

private:
    MRKOSnapshotManager() = default;

    quint64 m_snapshotsCount = 0;
    quint64 m_dazadUdizsCount = 0;
};
