#include "common/binary_stdio.h"
#include "common/stop_signal.h"

#include "tools/feed/feed_run.h"

#include <iostream>

int main(int argc, char** argv) {
    vz::useBinaryStandardStreams();
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
    return vz::runFeed(command.options, vz::installStopSignalHandlers(), std::cerr);
}
