#include "platform/fake/FakeSystemProfile.h"

namespace platform {

bool FakeSystemProfile::isVersionAtLeast(int major, int minor) const
{
    const auto answer = m_answers.find({major, minor});
    if (answer != m_answers.end())
        return answer->second;
    return !m_version || *m_version >= std::make_pair(major, minor);
}

} // namespace platform
