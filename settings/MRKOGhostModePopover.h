#pragma once

#include "platform/Popover.h"

#include <QPointer>
#include <QWidget>

#include <memory>

/// The explanation of ghost mode under the status item: "Got It" closes it, "Don't Show Again" stores
/// "GhostModePopoverDontShow" and closes it.
class MRKOGhostModeDescription final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOGhostModeDescription(QWidget *parent = nullptr);

    [[nodiscard]] platform::Popover *popover() const { return m_popover; }
    void setPopover(platform::Popover *popover) { m_popover = popover; }

    void gotItAction();
    void dontShowAgainAction();

private:
    QPointer<platform::Popover> m_popover; // not owned
};

/// The one ghost-mode popover, shown at each entry into ghost mode until the user asks not to see it again, and
/// never while the process-wide flag holds it back (the ghost-mode activation path sets it).
class MRKOGhostModePopover final
{
public:
    MRKOGhostModePopover() = delete;

    /// Made once, transient, without animation.
    [[nodiscard]] static platform::Popover &sharedPopover();
    [[nodiscard]] static bool hasSharedPopover();
    /// Shows it below the status item (below the top-right corner of the main display when the tray does not tell
    /// where the item is), unless held back or not wanted.
    static void showIfNeeded();
    static void disableGhostModePopover();
    static void enableGhostModePopover();
    [[nodiscard]] static bool ghostModePopoverDisabled();
    /// Drops the popover; for the end of the program and of tests.
    static void releaseSharedPopover();
};
