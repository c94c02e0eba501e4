#pragma once

#include "common/stop_signal.h"

#include "tools/feed/stdin_lines.h"

#include <chrono>
#include <istream>
#include <ostream>

namespace vz {

struct StdinFeedSettings {
    SymbolMatch match;
    std::chrono::microseconds interval{1'000'000}; // the least time between two writes
    std::optional<long> count;                     // writes before stopping
};

// Feeds the real-time files of `folder` from the lines of `input` as they
// come: a pair's file is rewritten when its price changed, at most once per
// interval. A bad line is reported with its number and skipped; the end of
// the input ends the feed once the last prices are written. Returns the exit
// status: 0, or 1 when a file could still not be written at the end.
int runStdinFeed(const std::filesystem::path& folder, const StdinFeedSettings& settings,
                 std::istream& input, const StopFlag& stop, std::ostream& err);

} // namespace vz
