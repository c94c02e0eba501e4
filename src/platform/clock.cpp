#include "platform/clock.h"

#include <ctime>

namespace vz {

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
