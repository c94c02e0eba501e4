#include "platform/text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vz {
namespace {

template <typename... Args> std::string printed(const char* format, Args... args) {
    const int size = std::snprintf(nullptr, 0, format, args...);
    if (size <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), format, args...);
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// The largest doubles that still fit a 64-bit integer; beyond them the
// conversion would be undefined.
constexpr double INT64_LOWER = -9223372036854775808.0;
constexpr double INT64_UPPER = 9223372036854775808.0;

} // namespace

std::string formatNumber(double value, int numberDecimals) {
    if (value == std::nearbyint(value)) {
        if (value >= INT64_LOWER && value < INT64_UPPER) {
            return printed(" %lld", static_cast<long long>(value));
        }
        return printed(" %.0f", value);
    }
    return printed(" %.*f", clampNumberDecimals(numberDecimals), value);
}

int clampNumberDecimals(int requested) {
    if (requested > MAX_NUMBER_DECIMALS) {
        return MAX_NUMBER_DECIMALS;
    }
    return requested < 0 ? 0 : requested;
}

std::string dateText(const LocalTime& time) {
    return printed("%02d-%02d-%04d", time.month, time.day, time.year);
}

std::string timeText(const LocalTime& time) {
    return printed("%02d:%02d:%02d", time.hour, time.minute, time.second);
}

std::string currentDateText(Clock& clock) {
    return dateText(clock.now());
}

std::string currentTimeText(Clock& clock) {
    return timeText(clock.now());
}

} // namespace vz
