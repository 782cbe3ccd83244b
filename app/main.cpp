#include "app/AppDelegate.h"
#include "app/QuitOnSignal.h"
#include "canvas/MRKOScreensController.h"
#include "foundation/InkoraLog.h"
#include "platform/Services.h"
#include "platform/SingleInstance.h"
#include "platform/linux/LinuxServices.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Inkora"));
    QApplication::setOrganizationDomain(QStringLiteral("com.Inkora"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::install(platform::makeLinuxServices());
    // One copy per session: a later start hands its arguments to the running copy, which comes forward.
    platform::SingleInstance &instance = *platform::services().singleInstance;
    if (!instance.claim()) {
        if (instance.handOver(QCoreApplication::arguments().mid(1)))
            return 0;
        qCWarning(lcApp) << "main: Inkora runs already but did not answer; this start ends";
        return 1;
    }

    AppDelegate delegate;
    // Before anything reads a setting.
    delegate.prepareUserDefaults();
    instance.setActivationHandler([&delegate](const QStringList &) { delegate.inkoraAppBecomeActive(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    inkora::quitOnTerminationSignals([&delegate] { delegate.terminate(); });
    // The launch completes once the event loop runs.
    QTimer::singleShot(0, &delegate, [&delegate] {
        delegate.applicationDidFinishLaunching();
        // From now on display changes rebuild the overlay.
        (void)MRKOScreensController::sharedScreensController();
    });

    // Quits cleanly after a given time when asked to, for smoke tests.
    if (const QByteArray ms = qgetenv("INKORA_QUIT_AFTER_MS"); !ms.isEmpty())
        QTimer::singleShot(ms.toInt(), &delegate, &AppDelegate::terminate);
    return app.exec();
}
