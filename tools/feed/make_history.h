#pragma once

#include "tools/import/clock_time.h"
#include "tools/import/history_set.h"

#include <cstdint>

namespace vz {

struct HistoryRequest {
    int bars = 300;         // per file, at most 499
    std::uint64_t seed = 1; // the same seed as the live walk that follows
    Minute end = 0;         // the newest hour on the labels' clock
    double hourlyVolatility = 0.0006;
};

// Daily, 4-hour and 1-hour files for all fourteen pairs from one hourly walk
// of the seven currencies, Monday to Friday only. The walk runs backwards from
// the live walk's starting levels, so line 0 of every file closes where the
// live prices of the same seed begin.
HistorySet makeHistory(const HistoryRequest& request);

// The start of the hour of `minute`, or of Friday 23:00 when it falls on a weekend.
Minute lastTradingHour(Minute minute);

} // namespace vz
