#include "snapshots/CanvasBackup.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "platform/Dispatch.h"
#include "snapshots/MRKOSnapshot.h"

#include <algorithm>
#include <set>

namespace inkora {

namespace {

std::vector<MRKODraw *> canvases()
{
    std::vector<MRKODraw *> found;
    if (const AppDelegate *app = AppDelegate::shared()) {
        for (MRKOWindowController *controller : app->windowControllersArray()) {
            if (MRKODraw *canvas = controller->drawView())
                found.push_back(canvas);
        }
    }
    return found;
}

qint64 activeDissolveMode()
{
    const AppDelegate *app = AppDelegate::shared();
    const MRKODraw *active = app ? app->activeDrawView() : nullptr;
    return active ? active->dissolveMode() : -1;
}

} // namespace

CanvasBackup::CanvasBackup()
    : m_writes(platform::DispatchQueue::createSerial(QStringLiteral("com.Inkora.Inkora.canvas-backup")))
{}

CanvasBackup::~CanvasBackup() = default;

void CanvasBackup::createSnapshotsBackupIfNeeded()
{
    if (activeDissolveMode() <= 0)
        return;
    const std::vector<MRKODraw *> current = canvases();
    std::set<qint64> indexes;
    for (const MRKODraw *canvas : current)
        indexes.insert(canvas->index());
    // A kept snapshot that a canvas is about to take back means a restore is pending: it is not overwritten.
    if (std::any_of(m_snapshots.begin(), m_snapshots.end(),
                    [&](const auto &shot) { return indexes.count(shot->screenIndex()) > 0; }))
        return;
    std::vector<std::shared_ptr<MRKOSnapshot>> kept;
    for (MRKODraw *canvas : current)
        kept.push_back(canvas->currentSnapshot());
    kept.insert(kept.end(), m_snapshots.begin(), m_snapshots.end());
    m_snapshots = std::move(kept);
}

void CanvasBackup::loadBackedUpSnapshotsToCanvasIfNeeded()
{
    if (activeDissolveMode() != 1 || m_snapshots.empty())
        return;
    const std::vector<MRKODraw *> current = canvases();
    std::vector<std::shared_ptr<MRKOSnapshot>> waiting;
    for (const std::shared_ptr<MRKOSnapshot> &shot : m_snapshots) {
        const auto canvas = std::find_if(current.begin(), current.end(),
                                         [&](const MRKODraw *c) { return c->index() == shot->screenIndex(); });
        if (canvas != current.end())
            (*canvas)->applySnapshot(shot);
        else
            waiting.push_back(shot); // its display is gone for now
    }
    m_snapshots = std::move(waiting);
}

void CanvasBackup::loadCanvasFromDocumentsIfNeeded()
{
    const qint64 displays = qint64(MRKOScreensController::screens().size());
    std::vector<std::shared_ptr<MRKOSnapshot>> found;
    for (qint64 index = 0; index < displays; ++index) {
        std::shared_ptr<MRKOSnapshot> shot = MRKOSnapshot::snapshotFromDocumentsAtIndex(index);
        if (!shot)
            continue;
        // The file names the display; what the archive says must agree, or the drawings would land elsewhere.
        shot->setScreenIndex(index);
        found.push_back(std::move(shot));
    }
    if (!found.empty())
        m_snapshots = std::move(found);
}

bool CanvasBackup::saveCanvasToDocuments(bool now)
{
    const AppDelegate *app = AppDelegate::shared();
    if (!app || !app->wantsToSaveAndLoad())
        return false;
    const std::vector<MRKODraw *> current = canvases();
    std::vector<std::shared_ptr<MRKOSnapshot>> writes;
    std::vector<qint64> removals;
    std::set<qint64> indexes;
    for (MRKODraw *canvas : current) {
        indexes.insert(canvas->index());
        if (!canvas->hasLayers()) {
            removals.push_back(canvas->index());
        } else if (now) {
            writes.push_back(canvas->currentSnapshot());
        } else {
            // Copies: the drawings go on changing on this thread while the copy is written.
            writes.push_back(MRKOSnapshot::snapshotWithLayers(canvas->activeLayersCopy(), QImage(), canvas->bounds(),
                                                              canvas->index()));
        }
    }
    // Kept drawings of displays without a canvas now are saved too, so that they come back with their display.
    for (const std::shared_ptr<MRKOSnapshot> &shot : m_snapshots) {
        if (!indexes.count(shot->screenIndex()))
            writes.push_back(shot);
    }
    const auto save = [writes, removals] {
        for (const std::shared_ptr<MRKOSnapshot> &shot : writes)
            shot->saveToDocumentsDirectory();
        for (const qint64 index : removals)
            MRKOSnapshot::removeSnapshotsFromDocumentsDirectoryAtIndex(index);
    };
    if (now) {
        // An autosave still queued must not land after this one.
        waitForWrites();
        save();
    } else {
        m_writes->async(save);
    }
    return true;
}

void CanvasBackup::waitForWrites()
{
    m_writes->sync([] {});
}

} // namespace inkora
