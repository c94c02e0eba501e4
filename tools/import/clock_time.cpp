#include "tools/import/clock_time.h"

#include "market/market_hours.h"
#include "platform/clock.h"

#include <cstdio>

namespace vz {

namespace {

constexpr int THURSDAY = 4; // 1970-01-01

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

// The program's own calendar arithmetic, counted in days.
std::int64_t daysFromCivil(CivilDate date) {
    constexpr std::int64_t SECONDS_PER_DAY = 86400;
    return secondsSinceEpoch(LocalTime{date.year, date.month, date.day, 0, 0, 0}) / SECONDS_PER_DAY;
}

CivilDate civilFromDays(std::int64_t days) {
    constexpr std::int64_t SECONDS_PER_DAY = 86400;
    const LocalTime time = timeFromSeconds(days * SECONDS_PER_DAY);
    return {time.year, time.month, time.day};
}

int daysInMonth(int year, int month) {
    static constexpr int LENGTHS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) {
        return 29;
    }
    return LENGTHS[month - 1];
}

Minute floorDiv(Minute value, Minute divisor) {
    const Minute quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

int weekdayOf(Minute minute) {
    const Minute days = floorDiv(minute, MINUTES_PER_DAY);
    return static_cast<int>((days % 7 + 7 + THURSDAY) % 7);
}

int newYorkOffsetMinutes(Minute utc) {
    // The program's own weekend rule keeps the one copy of the US clock changes.
    return newYorkOffsetSeconds(utc * 60) / 60;
}

Minute serverFromUtc(Minute utc) {
    return utc + newYorkOffsetMinutes(utc) + 7 * MINUTES_PER_HOUR;
}

std::string dayLabel(Minute minute) {
    const CivilDate date = civilFromDays(floorDiv(minute, MINUTES_PER_DAY));
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d", date.year, date.month, date.day);
    return text;
}

std::string minuteLabel(Minute minute) {
    const Minute ofDay = minute - floorDiv(minute, MINUTES_PER_DAY) * MINUTES_PER_DAY;
    char text[16];
    std::snprintf(text, sizeof text, " %02d:%02d", static_cast<int>(ofDay / MINUTES_PER_HOUR),
                  static_cast<int>(ofDay % MINUTES_PER_HOUR));
    return dayLabel(minute) + text;
}

} // namespace vz
