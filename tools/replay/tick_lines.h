#pragma once

#include "market/pairs.h"

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

inline constexpr int TICK_FIELD_COUNT = 1 + PAIR_COUNT;
// Far beyond any real tick line (a label and fourteen prices), and small
// enough that a file with no line ends at all (a device, a damaged file)
// costs no more memory than this.
inline constexpr std::size_t MAX_TICK_LINE_BYTES = 64 * 1024;

struct TickLine {
    std::string label;
    std::array<double, PAIR_COUNT> prices{}; // as read, before any range test
};

struct ParsedTickLine {
    bool blank = false;
    std::optional<TickLine> tick; // empty for a blank or a malformed line
    int fieldCount = 0;
};

// One line without its LF; a CR before the LF is dropped here.
ParsedTickLine parseTickLine(std::string_view line);

// Takes each price the real-time reader would take; the others keep the
// pair's previous live price.
void applyTickPrices(const TickLine& tick, std::array<float, PAIR_COUNT>& livePrices);

// Lines of a tick file with their 1-based numbers in the file.
class TickLineReader {
public:
    explicit TickLineReader(std::istream& input);
    // False at the end of the input, after a read error or at a line longer
    // than MAX_TICK_LINE_BYTES (see failed() and lineTooLong()).
    bool next(std::string& line);
    long long lineNumber() const { return lineNumber_; }
    // The input could not be read to its end: a read error or a long line.
    bool failed() const { return input_.bad() || lineTooLong_; }
    // lineNumber() is then the number of that line.
    bool lineTooLong() const { return lineTooLong_; }

private:
    std::istream& input_;
    std::vector<char> buffer_; // one line, its LF and the terminating NUL
    long long lineNumber_ = 0;
    bool lineTooLong_ = false;
};

} // namespace vz
