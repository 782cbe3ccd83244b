#include "tests/snapshots/SnapshotPanelFixture.h"

#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotPanel.h"

#include <QThread>

void SnapshotPanelFixture::SetUp()
{
    SnapshotsFixture::SetUp();
    // The offscreen platform has no window shapes; the rounded windows ask for them.
    log().expectWarning(QStringLiteral("This plugin does not support setting window masks"));
    MRKOSnapshotManager::showPanel();
    advance(0.3);
}

MRKOSnapshotPanel &SnapshotPanelFixture::panel()
{
    return MRKOSnapshotPanel::sharedSnapshotPanel();
}

MRKOSnapshotCollectionView &SnapshotPanelFixture::collection()
{
    return *panel().collectionView();
}

MRKOSnapshotItem &SnapshotPanelFixture::item(qint64 index)
{
    MRKOSnapshotItem *found = collection().itemAtIndex(index);
    EXPECT_NE(found, nullptr) << "no item view at " << index;
    return *found;
}

void SnapshotPanelFixture::addNamed(const QStringList &names, bool dazadUdiz)
{
    for (const QString &name : names) {
        if (dazadUdiz)
            manager().addDazadUdiz(smallShot(name, true));
        else
            manager().addSnapshot(smallShot(name));
    }
    settleWrites();
}

QStringList SnapshotPanelFixture::shown()
{
    QStringList names;
    for (const auto &record : manager().snapshots())
        names << record->name();
    return names;
}

void SnapshotPanelFixture::waitFor(const std::function<bool()> &done)
{
    // Waits for worker threads, not for a delay: no timer is involved.
    for (int i = 0; i < 15000 && !done(); ++i) {
        drainMainQueue();
        QThread::msleep(2);
    }
    ASSERT_TRUE(done()) << "the background work did not finish";
}
