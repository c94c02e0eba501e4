#pragma once

#include "platform/clock.h"

#include <cstdint>

namespace vz {

// A clock that stands still until told otherwise.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalTime time = {2026, 12, 6, 14, 30, 0}) : time_(time) {}
    LocalTime now() override { return time_; }
    // The local time less its zone's offset from UTC (none unless set).
    std::int64_t utcSeconds() override { return secondsSinceEpoch(time_) - utcOffsetSeconds_; }
    void set(const LocalTime& time) { time_ = time; }
    // Local time minus UTC, in seconds: 3600 for a zone one hour east.
    void setUtcOffsetSeconds(std::int64_t offset) { utcOffsetSeconds_ = offset; }
    // Moves forward by whole seconds, rolling minutes, hours and days over
    // (month lengths of the Gregorian calendar).
    void advanceSeconds(long long seconds);

private:
    LocalTime time_;
    std::int64_t utcOffsetSeconds_ = 0;
};

} // namespace vz
