#pragma once

#include <atomic>

namespace vz {

// The number of a signal that asked a tool to stop, 0 while none has.
using StopFlag = std::atomic<int>;

// SIGINT and SIGTERM record their number in the returned flag instead of
// ending the program, so the tool can finish its step and remove unfinished
// files. A second signal ends the program at once, for a tool stuck waiting.
const StopFlag& installStopSignalHandlers();

} // namespace vz
