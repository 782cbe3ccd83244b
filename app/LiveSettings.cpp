#include "app/LiveSettings.h"

namespace inkora {

LiveSettings &liveSettings()
{
    static LiveSettings settings;
    return settings;
}

} // namespace inkora
