#include "common/binary_stdio.h"
#include "common/stop_signal.h"
#include "replay/replay_run.h"
#include "replay/tick_file.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    vz::useBinaryStandardStreams();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vz::StopFlag& stop = vz::installStopSignalHandlers();
    // Standard input read so that a stop request ends a read that waits for
    // the program feeding it.
    vz::InterruptibleFileBuf standardInputBuffer(0, &stop, false);
    std::istream standardInput(&standardInputBuffer);
    return vz::replayMain(args, standardInput, std::cout, std::cerr, &stop);
}
