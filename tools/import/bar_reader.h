#pragma once

#include "tools/import/clock_time.h"

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

enum class InputFormat {
    Auto,
    MetaTrader,    // 2024.01.02,13:00,O,H,L,C,V without a header
    Ascii,         // 20240102 130000;O;H;L;C;V without a header
    HeaderedTable, // any separator, a header naming the time and close columns
};

// One bar as read: its stamp on the file's own clock, and the UTC offset
// written beside it, when there was one.
struct RawBar {
    Minute stamp = 0;
    std::optional<int> offsetMinutes;
    double close = 0.0;
};

// line is 1-based; 0 means the problem concerns the file as a whole.
struct InputError {
    std::string file;
    int line = 0;
    std::string message;
};

std::string describe(const InputError& error);

// Rows of one kind that a rule set aside, and where the first of them stood.
struct RowCount {
    int count = 0;
    int firstLine = 0;

    void add(int line) {
        if (count++ == 0 || line < firstLine) {
            firstLine = line;
        }
    }
};

struct BarReadResult {
    std::vector<RawBar> bars; // in file order
    std::vector<int> lines;   // the line of each bar
    std::optional<InputError> error;
    bool headerSaysUtc = false; // the stamp column is called UTC or GMT, e.g. "time_utc"
    RowCount placeholders;      // rows with a zero price, as scripts write for empty slots
};

struct Timestamp {
    Minute stamp = 0;
    std::optional<int> offsetMinutes;
};

// Dates YYYY-MM-DD, YYYY.MM.DD, YYYY/MM/DD, YYYYMMDD or DD.MM.YYYY; then
// optionally a blank or T and HH:MM, HH:MM:SS(.fff) or HHMMSS; then optionally
// Z, UTC or an offset +HH:MM, +HHMM, -HH:MM. Letters in any case.
std::optional<Timestamp> parseTimestamp(std::string_view text);

// No exchange rate comes near this; larger values are damaged data.
inline constexpr double MAX_PRICE = 1e6;

// No bar row comes near this length; a longer line means the file is not bars.
inline constexpr std::size_t MAX_LINE_CHARS = 4096;

// More than thirty years of one-minute bars; past this a file is not one export.
inline constexpr std::size_t MAX_BARS_PER_FILE = 12'000'000;

// A plain decimal number, optionally with an exponent; nothing else around it
// but blanks and double quotes. Only values above zero and below MAX_PRICE pass.
std::optional<double> parsePrice(std::string_view text);

std::optional<InputFormat> inputFormatNamed(std::string_view name);

BarReadResult readBars(std::istream& in, const std::string& fileName, InputFormat format);

} // namespace vz
