#pragma once

#include <functional>

namespace inkora {

/// Runs `quit` on the main thread when the process gets SIGTERM, SIGINT, SIGHUP or SIGQUIT, so that a signal quits the
/// same way as the quit command. Call once, from the main thread, after the application object exists.
void quitOnTerminationSignals(std::function<void()> quit);

} // namespace inkora
