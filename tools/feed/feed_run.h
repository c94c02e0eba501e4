#pragma once

#include "common/stop_signal.h"

#include "tools/import/clock_time.h"

#include <atomic>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vz {

enum class FeedSource { Walk, Ticks, History, Stdin };

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
    std::string prefix;               // around the symbols of the stdin source
    std::string suffix;
};

struct FeedCommand {
    FeedOptions options;
    bool showHelp = false;
    std::string error;
};

FeedCommand parseFeedCommand(const std::vector<std::string>& args);
std::string feedHelpText();

// Writes price sets until the count is reached, the source runs out or `stop`
// turns true; a write under way is always finished first. A file that cannot
// be written is reported and tried again at every write while the other pairs
// go on. Returns the exit status: 0 done, 2 bad input, 1 a file could not be
// written (by the end). The stdin source reads `input`.
int runFeed(const FeedOptions& options, const StopFlag& stop, std::ostream& err,
            std::istream& input);
int runFeed(const FeedOptions& options, const StopFlag& stop, std::ostream& err);

} // namespace vz
