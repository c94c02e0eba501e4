#include "replay/stop_signals.h"

#include <csignal>

namespace vz {

namespace {

// A signal handler can reach nothing but static storage.
StopFlag stopSignal = 0;

extern "C" void recordStopSignal(int signal) {
    stopSignal = signal;
    std::signal(signal, SIG_DFL);
}

} // namespace

const StopFlag* installStopSignalHandlers() {
    std::signal(SIGINT, recordStopSignal);
    std::signal(SIGTERM, recordStopSignal);
    return &stopSignal;
}

} // namespace vz
