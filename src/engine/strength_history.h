#pragma once

#include "engine/ranking.h"
#include "market/pairs.h"
#include "platform/clock.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vz {

// One hour of one-second ticks: what the strength chart can show.
inline constexpr int STRENGTH_HISTORY_TICKS = 3600;

// The ranking's figures after one tick, and the clock time of that tick.
struct StrengthSample {
    std::array<std::int32_t, PAIR_COUNT> pairPips{};
    std::int32_t referenceBias = 0;
    std::int32_t buyPower = 0;
    std::int32_t sellPower = 0;
    std::int32_t secondOfDay = 0;
};

// The newest STRENGTH_HISTORY_TICKS samples in a ring that is allocated once
// and never grows, however long the program runs.
struct StrengthHistory {
    std::vector<StrengthSample> ring = std::vector<StrengthSample>(STRENGTH_HISTORY_TICKS);
    int next = 0;  // slot the next sample goes into
    int count = 0; // samples held, at most STRENGTH_HISTORY_TICKS
};

StrengthSample strengthSampleOf(const MainRanking& ranking, const LocalTime& time);

// Adds the newest sample; once the ring is full it replaces the oldest.
void recordStrengthSample(StrengthHistory& history, const StrengthSample& sample);

// Forgets every sample (a new reference day makes them meaningless).
void clearStrengthHistory(StrengthHistory& history);

// Age 0 is the newest sample, count - 1 the oldest; age must be below count.
const StrengthSample& strengthSampleAt(const StrengthHistory& history, int age);

} // namespace vz
