#pragma once

#include "platform/SystemCursor.h"

namespace platform {

/// Hides and shows the pointer on the root window through XFixes, which counts hides per client.
class XFixesSystemCursor final : public SystemCursor
{
public:
    XFixesSystemCursor();
    int hide() override;
    int show() override;
    [[nodiscard]] bool isVisible() const override { return m_hidden == 0; }

private:
    void *m_connection = nullptr; // not owned: Qt's xcb connection
    unsigned m_root = 0;
    int m_hidden = 0;
    bool m_ready = false;
};

/// Without an X server the pointer cannot be hidden; the calls fail with an error code.
class NullSystemCursor final : public SystemCursor
{
public:
    int hide() override { return -1; }
    int show() override { return -1; }
    [[nodiscard]] bool isVisible() const override { return true; }
};

} // namespace platform
