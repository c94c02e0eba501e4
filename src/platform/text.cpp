#include "platform/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vz {
namespace {

// The largest doubles that still fit a 64-bit integer; beyond them the
// conversion would be undefined.
constexpr double INT64_LOWER = -9223372036854775808.0;
constexpr double INT64_UPPER = 9223372036854775808.0;

// Room for the longest fixed-point double (309 integer digits) with a sign,
// 40 decimals and the blank.
constexpr std::size_t NUMBER_BUFFER = 400;

// Decimals up to this many are written from a scaled integer when the
// scaled value stays below 2^52 (see scaledChars).
constexpr int MAX_SCALED_DECIMALS = 15;
constexpr double SCALED_LIMIT = 4503599627370496.0; // 2^52
constexpr std::array<double, MAX_SCALED_DECIMALS + 1> POWERS_OF_TEN = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// "%.*f" of a value that is not a whole number, from value × 10^decimals
// rounded to an integer: a quarter of the cost of to_chars for a double, and
// the replay's snapshot rows are full of prices. Exact: below 2^52 the
// rounded product y and its integer n differ by a multiple of y's unit, so
// only a product landing on exactly .5 can hide which way the exact product
// lies; fma recovers the product's rounding error, which decides it (ties
// still go to even, as printf does). False when the value is out of reach.
bool scaledChars(std::to_chars_result& result, char* first, char* last, double value,
                 int decimals) {
    if (decimals > MAX_SCALED_DECIMALS) {
        return false;
    }
    const double scale = POWERS_OF_TEN[static_cast<std::size_t>(decimals)];
    const double product = value * scale;
    if (!(std::abs(product) < SCALED_LIMIT)) {
        return false; // also NaN
    }
    const double error = std::fma(value, scale, -product); // exact product - product
    double rounded = std::nearbyint(product);
    const double rest = product - rounded; // exact
    if (rest == 0.5 && error > 0) {
        rounded += 1;
    } else if (rest == -0.5 && error < 0) {
        rounded -= 1;
    }
    auto magnitude = static_cast<std::uint64_t>(std::abs(rounded));
    // Digits from the right, the point after `decimals` of them, at least
    // one digit before it.
    std::array<char, 24> digits;
    char* cursor = digits.data() + digits.size();
    for (int place = 0; place < decimals + 1 || magnitude != 0; ++place) {
        if (place == decimals && decimals > 0) {
            *--cursor = '.';
        }
        *--cursor = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (value < 0) {
        *--cursor = '-'; // "-0.00" too, as printf writes it
    }
    const auto size = static_cast<std::size_t>(digits.data() + digits.size() - cursor);
    if (static_cast<std::size_t>(last - first) < size) {
        result = {last, std::errc::value_too_large};
        return true;
    }
    result = {std::copy_n(cursor, size, first), std::errc{}};
    return true;
}

// std::to_chars writes the same digits as printf's "%lld" and "%.*f" (both
// exact, ties to even) without its format parsing and locale machinery, which
// were the largest part of a replay tick's time.
std::to_chars_result numberChars(char* first, char* last, double value, int numberDecimals) {
    if (value == std::nearbyint(value)) {
        if (value >= INT64_LOWER && value < INT64_UPPER) {
            return std::to_chars(first, last, static_cast<long long>(value));
        }
        return std::to_chars(first, last, value, std::chars_format::fixed, 0);
    }
    const int decimals = clampNumberDecimals(numberDecimals);
    std::to_chars_result result;
    if (scaledChars(result, first, last, value, decimals)) {
        return result;
    }
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
}

// "%02d" (or "%04d") for the usual values, printf itself for the rest.
void appendPadded(std::string& out, int value, int width) {
    const int limit = width == 2 ? 100 : 10000;
    if (value < 0 || value >= limit) {
        std::array<char, 16> buffer{};
        const int size = std::snprintf(buffer.data(), buffer.size(), "%0*d", width, value);
        out.append(buffer.data(), static_cast<std::size_t>(std::max(size, 0)));
        return;
    }
    for (int divisor = width == 2 ? 10 : 1000; divisor > 0; divisor /= 10) {
        out += static_cast<char>('0' + value / divisor % 10);
    }
}

std::string joined(int a, int b, int c, char separator, int lastWidth) {
    std::string text;
    text.reserve(10);
    appendPadded(text, a, 2);
    text += separator;
    appendPadded(text, b, 2);
    text += separator;
    appendPadded(text, c, lastWidth);
    return text;
}

} // namespace

void appendFormattedNumber(std::string& out, double value, int numberDecimals) {
    // Left uninitialised on purpose: clearing 400 bytes per number showed in
    // the profile.
    std::array<char, NUMBER_BUFFER> buffer;
    buffer[0] = ' ';
    const auto result =
        numberChars(buffer.data() + 1, buffer.data() + buffer.size(), value, numberDecimals);
    if (result.ec == std::errc{}) {
        // With a length, not an end pointer: the iterator form builds a
        // temporary string first.
        out.append(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    }
}

void appendWholeNumber(std::string& out, long long value) {
    std::array<char, 24> buffer; // a blank and up to 20 characters
    buffer[0] = ' ';
    const auto result = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), value);
    out.append(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
}

std::string formatNumber(double value, int numberDecimals) {
    std::string text;
    appendFormattedNumber(text, value, numberDecimals);
    return text;
}

int clampNumberDecimals(int requested) {
    if (requested > MAX_NUMBER_DECIMALS) {
        return MAX_NUMBER_DECIMALS;
    }
    return requested < 0 ? 0 : requested;
}

std::string dateText(const LocalTime& time) {
    return joined(time.month, time.day, time.year, '-', 4);
}

std::string timeText(const LocalTime& time) {
    return joined(time.hour, time.minute, time.second, ':', 2);
}

std::string currentDateText(Clock& clock) {
    return dateText(clock.now());
}

std::string currentTimeText(Clock& clock) {
    return timeText(clock.now());
}

} // namespace vz
