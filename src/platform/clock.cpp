#include "platform/clock.h"

#include <ctime>

namespace vz {

namespace {

constexpr std::int64_t SECONDS_PER_DAY = 86400;

// Days since 1970-01-01 of a civil date, and back, after H. Hinnant's
// public-domain algorithms: exact for every year an int holds.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

} // namespace

std::int64_t Clock::utcSeconds() {
    return secondsSinceEpoch(now());
}

std::int64_t secondsSinceEpoch(const LocalTime& time) {
    return daysFromCivil(time.year, time.month, time.day) * SECONDS_PER_DAY + time.hour * 3600LL +
           time.minute * 60LL + time.second;
}

LocalTime timeFromSeconds(std::int64_t seconds) {
    const std::int64_t days = floorDivide(seconds, SECONDS_PER_DAY);
    const std::int64_t ofDay = seconds - days * SECONDS_PER_DAY;
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    LocalTime time;
    time.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    time.month = month;
    time.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    time.hour = static_cast<int>(ofDay / 3600);
    time.minute = static_cast<int>(ofDay / 60 % 60);
    time.second = static_cast<int>(ofDay % 60);
    return time;
}

std::int64_t SystemClock::utcSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

LocalTime SystemClock::now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    if (localtime_s(&parts, &seconds) != 0) {
#else
    if (localtime_r(&seconds, &parts) == nullptr) {
#endif
        return {};
    }
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

} // namespace vz
