#pragma once

#include <cstdint>

namespace vz {

struct LocalTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class Clock {
public:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    Clock(Clock&&) = delete;
    Clock& operator=(Clock&&) = delete;
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
    // Seconds since 1970-01-01 00:00 UTC. A clock that only knows one zone
    // (a test clock) may leave this as it is: its local time is read as UTC.
    virtual std::int64_t utcSeconds();
};

class SystemClock final : public Clock {
public:
    LocalTime now() override;
    std::int64_t utcSeconds() override;
};

// The time as seconds since 1970-01-01 00:00 of its own zone, and back
// (proleptic Gregorian calendar, any year).
std::int64_t secondsSinceEpoch(const LocalTime& time);
LocalTime timeFromSeconds(std::int64_t seconds);

} // namespace vz
