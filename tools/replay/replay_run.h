#pragma once

#include "common/stop_signal.h"
#include "replay/replay_options.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vz {

inline constexpr int REPLAY_EXIT_OK = 0;
inline constexpr int REPLAY_EXIT_ERROR = 2;
// Stopped by a signal: the shell's convention, 128 + the signal's number.
inline constexpr int REPLAY_EXIT_SIGNAL_BASE = 128;

// Runs one replay. Message boxes and errors go to `errors`; `standardInput`
// is read when the tick file is "-". A set `stop` ends the run before the
// next tick, leaving no output behind. Returns the exit status.
int runReplay(const ReplayOptions& options, std::istream& standardInput, std::ostream& errors,
              const StopFlag* stop = nullptr);

// The whole tool, given the arguments after the program name.
int replayMain(const std::vector<std::string>& args, std::istream& standardInput,
               std::ostream& output, std::ostream& errors, const StopFlag* stop = nullptr);

} // namespace vz
