#pragma once

#include <functional>

namespace inkora {

/// When the X connection breaks (log-out, the server ending, our window's client killed), Qt ends the process
/// with exit(1) from inside its event loop, and static destruction would then call into a bus connection that is
/// already gone. This takes that end over when Qt reports the loss: Qt's line becomes one of ours,
/// `quitWithoutDisplay` runs what the quit sequence can without a display, and the process ends with status 1
/// without destroying any static.
/// Call once, from the main thread, after the services are installed.
void endCleanlyWhenTheDisplayIsLost(std::function<void()> quitWithoutDisplay);

} // namespace inkora
