#pragma once

#include "platform/Alerts.h"

#include <QList>

namespace platform {

/// Records every error and alert and answers as scripted: errors are not dealt with, alerts answer the first button.
class FakeAlerts final : public Alerts
{
public:
    bool presentError(const ErrorReport &error) override
    {
        errors.append(error);
        return errorDealtWith;
    }
    int runModal(const AlertContent &alert) override
    {
        alerts.append(alert);
        return answer;
    }

    bool errorDealtWith = false;
    int answer = kFirstButton;
    QList<ErrorReport> errors;
    QList<AlertContent> alerts;
};

} // namespace platform
