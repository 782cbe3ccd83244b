#include "app/AppDelegate.h"
#include "app/DisplayLoss.h"
#include "app/QuitOnSignal.h"
#include "canvas/MRKOScreensController.h"
#include "foundation/InkoraLog.h"
#include "platform/Services.h"
#include "platform/SingleInstance.h"
#include "platform/linux/LinuxServices.h"
#include "snapshots/MRKOSnapshotDoc.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Before Qt starts, which would abort with a generic message without a display, or launch a bus daemon of its
    // own without a bus address.
    if (const QString problem = platform::x11DisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    platform::prepareSessionBusAddress();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Inkora"));
    QApplication::setOrganizationDomain(QStringLiteral("com.Inkora"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::install(platform::makeLinuxServices());
    // One copy per session: a later start hands its arguments to the running copy, which comes forward.
    platform::SingleInstance &instance = *platform::services().singleInstance;
    // Documents go over as absolute paths: the running copy has a working directory of its own.
    const QStringList documents =
        MRKOSnapshotDoc::documentPathsFromArguments(QCoreApplication::arguments().mid(1), QDir::currentPath());
    if (!instance.claim()) {
        const bool handedOver = instance.handOver(documents);
        if (!handedOver)
            qCWarning(lcApp) << "main: Inkora runs already but could not be asked to come forward; this start ends";
        platform::shutDown();
        return handedOver ? 0 : 1;
    }

    auto delegate = std::make_unique<AppDelegate>();
    // Before anything reads a setting.
    delegate->prepareUserDefaults();
    instance.setActivationHandler([d = delegate.get()](const QStringList &arguments) {
        const QStringList handed = MRKOSnapshotDoc::documentPathsFromArguments(arguments, QDir::rootPath());
        if (handed.isEmpty())
            d->inkoraAppBecomeActive();
        for (const QString &path : handed)
            (void)MRKOSnapshotDoc::openDocumentAtPath(path);
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, delegate.get(), &AppDelegate::applicationWillTerminate);
    inkora::quitOnTerminationSignals([d = delegate.get()] { d->terminate(); });
    inkora::endCleanlyWhenTheDisplayIsLost([d = delegate.get()] { d->applicationWillTerminate(); });
    // The launch completes once the event loop runs.
    QTimer::singleShot(0, delegate.get(), [d = delegate.get(), documents] {
        d->applicationDidFinishLaunching();
        // From now on display changes rebuild the overlay.
        (void)MRKOScreensController::sharedScreensController();
        for (const QString &path : documents)
            (void)MRKOSnapshotDoc::openDocumentAtPath(path);
    });

    // Quits cleanly after a given time when asked to, for smoke tests.
    if (const QByteArray ms = qgetenv("INKORA_QUIT_AFTER_MS"); !ms.isEmpty())
        QTimer::singleShot(ms.toInt(), delegate.get(), &AppDelegate::terminate);
    const int status = QApplication::exec();
    // Everything that talks to the bus or the X server goes while both connections still work.
    delegate.reset();
    platform::shutDown();
    return status;
}
