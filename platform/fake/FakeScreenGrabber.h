#pragma once

#include "platform/ScreenGrabber.h"

#include <QColor>

#include <optional>
#include <vector>

namespace platform {

/// Answers every grab with an image of the asked size filled with the colour set for that kind of grab, and records
/// the calls; can be told to fail.
class FakeScreenGrabber final : public ScreenGrabber
{
public:
    struct Call
    {
        QRect area;
        std::optional<quint64> window; // none for grabArea
        bool includeWindow = false;
    };

    [[nodiscard]] QImage grabArea(const QRect &area) override;
    [[nodiscard]] QImage grabBelowWindow(quint64 window, bool includeWindow, const QRect &area) override;

    /// Colours of the images answered: everything, below a window, below and including it.
    void setColors(const QColor &area, const QColor &below, const QColor &including);
    /// A failing grabber answers null images and logs one line per grab.
    void setFails(bool fails) { m_fails = fails; }
    [[nodiscard]] const std::vector<Call> &calls() const { return m_calls; }

private:
    [[nodiscard]] QImage answer(const QRect &area, const QColor &color);

    QColor m_area{0, 0, 255};
    QColor m_below{0, 255, 0};
    QColor m_including{255, 0, 0};
    bool m_fails = false;
    std::vector<Call> m_calls;
};

} // namespace platform
