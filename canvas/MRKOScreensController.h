#pragma once

#include "platform/NotificationCenter.h"
#include "platform/Screens.h"

#include <QList>
#include <QObject>

/// Orders the displays (the preferred display first) and rebuilds the overlay once the display arrangement has
/// settled: every change notice moves one pending rebuild to 1.0 s after it. One instance for the process.
class MRKOScreensController final : public QObject
{
    Q_OBJECT
public:
    static constexpr double kSettleDelay = 1.0; // seconds from the last change to the rebuild

    [[nodiscard]] static MRKOScreensController &sharedScreensController();

    /// The displays, the preferred one first when the stored index names one of them, else in the system's order.
    [[nodiscard]] static QList<platform::ScreenInfo> screens();
    /// Reloads the preferred index from "PreferedScreenIndex".
    static void updatePreferedScreenIndex();
    [[nodiscard]] static qint64 preferedScreenIndex();
    /// Rebuilds at once; for the tool panel after it moved to another display.
    static void forceReactivate();
    /// Removes every overlay window after a display change in freeze mode; with `activate` the overlay is shown
    /// again on the new arrangement.
    static void performChangesInFreezeModeNeedActivate(bool activate);

    /// A change notice: the pending rebuild, if any, is replaced by one 1.0 s from now.
    void performChangeScreenParameters();
    /// The rebuild.
    void didChangeScreenParameters();
    /// Rebuilds at once when some overlay window no longer lies where its display is.
    void validateScreensEquality();

private:
    MRKOScreensController();
    ~MRKOScreensController() override;

    platform::ObserverToken m_observer;
};
