#include "tools/import/clock_time.h"

#include "market/market_hours.h"

#include <cstdio>

namespace vz {

namespace {

constexpr int THURSDAY = 4; // 1970-01-01

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

std::int64_t daysFromCivil(CivilDate date) {
    const std::int64_t y = date.month <= 2 ? date.year - 1 : date.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t shiftedMonth = date.month > 2 ? date.month - 3 : date.month + 9;
    const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
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
