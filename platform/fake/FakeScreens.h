#pragma once

#include "platform/Screens.h"

namespace platform {

/// A display list that tests set; every change posts the change notification, as the system does.
class FakeScreens final : public Screens
{
public:
    FakeScreens();

    [[nodiscard]] QList<ScreenInfo> screens() const override { return m_screens; }

    /// Replaces the list and posts one change notification.
    void setScreens(const QList<ScreenInfo> &screens);
    /// Posts a change notification without changing the list (a display reconfigured in place).
    void postChange();

    /// A display for the list: numbered `number`, named "Fake-<number>".
    [[nodiscard]] static ScreenInfo makeScreen(quint32 number, const QRectF &frame, double backingScale = 1.0);

private:
    QList<ScreenInfo> m_screens;
};

} // namespace platform
