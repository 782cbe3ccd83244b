#include "app/QuitOnSignal.h"

#include "foundation/InkoraLog.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace inkora {

namespace {

int s_signalFds[2] = {-1, -1};

// Only async-signal-safe work here: one byte to the main thread.
void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(s_signalFds[0], &byte, 1);
}

} // namespace

void quitOnTerminationSignals(std::function<void()> quit)
{
    if (s_signalFds[0] != -1)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_signalFds) != 0) {
        qCWarning(lcApp) << "quitOnTerminationSignals: no socket pair; a termination signal ends the program at once";
        return;
    }
    auto *notifier = new QSocketNotifier(s_signalFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [quit = std::move(quit)] {
        char byte = 0;
        if (::read(s_signalFds[1], &byte, 1) != 1)
            return;
        qCInfo(lcApp).noquote() << QStringLiteral("Signal %1: quitting").arg(int(byte));
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Closing the terminal (SIGHUP) and SIGQUIT end the program as SIGTERM does, through the quit sequence.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace inkora
