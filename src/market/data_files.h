#pragma once

#include "market/market_data.h"
#include "platform/files.h"
#include "platform/host.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

// The next line without its line end; CR, LF and CR LF each end a line.
// nullopt only when not a single byte could be read.
std::optional<std::string> readTextLine(TextFile& file);

// The longest history line kept; the format allows 255 characters, and a
// longer line is cut here so that a file without line ends cannot take
// memory without bound.
inline constexpr std::size_t HISTORY_LINE_LIMIT = 4096;
// The longest first line of a real-time file that can hold a price; a
// longer one is a bad value, like any other junk.
inline constexpr std::size_t REAL_TIME_LINE_LIMIT = 4096;

// Reads lines as readTextLine does, a block at a time instead of a call
// per byte. A line longer than `maxLine` bytes is cut to that length and
// the rest of it skipped.
class TextLineReader {
public:
    // Bytes asked of the file at a time: a whole history file in one read.
    static constexpr std::size_t BLOCK_BYTES = 32 * 1024;

    TextLineReader(TextFile& file, std::size_t maxLine) : file_(file), maxLine_(maxLine) {}
    // False at the end of the file. The line is a view into the reader and
    // stays valid until the next call.
    bool next(std::string_view& line);

private:
    bool fill();
    // Takes bytes up to the next line end into `line`; true when it found one.
    bool takeUntilLineEnd(std::string& line);

    TextFile& file_;
    std::size_t maxLine_;
    // A line that runs across blocks is gathered here.
    std::string carried_;
    // Only [pos_, end_) is ever read, so the block needs no clearing.
    std::array<char, BLOCK_BYTES> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

// The first line of a file, read in at most a few blocks; nullopt when it is
// longer than `limit` bytes, whatever follows.
std::optional<std::string> readFirstLine(TextFile& file, std::size_t limit);

// Leading blanks and tabs, an optional minus, digits, optionally a point and
// digits; stops at the first character that does not fit. No digits give 0.
// Correctly rounded to double whatever the length of the digit string.
double parseNumber(std::string_view text);

// The real-time range test: strictly between 0 and 500.
bool acceptsLivePrice(double value);

// Splits one history line into label and price.
HistoryBar parseHistoryLine(std::string_view line, Timeframe timeframe);
// The same into a stored bar, whose label keeps its storage on a reload.
void parseHistoryLineInto(HistoryBar& bar, std::string_view line, Timeframe timeframe);

std::string historyFileName(const std::string& folder, int pair, Timeframe timeframe);
std::string realTimeFileName(const std::string& folder, int pair);

// The message shown when a history file cannot be opened.
std::string historyOpenErrorText(int pair, Timeframe timeframe);

// Loads all 42 history files and the first live prices, then the listed
// extents. Returns false when any history file could not be opened (each one
// has been reported in its own message box owned by the main window).
bool loadHistory(MarketData& market, Host& host);

// Refreshes livePrices from the 14 real-time files, accepting only values in
// range; a missing file is reported in a "Not Found" message box.
void readRealTimePrices(MarketData& market, Host& host);

} // namespace vz
