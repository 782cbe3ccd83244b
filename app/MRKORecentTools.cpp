#include "app/MRKORecentTools.h"

#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"

#include <utility>

namespace {

bool s_wantsRecentTools = false;

} // namespace

MRKORecentTools &MRKORecentTools::recentTools()
{
    static MRKORecentTools s_recentTools;
    return s_recentTools;
}

bool MRKORecentTools::wantsRecentTools()
{
    return s_wantsRecentTools;
}

void MRKORecentTools::updateWantsRecentTools()
{
    s_wantsRecentTools = inkora::flagSetting(MRKOUtils::userDefaults(), QStringLiteral("ToolSwitchingMethod"));
}

void MRKORecentTools::setToolType(quint64 toolType)
{
    const quint64 group = toolType & 3;
    if (group == m_recentTypes[1])
        return;
    m_recentTypes[0] = m_recentTypes[1];
    m_recentTypes[1] = group;
}

quint64 MRKORecentTools::recentTool()
{
    std::swap(m_recentTypes[0], m_recentTypes[1]);
    return m_recentTypes[1];
}
