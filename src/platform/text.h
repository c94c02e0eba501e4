#pragma once

#include "platform/clock.h"

#include <string>

namespace vz {

inline constexpr int DEFAULT_NUMBER_DECIMALS = 2;
inline constexpr int MAX_NUMBER_DECIMALS = 40;

// Always one leading blank: " %d" for a value equal to its nearest integer,
// otherwise " %.*f" with numberDecimals decimals.
std::string formatNumber(double value, int numberDecimals = DEFAULT_NUMBER_DECIMALS);

// The decimals setting after asking for `requested`: values above 40 become 40,
// negative ones 0.
int clampNumberDecimals(int requested);

// "%02d-%02d-%04d" month, day, year.
std::string dateText(const LocalTime& time);
// "%02d:%02d:%02d", hours 0-23.
std::string timeText(const LocalTime& time);

std::string currentDateText(Clock& clock);
std::string currentTimeText(Clock& clock);

} // namespace vz
