#include "helper/AppDelegate.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("InkoraHelper"));
    QApplication::setApplicationVersion(QStringLiteral(INKORA_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::install(platform::makeLinuxServices());
    if (const QByteArray ms = qgetenv("INKORA_QUIT_AFTER_MS"); !ms.isEmpty())
        QTimer::singleShot(ms.toInt(), &app, &QApplication::quit);

    helper::AppDelegate delegate(QDBusConnection::sessionBus(), QCoreApplication::applicationFilePath(), ::getuid());
    platform::DispatchQueue::main().async([&delegate] { delegate.applicationDidFinishLaunching(); });
    return app.exec();
}
