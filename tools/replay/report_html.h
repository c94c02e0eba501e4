#pragma once

#include "replay/replay_options.h"
#include "replay/report_recorder.h"

#include "market/market_data.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace vz {

// What the report says about the run besides its ticks.
struct ReportFacts {
    std::vector<std::pair<std::string, std::string>> options; // name, value
    // First and last bar label of each timeframe's history, "" for none.
    std::array<std::pair<std::string, std::string>, TIMEFRAME_COUNT> bars{};
};

ReportFacts reportFacts(const ReplayOptions& options, const MarketData& market);

// Text for an HTML page: markup characters escaped, control characters and
// bytes that are not UTF-8 replaced, so no input can break the page.
std::string htmlText(std::string_view text);

// The whole page, self-contained (inline CSS and SVG, nothing fetched),
// with LF line ends.
std::string reportHtml(const ReportFacts& facts, const ReportRecorder& recorder);

} // namespace vz
