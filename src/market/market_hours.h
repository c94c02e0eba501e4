#pragma once

#include <cstdint>

namespace vz {

// Offset of New York time from UTC in seconds (-5 h or -4 h), with the US
// daylight-saving rules in force in the year of `utcSeconds`.
int newYorkOffsetSeconds(std::int64_t utcSeconds);

// The FX weekend: from Friday 17:00 to Sunday 17:00, New York time.
bool isFxWeekend(std::int64_t utcSeconds);

} // namespace vz
