#include "common/stop_signal.h"

#include <csignal>

namespace vz {

namespace {

// A signal handler can reach nothing but a lock-free flag of static storage.
StopFlag stopSignal{0};
static_assert(StopFlag::is_always_lock_free);

extern "C" void recordStopSignal(int signal) {
    stopSignal.store(signal);
    std::signal(signal, SIG_DFL); // the next one ends the program at once
}

} // namespace

const StopFlag& installStopSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = recordStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return stopSignal;
}

} // namespace vz
