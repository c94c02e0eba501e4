#include "tools/feed/feed_run.h"

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

// A signal handler can reach nothing but a lock-free flag of static storage.
std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) {
    stopRequested.store(true);
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    static_assert(std::atomic<bool>::is_always_lock_free);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vz::FeedCommand command = vz::parseFeedCommand(args);
    if (command.showHelp) {
        std::cout << vz::feedHelpText();
        return 0;
    }
    if (!command.error.empty()) {
        std::cerr << "vurezer-feed: " << command.error << " (see --help)\n";
        return 2;
    }
    installStopHandlers();
    return vz::runFeed(command.options, stopRequested, std::cerr);
}
