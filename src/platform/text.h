#pragma once

#include "platform/clock.h"

#include <array>
#include <string>
#include <string_view>

namespace vz {

inline constexpr int DEFAULT_NUMBER_DECIMALS = 2;
inline constexpr int MAX_NUMBER_DECIMALS = 40;

// Always one leading blank: " %d" for a value equal to its nearest integer,
// otherwise " %.*f" with numberDecimals decimals.
std::string formatNumber(double value, int numberDecimals = DEFAULT_NUMBER_DECIMALS);
// The same text appended to `out`, for rows built from many numbers.
void appendFormattedNumber(std::string& out, double value,
                           int numberDecimals = DEFAULT_NUMBER_DECIMALS);

// The same text for a whole value (" %d"), without the checks a double needs.
void appendWholeNumber(std::string& out, long long value);

// caption + formatNumber(value) + padding for a whole value, composed in
// place without allocating: the status lines print a dozen of these every
// tick. Captions and paddings are the program's own short texts; whatever
// would not fit the buffer is left off.
class FigureText {
public:
    FigureText(std::string_view caption, long long value, std::string_view padding);
    std::string_view view() const { return {chars_.data(), size_}; }

private:
    void append(std::string_view text);

    std::array<char, 96> chars_;
    std::size_t size_ = 0;
};

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
