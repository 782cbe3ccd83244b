#pragma once

#include "platform/Screens.h"

#include <QHash>
#include <QObject>

class QScreen;

namespace platform {

/// The displays as Qt sees them (RandR outputs or monitors under X11), converted to y-up points around the main
/// display. Posts the change notification for every screen Qt adds, removes, moves or rescales.
class QtScreens final : public QObject, public Screens
{
    Q_OBJECT
public:
    QtScreens();
    ~QtScreens() override;

    [[nodiscard]] QList<ScreenInfo> screens() const override;

private:
    void watch(QScreen *screen);
    void postChange();
    [[nodiscard]] quint32 numberFor(const QString &name) const;

    mutable QHash<QString, quint32> m_numbers; // a number per output name, kept for the run
};

} // namespace platform
