#include "platform/headless/fixed_clock.h"

namespace vz {
namespace {

constexpr long long SECONDS_PER_DAY = 86400;

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) {
        return 29;
    }
    return DAYS[(month - 1 + 12) % 12];
}

void nextDay(LocalTime& time) {
    if (time.day < daysInMonth(time.year, time.month)) {
        ++time.day;
        return;
    }
    time.day = 1;
    if (time.month < 12) {
        ++time.month;
        return;
    }
    time.month = 1;
    ++time.year;
}

} // namespace

void FixedClock::advanceSeconds(long long seconds) {
    if (seconds <= 0) {
        return;
    }
    long long secondOfDay =
        time_.hour * 3600LL + time_.minute * 60LL + time_.second + seconds % SECONDS_PER_DAY;
    long long days = seconds / SECONDS_PER_DAY + secondOfDay / SECONDS_PER_DAY;
    secondOfDay %= SECONDS_PER_DAY;
    time_.hour = static_cast<int>(secondOfDay / 3600);
    time_.minute = static_cast<int>(secondOfDay / 60 % 60);
    time_.second = static_cast<int>(secondOfDay % 60);
    for (; days > 0; --days) {
        nextDay(time_);
    }
}

} // namespace vz
