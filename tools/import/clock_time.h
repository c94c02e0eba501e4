#pragma once

#include <cstdint>
#include <string>

namespace vz {

// Minutes since 1970-01-01 00:00 of whichever clock the caller works in.
using Minute = std::int64_t;

inline constexpr Minute MINUTES_PER_HOUR = 60;
inline constexpr Minute MINUTES_PER_DAY = 1440;

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

std::int64_t daysFromCivil(CivilDate date);
CivilDate civilFromDays(std::int64_t days);
int daysInMonth(int year, int month);

// 0 for Sunday up to 6 for Saturday.
int weekdayOf(Minute minute);

// Division that rounds towards minus infinity, so bars before 1970 still
// fall into the right bucket.
Minute floorDiv(Minute value, Minute divisor);

// Offset of New York from UTC in minutes (-300 or -240), with the US daylight
// saving rules in force in the year of the given UTC minute.
int newYorkOffsetMinutes(Minute utc);

// The dealing-room clock that runs seven hours ahead of New York, so that
// every trading day ends at 17:00 New York time, midnight on this clock.
Minute serverFromUtc(Minute utc);

// "YYYY.MM.DD" and "YYYY.MM.DD HH:MM".
std::string dayLabel(Minute minute);
std::string minuteLabel(Minute minute);

} // namespace vz
