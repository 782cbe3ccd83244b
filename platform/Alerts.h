#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// An error as the user is shown it: its domain and code, the description, why it happened and, when another error
/// caused it, that one's description.
struct ErrorReport
{
    QString domain;
    qint64 code = 0;
    QString description;
    QString failureReason;
    QString underlyingDescription;
};

/// A modal alert: message, informative text and buttons, the first being the default.
struct AlertContent
{
    QString message;
    QString informativeText;
    QStringList buttons;
};

/// Modal error and question dialogs of the application.
class Alerts
{
public:
    /// What `runModal` answers for the first button; the next ones count up from it.
    static constexpr int kFirstButton = 1000;

    virtual ~Alerts() = default;
    /// Shows the error until the user dismisses it; true when the error was dealt with (a recovery ran), which a
    /// plain error dialog never does.
    virtual bool presentError(const ErrorReport &error) = 0;
    /// Shows the alert until a button is pressed; `kFirstButton` plus the button's position.
    virtual int runModal(const AlertContent &alert) = 0;
};

} // namespace platform
