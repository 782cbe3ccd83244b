#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

/// Reads what the X server knows of top-level windows, through a connection of its own.
class XcbWindowProbe
{
public:
    struct Window
    {
        std::uint32_t id = 0;
        bool mapped = false;
        bool overrideRedirect = false;
        QRect geometry;      // root coordinates
        int inputRects = -1; // rectangles of the input shape; 0 = takes no pointer input
        int stackIndex = -1; // among the root's children, bottom first
    };

    XcbWindowProbe();
    ~XcbWindowProbe();
    XcbWindowProbe(const XcbWindowProbe &) = delete;
    XcbWindowProbe &operator=(const XcbWindowProbe &) = delete;

    [[nodiscard]] bool isConnected() const;
    [[nodiscard]] std::optional<Window> window(std::uint32_t id);
    /// The mapped top-level window whose _NET_WM_PID is `pid`, if there is one.
    [[nodiscard]] std::optional<Window> mappedWindowOfProcess(qint64 pid);
    /// Every mapped top-level window of `pid`, bottom first.
    [[nodiscard]] std::vector<Window> mappedWindowsOfProcess(qint64 pid);

private:
    [[nodiscard]] std::vector<std::uint32_t> stackingOrder();
    [[nodiscard]] std::uint32_t atom(const char *name);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
};
