#include "platform/fake/FakeScreenGrabber.h"

#include "platform/PlatformLog.h"

namespace platform {

QImage FakeScreenGrabber::grabArea(const QRect &area)
{
    m_calls.push_back({area, std::nullopt, false});
    return answer(area, m_area);
}

QImage FakeScreenGrabber::grabBelowWindow(quint64 window, bool includeWindow, const QRect &area)
{
    m_calls.push_back({area, window, includeWindow});
    return answer(area, includeWindow ? m_including : m_below);
}

void FakeScreenGrabber::setColors(const QColor &area, const QColor &below, const QColor &including)
{
    m_area = area;
    m_below = below;
    m_including = including;
}

QImage FakeScreenGrabber::answer(const QRect &area, const QColor &color)
{
    if (m_fails || area.isEmpty()) {
        qCWarning(lcPlatform) << "FakeScreenGrabber: no image, as scripted";
        return {};
    }
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace platform
