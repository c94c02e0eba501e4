#include "tools/feed/tick_sources.h"

#include "market/data_files.h"
#include "tools/import/history_set.h"
#include "tools/replay/tick_lines.h"

#include <algorithm>
#include <fstream>

namespace vz {

namespace {

std::optional<double> livePrice(double value) {
    return acceptsLivePrice(value) ? std::optional<double>(value) : std::nullopt;
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
    TickLineReader reader(in);
    for (std::string line; reader.next(line);) {
        const ParsedTickLine parsed = parseTickLine(line);
        if (parsed.blank) {
            continue;
        }
        if (!parsed.tick) {
            load.ticks.clear();
            load.error = fileName + ":" + std::to_string(reader.lineNumber()) +
                         ": a tick line needs a label and fourteen prices";
            return load;
        }
        LivePrices prices;
        for (std::size_t pair = 0; pair < prices.size(); ++pair) {
            prices[pair] = livePrice(parsed.tick->prices[pair]);
        }
        load.ticks.push_back(prices);
    }
    if (reader.failed()) {
        load.ticks.clear();
        load.error = fileName + ": could not be read";
    } else if (load.ticks.empty()) {
        load.error = fileName + ": holds no ticks";
    }
    return load;
}

TickLoad readHourlyHistory(const std::filesystem::path& folder) {
    const auto labelEnd = static_cast<std::size_t>(labelLength(Timeframe::OneHour));
    TickLoad load;
    std::array<std::vector<std::string>, PAIR_COUNT> lines;
    std::array<std::filesystem::path, PAIR_COUNT> paths;
    std::size_t shortest = HISTORY_LOAD_LIMIT;
    for (std::size_t pair = 0; pair < lines.size(); ++pair) {
        paths[pair] = folder / historyFileNameOf(static_cast<int>(pair), Timeframe::OneHour);
        std::ifstream in(paths[pair], std::ios::binary);
        if (!in) {
            load.error = paths[pair].string() + ": could not be opened";
            return load;
        }
        lines[pair] = readLines(in);
        shortest = std::min(shortest, lines[pair].size());
    }
    for (std::size_t back = shortest; back-- > 0;) {
        LivePrices prices;
        for (std::size_t pair = 0; pair < lines.size(); ++pair) {
            const std::string_view line = lines[pair][back];
            const std::size_t comma = line.size() > labelEnd ? line.find(',', labelEnd) : line.npos;
            if (comma == line.npos) {
                load.ticks.clear();
                load.error = paths[pair].string() + ":" + std::to_string(back + 1) +
                             ": a 1-hour history line needs \"YYYY.MM.DD HH:MM,PRICE\"";
                return load;
            }
            prices[pair] = livePrice(parseNumber(line.substr(comma + 1)));
        }
        load.ticks.push_back(prices);
    }
    if (load.ticks.empty()) {
        load.error = paths[0].string() + ": the 1-hour history is empty";
    }
    return load;
}

} // namespace vz
