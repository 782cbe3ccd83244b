#pragma once

#include "platform/Event.h"

#include <QRegion>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

/// What floating windows need of the window system beyond Qt: desktop-wide hints, the frontmost application,
/// whether transparency works, and the stacking of other programs' windows.
class WindowSystem
{
public:
    /// Removes its monitor when destroyed.
    class Monitor
    {
    public:
        virtual ~Monitor() = default;
    };

    virtual ~WindowSystem() = default;
    /// Sticky on every desktop, kept above other applications' windows, out of the task bar and the pager. Call on
    /// a window whose native window exists; safe to call again.
    virtual void prepareFloatingWindow(QWidget &window) = 0;
    /// The application id of the active window ("com.Inkora.Inkora" for our own windows); empty when unknown.
    [[nodiscard]] virtual QString frontmostApplicationId() = 0;
    /// The process owning the active window; 0 when unknown.
    [[nodiscard]] virtual qint64 frontmostProcessId() = 0;
    /// Makes one of our windows the active one, for the keyboard.
    virtual void activateWindow(QWidget &window) = 0;
    /// Whether a compositing manager runs, without which transparent windows show black.
    [[nodiscard]] virtual bool hasCompositingManager() = 0;
    /// Calls the handler on the main thread when another program's top-level window is mapped or restacked, which
    /// may have put it above our override-redirect windows; null when stacking cannot be watched.
    [[nodiscard]] virtual std::unique_ptr<Monitor> addForeignStackingMonitor(std::function<void()> handler)
    {
        Q_UNUSED(handler)
        return nullptr;
    }
    /// Calls the handler on the main thread with the new answer of hasCompositingManager whenever a compositing
    /// manager starts or stops; null when that cannot be watched.
    [[nodiscard]] virtual std::unique_ptr<Monitor> addCompositingMonitor(std::function<void(bool)> handler)
    {
        Q_UNUSED(handler)
        return nullptr;
    }
    /// The window's visible and clickable area, in its device pixels: `dirty` is replaced by `painted` (a subset of
    /// it). A null `dirty` sets the whole shape to `painted`. Without a compositing manager this keeps the desktop
    /// visible around what the window paints.
    virtual void updateWindowShape(QWidget &window, const QRegion &dirty, const QRegion &painted)
    {
        Q_UNUSED(window)
        Q_UNUSED(dirty)
        Q_UNUSED(painted)
    }
    /// Takes the shape off again: the whole window is visible.
    virtual void removeWindowShape(QWidget &window) { Q_UNUSED(window) }
    /// While on, an invisible window of the same frame lies just under `window` and hands every pointer event it
    /// gets to `window`: a shaped window still takes the pointer outside its shape. Call again after `window` was
    /// moved or restacked.
    virtual void setPointerCatcher(QWidget &window, bool on)
    {
        Q_UNUSED(window)
        Q_UNUSED(on)
    }
};

} // namespace platform
