#pragma once

#include "market/pairs.h"
#include "platform/clock.h"
#include "platform/host.h"

#include <array>
#include <string>

namespace vz {

// Decimals of the prices in the active log; writing a row leaves the shared
// number format at this setting for the rest of the run.
inline constexpr int ACTIVE_LOG_DECIMALS = 4;

// One minute's picture of the market, as the active log writes it.
struct ActiveLogSnapshot {
    std::array<float, PAIR_COUNT> livePrices{};
    std::array<int, PAIR_COUNT> pairSlot{};
    std::array<int, PAIR_COUNT> pairPips{};
    int referenceBias = 0;
    int buyPower = 0;
    int sellPower = 0;
    std::string referenceDay;
};

// The 476-character, 47-field header line (without its line end).
std::string activeLogHeader();

// One 47-field row; timeField is the first field as written.
std::string activeLogRow(const std::string& timeField, const ActiveLogSnapshot& snapshot,
                         int numberDecimals);

// programFolder + "MM-DD-YYYY_AL.csv".
std::string activeLogFileName(const std::string& programFolder, const LocalTime& time);

// Appends one row to the day's file, creating it with its header when it is
// missing or empty; never truncates an existing file. Sets numberDecimals to 4.
void writeActiveLogRow(Host& host, const std::string& programFolder,
                       const ActiveLogSnapshot& snapshot, int& numberDecimals);

} // namespace vz
