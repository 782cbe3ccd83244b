#pragma once

#include "platform/SystemProfile.h"

#include <map>
#include <optional>
#include <utility>

namespace platform {

/// Answers like X11 until a test says otherwise: every release test yes, no Function key, trusted, may record.
class FakeSystemProfile final : public SystemProfile
{
public:
    [[nodiscard]] bool isVersionAtLeast(int major, int minor = 0) const override;
    [[nodiscard]] bool hasFunctionKey() const override { return m_hasFunctionKey; }
    [[nodiscard]] bool isAccessibilityTrusted() const override { return m_accessibilityTrusted; }
    [[nodiscard]] bool canRecordScreen() const override { return m_canRecordScreen; }

    /// Pretends to run release major.minor: tests of later releases answer no.
    void setVersion(int major, int minor = 0) { m_version = std::make_pair(major, minor); }
    /// Fixes the answer of one release test, whatever the pretended release.
    void setVersionAtLeast(int major, int minor, bool answer) { m_answers[{major, minor}] = answer; }
    void setHasFunctionKey(bool has) { m_hasFunctionKey = has; }
    void setAccessibilityTrusted(bool trusted) { m_accessibilityTrusted = trusted; }
    void setCanRecordScreen(bool can) { m_canRecordScreen = can; }

private:
    std::optional<std::pair<int, int>> m_version; // none: newer than every test
    std::map<std::pair<int, int>, bool> m_answers;
    bool m_hasFunctionKey = false;
    bool m_accessibilityTrusted = true;
    bool m_canRecordScreen = true;
};

} // namespace platform
