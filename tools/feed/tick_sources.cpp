#include "tools/feed/tick_sources.h"

#include "market/data_files.h"
#include "tools/import/history_set.h"

#include <algorithm>
#include <fstream>

namespace vz {

namespace {

std::optional<double> livePrice(std::string_view text) {
    const double value = parseNumber(text);
    return acceptsLivePrice(value) ? std::optional<double>(value) : std::nullopt;
}

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<LivePrices> parseTickLine(std::string_view line) {
    LivePrices prices;
    std::size_t start = line.find(',');
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        const std::size_t end = line.find(',', start + 1);
        const auto field = line.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
        prices[static_cast<std::size_t>(pair)] = livePrice(field);
        start = end;
    }
    return prices;
}

std::vector<std::string> readLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TickLoad readTickFile(std::istream& in, const std::string& fileName) {
    TickLoad load;
    const auto lines = readLines(in);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isBlankLine(lines[i])) {
            continue;
        }
        const auto prices = parseTickLine(lines[i]);
        if (!prices) {
            load.ticks.clear();
            load.error = fileName + ":" + std::to_string(i + 1) +
                         ": a tick line needs a label and fourteen prices";
            return load;
        }
        load.ticks.push_back(*prices);
    }
    if (load.ticks.empty()) {
        load.error = fileName + ": holds no ticks";
    }
    return load;
}

TickLoad readHourlyHistory(const std::filesystem::path& folder) {
    constexpr std::size_t LABEL_AND_SEPARATOR = 17;
    TickLoad load;
    std::array<std::vector<std::string>, PAIR_COUNT> lines;
    std::size_t shortest = HISTORY_LOAD_LIMIT;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto path = folder / historyFileNameOf(pair, Timeframe::OneHour);
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            load.error = path.string() + ": could not be opened";
            return load;
        }
        lines[static_cast<std::size_t>(pair)] = readLines(in);
        shortest = std::min(shortest, lines[static_cast<std::size_t>(pair)].size());
    }
    for (std::size_t back = shortest; back-- > 0;) {
        LivePrices prices;
        for (std::size_t pair = 0; pair < lines.size(); ++pair) {
            const std::string& line = lines[pair][back];
            prices[pair] = line.size() > LABEL_AND_SEPARATOR
                               ? livePrice(std::string_view(line).substr(LABEL_AND_SEPARATOR))
                               : std::nullopt;
        }
        load.ticks.push_back(prices);
    }
    if (load.ticks.empty()) {
        load.error = (folder / historyFileNameOf(0, Timeframe::OneHour)).string() +
                     ": the 1-hour history is empty";
    }
    return load;
}

} // namespace vz
