#pragma once

#include "market/pairs.h"

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

inline constexpr int TICK_FIELD_COUNT = 1 + PAIR_COUNT;

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
    explicit TickLineReader(std::istream& input) : input_(input) {}
    // False at the end of the input or after a read error (see failed()).
    bool next(std::string& line);
    long long lineNumber() const { return lineNumber_; }
    bool failed() const { return input_.bad(); }

private:
    std::istream& input_;
    long long lineNumber_ = 0;
};

} // namespace vz
