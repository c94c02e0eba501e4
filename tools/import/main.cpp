#include "common/binary_stdio.h"
#include "common/stop_signal.h"

#include "tools/import/import_options.h"

#include <iostream>

int main(int argc, char** argv) {
    vz::useBinaryStandardStreams();
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
    const vz::StopFlag& stop = vz::installStopSignalHandlers();
    const vz::ImportOutcome outcome = vz::runImport(command.options, &stop);
    const bool stopped = outcome.exitCode > 128;
    for (const std::string& note : stopped ? std::vector<std::string>{} : outcome.notes) {
        std::cout << note << '\n';
    }
    for (const std::string& warning : stopped ? std::vector<std::string>{} : outcome.warnings) {
        std::cerr << "vurezer-import: warning: " << warning << '\n';
    }
    for (const std::string& error : outcome.errors) {
        std::cerr << "vurezer-import: " << error << '\n';
    }
    if (outcome.exitCode == 0) {
        std::cout << "wrote 42 history files to " << command.options.folder << '\n';
    }
    return outcome.exitCode;
}
