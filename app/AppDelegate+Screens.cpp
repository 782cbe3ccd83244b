#include "app/AppDelegate.h"
#include "platform/Dispatch.h"

namespace {
constexpr double kReactivationDelay = 0.1; // seconds; the completed launch settles before the overlay comes up
}

void AppDelegate::didChangeScreenParameters()
{
    // The overlay windows are rebuilt by whoever builds them; with none there is nothing to rebuild.
}

void AppDelegate::inkoraAppBecomeActive()
{
    if (!didFinishLaunching())
        applicationDidFinishLaunching();
    if (isActiveAndShown())
        return;
    platform::DispatchQueue::main().after(kReactivationDelay, [self = QPointer<AppDelegate>(this)] {
        const QString show = QStringLiteral("runInkora:");
        if (self && !self->isActiveAndShown() && self->respondsToAction(show))
            self->performAction(show, nullptr);
    });
}
