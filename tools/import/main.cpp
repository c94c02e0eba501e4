#include "tools/import/import_options.h"

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

// A signal handler can reach nothing but a lock-free flag of static storage;
// the run looks at it between its steps and cleans up after itself.
std::atomic<int> stopSignal{0};

extern "C" void requestStop(int signal) {
    stopSignal.store(signal);
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
    static_assert(std::atomic<int>::is_always_lock_free);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vz::ImportCommand command = vz::parseImportCommand(args);
    if (command.showHelp) {
        std::cout << vz::importHelpText();
        return 0;
    }
    if (!command.error.empty()) {
        std::cerr << "vurezer-import: " << command.error << " (see --help)\n";
        return 2;
    }
    installStopHandlers();
    const vz::ImportOutcome outcome = vz::runImport(command.options, &stopSignal);
    const bool stopped = outcome.exitCode > 128;
    for (const std::string& note : stopped ? std::vector<std::string>{} : outcome.notes) {
        std::cout << note << '\n';
    }
    for (const std::string& error : outcome.errors) {
        std::cerr << "vurezer-import: " << error << '\n';
    }
    if (outcome.exitCode == 0) {
        std::cout << "wrote 42 history files to " << command.options.folder << '\n';
    }
    return outcome.exitCode;
}
