#pragma once

#include "platform/SystemCursor.h"

namespace platform {

/// Counts hides and shows; can be told to fail with an error code.
class FakeSystemCursor final : public SystemCursor
{
public:
    int hide() override
    {
        if (m_error)
            return m_error;
        ++m_hides;
        ++m_hidden;
        return 0;
    }
    int show() override
    {
        if (m_error)
            return m_error;
        ++m_shows;
        if (m_hidden > 0)
            --m_hidden;
        return 0;
    }
    [[nodiscard]] bool isVisible() const override { return m_hidden == 0; }
    void setError(int error) { m_error = error; }
    [[nodiscard]] int hideCount() const { return m_hides; }
    [[nodiscard]] int showCount() const { return m_shows; }

private:
    int m_hidden = 0;
    int m_error = 0;
    int m_hides = 0;
    int m_shows = 0;
};

} // namespace platform
