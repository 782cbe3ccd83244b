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

    // Quits cleanly after a given time when asked to, for smoke tests.
    if (const QByteArray ms = qgetenv("INKORA_QUIT_AFTER_MS"); !ms.isEmpty())
        QTimer::singleShot(ms.toInt(), &app, &QApplication::quit);
    return app.exec();
}
