#include "app/AppDelegate.h"
#include "app/QuitOnSignal.h"
#include "platform/Services.h"
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

    AppDelegate delegate;
    // Before anything reads a setting.
    delegate.prepareUserDefaults();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    inkora::quitOnTerminationSignals([&delegate] { delegate.terminate(); });
    // The launch completes once the event loop runs.
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);

    // Quits cleanly after a given time when asked to, for smoke tests.
    if (const QByteArray ms = qgetenv("INKORA_QUIT_AFTER_MS"); !ms.isEmpty())
        QTimer::singleShot(ms.toInt(), &delegate, &AppDelegate::terminate);
    return app.exec();
}
