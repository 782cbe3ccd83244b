#pragma once

#include <QtGlobal>

#include <array>

/// The two tool groups used last, for the next-tool command's switching between them.
class MRKORecentTools final
{
public:
    /// The one record, made on first use.
    static MRKORecentTools &recentTools();

    /// Whether the next-tool command switches between the last two groups ("ToolSwitchingMethod" is 1).
    [[nodiscard]] static bool wantsRecentTools();
    static void updateWantsRecentTools();

    /// The group of the type becomes the current one; the current one becomes the previous one when it differs.
    void setToolType(quint64 toolType);
    /// Swaps the two and answers the group that was previous (0-3), the base tool type of that group.
    quint64 recentTool();
    /// [0] the previous group, [1] the current one.
    [[nodiscard]] const std::array<quint64, 2> &recentTypes() const { return m_recentTypes; }

private:
    MRKORecentTools() = default;

    std::array<quint64, 2> m_recentTypes = {1, 0};
};
