#pragma once

#include "platform/Alerts.h"

namespace platform {

/// Alerts as Qt message boxes, above the overlay windows.
class QtAlerts final : public Alerts
{
public:
    bool presentError(const ErrorReport &error) override;
    int runModal(const AlertContent &alert) override;
};

} // namespace platform
