#pragma once

#include "snapshots/MRKOSnapshotManager.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QStringList>

#include <functional>

class MRKOSnapshotCollectionView;
class MRKOSnapshotItem;
class MRKOSnapshotPanel;

/// The snapshot panel made and slid up on the 1440 x 900 fake display, with builders for its rolls.
class SnapshotPanelFixture : public SnapshotsFixture
{
protected:
    void SetUp() override;

    [[nodiscard]] static MRKOSnapshotManager &manager() { return MRKOSnapshotManager::sharedSnapshotManager(); }
    [[nodiscard]] static MRKOSnapshotPanel &panel();
    [[nodiscard]] static MRKOSnapshotCollectionView &collection();
    /// The item view at the index, once it is laid out.
    [[nodiscard]] static MRKOSnapshotItem &item(qint64 index);

    /// Adds shots of these names, the last one first in the roll.
    void addNamed(const QStringList &names, bool dazadUdiz = false);
    [[nodiscard]] static QStringList shown();
    /// Drains the main queue until `done` answers yes, while the global queue works.
    void waitFor(const std::function<bool()> &done);
};
