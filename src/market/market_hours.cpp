#include "market/market_hours.h"

#include "platform/clock.h"

namespace vz {

namespace {

constexpr std::int64_t SECONDS_PER_HOUR = 3600;
constexpr std::int64_t SECONDS_PER_DAY = 24 * SECONDS_PER_HOUR;
constexpr int SUNDAY = 0;
constexpr int FRIDAY = 5;
constexpr int SATURDAY = 6;
// The trading day ends, and the week with it, at 17:00 in New York.
constexpr std::int64_t CLOSE_SECOND_OF_DAY = 17 * SECONDS_PER_HOUR;

std::int64_t dayNumber(std::int64_t seconds) {
    const std::int64_t days = seconds / SECONDS_PER_DAY;
    return days * SECONDS_PER_DAY > seconds ? days - 1 : days;
}

// 0 for Sunday up to 6 for Saturday; 1970-01-01 was a Thursday.
int weekdayOfDay(std::int64_t day) {
    return static_cast<int>(((day + 4) % 7 + 7) % 7);
}

std::int64_t dayOf(int year, int month, int day) {
    return dayNumber(secondsSinceEpoch(LocalTime{year, month, day, 0, 0, 0}));
}

// The day of the month's nth Sunday; n = 0 asks for the last one.
std::int64_t sundayOf(int year, int month, int n) {
    if (n == 0) {
        const std::int64_t last = dayOf(month == 12 ? year + 1 : year, month % 12 + 1, 1) - 1;
        return last - weekdayOfDay(last);
    }
    const std::int64_t first = dayOf(year, month, 1);
    return first + (7 - weekdayOfDay(first)) % 7 + 7 * (n - 1);
}

} // namespace

int newYorkOffsetSeconds(std::int64_t utcSeconds) {
    constexpr int STANDARD = -5 * 3600;
    constexpr int DAYLIGHT = -4 * 3600;
    const int year = timeFromSeconds(utcSeconds).year;
    // The clocks change at 02:00 local time: 07:00 UTC in spring, 06:00 UTC
    // in autumn. The rules changed in 2007.
    const bool current = year >= 2007;
    const std::int64_t start =
        sundayOf(year, current ? 3 : 4, current ? 2 : 1) * SECONDS_PER_DAY + 7 * SECONDS_PER_HOUR;
    const std::int64_t end =
        sundayOf(year, current ? 11 : 10, current ? 1 : 0) * SECONDS_PER_DAY + 6 * SECONDS_PER_HOUR;
    return utcSeconds >= start && utcSeconds < end ? DAYLIGHT : STANDARD;
}

bool isFxWeekend(std::int64_t utcSeconds) {
    const std::int64_t local = utcSeconds + newYorkOffsetSeconds(utcSeconds);
    const std::int64_t day = dayNumber(local);
    const std::int64_t secondOfDay = local - day * SECONDS_PER_DAY;
    switch (weekdayOfDay(day)) {
    case FRIDAY:
        return secondOfDay >= CLOSE_SECOND_OF_DAY;
    case SATURDAY:
        return true;
    case SUNDAY:
        return secondOfDay < CLOSE_SECOND_OF_DAY;
    default:
        return false;
    }
}

} // namespace vz
