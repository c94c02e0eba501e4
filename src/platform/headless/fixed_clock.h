#pragma once

#include "platform/clock.h"

namespace vz {

// A clock that stands still until told otherwise.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalTime time = {2026, 12, 6, 14, 30, 0}) : time_(time) {}
    LocalTime now() override { return time_; }
    void set(const LocalTime& time) { time_ = time; }
    // Moves forward by whole seconds, rolling minutes, hours and days over
    // (month lengths of the Gregorian calendar).
    void advanceSeconds(long long seconds);

private:
    LocalTime time_;
};

} // namespace vz
