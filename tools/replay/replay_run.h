#pragma once

#include "replay/replay_options.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vz {

inline constexpr int REPLAY_EXIT_OK = 0;
inline constexpr int REPLAY_EXIT_ERROR = 2;

// Runs one replay. Message boxes and errors go to `errors`; `standardInput`
// is read when the tick file is "-". Returns the exit status.
int runReplay(const ReplayOptions& options, std::istream& standardInput, std::ostream& errors);

// The whole tool, given the arguments after the program name.
int replayMain(const std::vector<std::string>& args, std::istream& standardInput,
               std::ostream& output, std::ostream& errors);

} // namespace vz
