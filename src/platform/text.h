#pragma once

#include "platform/clock.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
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

// Text composed in a fixed buffer without allocating, for texts built every
// tick; whatever would not fit is left off.
template <std::size_t Capacity> class FixedText {
public:
    void clear() { size_ = 0; }
    void append(std::string_view text) {
        const std::size_t count = std::min(text.size(), chars_.size() - size_);
        std::copy_n(text.data(), count, chars_.data() + size_);
        size_ += count;
    }
    // "%lld", left off whole when it does not fit.
    void appendWhole(long long value) {
        const auto result =
            std::to_chars(chars_.data() + size_, chars_.data() + chars_.size(), value);
        if (result.ec == std::errc{}) {
            size_ = static_cast<std::size_t>(result.ptr - chars_.data());
        }
    }
    std::string_view view() const { return {chars_.data(), size_}; }

private:
    std::array<char, Capacity> chars_;
    std::size_t size_ = 0;
};

// caption + formatNumber(value) + padding for a whole value: the status
// lines print a dozen of these every tick. Captions and paddings are the
// program's own short texts.
class FigureText {
public:
    FigureText(std::string_view caption, long long value, std::string_view padding) {
        text_.append(caption);
        text_.append(" ");
        text_.appendWhole(value);
        text_.append(padding);
    }
    std::string_view view() const { return text_.view(); }

private:
    FixedText<96> text_;
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
