#pragma once

#include "tools/import/clock_time.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vz {

// How a slash date such as 09/01/2020 is read.
enum class DateOrder {
    Unknown,    // from the numbers where one is above 12; otherwise month first, marked ambiguous
    MonthFirst, // 09/01/2020 is September 1st
    DayFirst,   // 09/01/2020 is January 9th
};

struct Timestamp {
    Minute stamp = 0;
    std::optional<int> offsetMinutes;
    // A slash date read with the order unknown (slashDate): which order its numbers
    // settle (Unknown when both are 12 or less, the stamp then reads month
    // first), and what to add to the stamp to read it day first instead.
    bool slashDate = false;
    DateOrder settles = DateOrder::Unknown;
    Minute dayFirstShift = 0;
};

// Dates YYYY-MM-DD, YYYY.MM.DD, YYYY/MM/DD, YYYYMMDD, DD.MM.YYYY or slash
// dates D/M/YYYY and M/D/YYYY; then optionally a blank or T and H:MM, HH:MM,
// HH:MM:SS(.fff), HHMMSS or HHMM, with AM or PM for a 12-hour clock; then
// optionally Z, UTC, GMT or an offset +HH:MM, +HHMM, +HH, GMT+0100. Letters in
// any case. A whole number of 9 or 10 digits is Unix seconds, of 12 or 13
// digits Unix milliseconds, both UTC.
std::optional<Timestamp> parseTimestamp(std::string_view text,
                                        DateOrder order = DateOrder::Unknown);

// The field without the blanks, tabs and double quotes around it.
std::string_view trimmedField(std::string_view text);

// Exactly `count` digits at `pos`, or nullopt.
std::optional<int> digitsAt(std::string_view text, std::size_t pos, std::size_t count);

// No exchange rate comes near this; larger values are damaged data.
inline constexpr double MAX_PRICE = 1e6;

// A plain decimal number, optionally with an exponent; nothing else around it
// but blanks and double quotes. Only values above zero and below MAX_PRICE pass.
std::optional<double> parsePrice(std::string_view text);

} // namespace vz
