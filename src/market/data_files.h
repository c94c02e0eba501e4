#pragma once

#include "market/market_data.h"
#include "platform/files.h"
#include "platform/host.h"

#include <optional>
#include <string>
#include <string_view>

namespace vz {

// The next line without its line end; CR, LF and CR LF each end a line.
// nullopt only when not a single byte could be read.
std::optional<std::string> readTextLine(TextFile& file);

// Leading blanks and tabs, an optional minus, digits, optionally a point and
// digits; stops at the first character that does not fit. No digits give 0.
// Correctly rounded to double whatever the length of the digit string.
double parseNumber(std::string_view text);

// The real-time range test: strictly between 0 and 500.
bool acceptsLivePrice(double value);

// Splits one history line into label and price.
HistoryBar parseHistoryLine(std::string_view line, Timeframe timeframe);

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
