#include "platform/linux/NullScreenGrabber.h"

#include "platform/PlatformLog.h"

namespace platform {

QImage NullScreenGrabber::grabArea(const QRect &)
{
    logOnce();
    return {};
}

QImage NullScreenGrabber::grabBelowWindow(quint64, bool, const QRect &)
{
    logOnce();
    return {};
}

void NullScreenGrabber::logOnce()
{
    if (m_logged)
        return;
    m_logged = true;
    qCWarning(lcPlatform) << "ScreenGrabber: no X server connection; screen captures are empty";
}

} // namespace platform
