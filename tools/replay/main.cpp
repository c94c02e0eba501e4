#include "common/binary_stdio.h"
#include "common/stop_signal.h"
#include "replay/replay_run.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    vz::useBinaryStandardStreams();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vz::StopFlag& stop = vz::installStopSignalHandlers();
    return vz::replayMain(args, std::cin, std::cout, std::cerr, &stop);
}
