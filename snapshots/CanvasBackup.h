#pragma once

#include <memory>
#include <vector>

class MRKOSnapshot;
namespace platform {
class DispatchQueue;
}

namespace inkora {

/// The drawings of every display kept across display changes (in memory) and across launches (one snapshot file
/// per display in the Documents folder). Each snapshot goes back to the canvas whose index is its display index,
/// never to another; one without such a canvas is kept for when that display returns. The autosave writes run in
/// order on one serial queue. Main thread only.
class CanvasBackup final
{
public:
    CanvasBackup();
    ~CanvasBackup();
    CanvasBackup(const CanvasBackup &) = delete;
    CanvasBackup &operator=(const CanvasBackup &) = delete;

    [[nodiscard]] const std::vector<std::shared_ptr<MRKOSnapshot>> &snapshots() const { return m_snapshots; }

    /// Before the displays change in freeze mode: the drawings of every canvas, unless a restore is pending.
    void createSnapshotsBackupIfNeeded();
    /// After the overlay was shown in freeze mode: each kept snapshot onto its display's canvas.
    void loadBackedUpSnapshotsToCanvasIfNeeded();
    /// At launch: the Documents files of the current displays become the kept snapshots.
    void loadCanvasFromDocumentsIfNeeded();
    /// Writes every display's drawings, and removes the file of a display without any; with `now` before returning,
    /// else in the background. False when saving and loading is not wanted.
    bool saveCanvasToDocuments(bool now);
    /// Waits for the background writes queued so far.
    void waitForWrites();

private:
    std::vector<std::shared_ptr<MRKOSnapshot>> m_snapshots;
    std::shared_ptr<platform::DispatchQueue> m_writes;
};

} // namespace inkora
