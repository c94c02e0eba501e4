#pragma once

#include "market/pairs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vz {

// No real-time file has changed for this long: the prices are stale.
inline constexpr std::int64_t PRICES_STALE_AFTER_SECONDS = 60;
// One pair's file has not changed for this long while others move.
inline constexpr std::int64_t PAIR_STALE_AFTER_SECONDS = 5 * 60;
// The most stale pairs the status area names at once.
inline constexpr std::size_t STALE_PAIRS_NAMED = 3;

using FileTimes = std::array<std::optional<std::int64_t>, PAIR_COUNT>;

// What the program knows about the age of the live prices, kept from one
// real-time tick to the next.
struct PriceWatch {
    // Each pair's file modification time as last read (nanoseconds, UTC).
    FileTimes modified{};
    // When the watch saw each file change, in clock seconds (UTC). A change
    // is timed by the clock that saw it, so a feed writing to a folder whose
    // clock runs apart from this one is still judged fairly.
    std::array<std::optional<std::int64_t>, PAIR_COUNT> changedAt{};
    // Whether the last tick found every file still, and when the files last
    // started to move again after that: a pair counts as stale only for the
    // time the others have been moving.
    bool allStill = false;
    std::optional<std::int64_t> movingAgainAt;
    // A stale report is logged once, and its end too.
    bool pricesStaleLogged = false;
    std::array<bool, PAIR_COUNT> pairStaleLogged{};
};

struct PriceWatchReport {
    std::string line;                 // for the status area; "" for nothing
    std::vector<std::string> entries; // for the event log, in order
};

// The local time, as a clock gives it, less UTC in seconds, rounded to the
// quarter hour that every zone's offset is a multiple of, so that a second
// passing between the two readings does not show.
std::int64_t localOffsetSeconds(std::int64_t localSeconds, std::int64_t utcSeconds);

// Notes the files' new modification times (nullopt: no file, left out) at
// clock time `nowUtc` and says what to show and log. Times are shown in the
// zone `localOffset` seconds ahead of UTC.
PriceWatchReport watchPrices(PriceWatch& watch, const FileTimes& modified, std::int64_t nowUtc,
                             std::int64_t localOffset);

} // namespace vz
