#pragma once

#include "common/stop_signal.h"

#include "tools/import/clock_time.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vz {

enum class FeedSource { Walk, Ticks, History };

// The longest wait between writes that the options may ask for: one day.
inline constexpr int MAX_INTERVAL_MS = 24 * 60 * 60 * 1000;
inline constexpr double MAX_SPEED = 1e6;

struct FeedOptions {
    std::string folder;
    FeedSource source = FeedSource::Walk;
    std::string ticksFile;
    int intervalMs = 1000;
    double speed = 1.0; // divides the interval
    std::uint64_t seed = 1;
    double volatility = 0.0001; // per write, as a share of each currency's value
    std::optional<long> count;  // writes before stopping; endless when unset
    bool loop = false;          // start a tick file or the history again at its end
    std::optional<int> makeHistory;
    std::optional<Minute> historyEnd; // newest history hour; the current hour when unset
};

struct FeedCommand {
    FeedOptions options;
    bool showHelp = false;
    std::string error;
};

FeedCommand parseFeedCommand(const std::vector<std::string>& args);
std::string feedHelpText();

// Writes price sets until the count is reached, the source runs out or `stop`
// turns true; a write under way is always finished first. Returns the exit
// status: 0 done, 2 bad input, 1 a file could not be written.
int runFeed(const FeedOptions& options, const StopFlag& stop, std::ostream& err);

} // namespace vz
