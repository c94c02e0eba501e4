#pragma once

#include "tools/import/clock_time.h"
#include "tools/import/fields.h"

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
    Plain,         // no header: a stamp, then the close alone or open, high, low, close...
};

struct ReadSettings {
    InputFormat format = InputFormat::Auto;
    DateOrder dateOrder = DateOrder::Unknown; // of slash dates
    std::string closeColumn;                  // the close's header name, when not a usual one
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

// No bar row comes near this length; a longer line means the file is not bars.
inline constexpr std::size_t MAX_LINE_CHARS = 4096;

// More than thirty years of one-minute bars; past this a file is not one export.
inline constexpr std::size_t MAX_BARS_PER_FILE = 12'000'000;

std::optional<InputFormat> inputFormatNamed(std::string_view name);

BarReadResult readBars(std::istream& in, const std::string& fileName, InputFormat format);
BarReadResult readBars(std::istream& in, const std::string& fileName, const ReadSettings& settings);

} // namespace vz
