#include "market/market_data.h"

#include <cassert>

namespace vz {

namespace {

std::size_t barOffset(Timeframe timeframe, int pair, int index) {
    assert(pair >= 0 && pair < PAIR_COUNT);
    assert(index >= 0 && index < HISTORY_CAPACITY);
    const auto frame = static_cast<std::size_t>(timeframe);
    return (frame * PAIR_COUNT + static_cast<std::size_t>(pair)) * HISTORY_CAPACITY +
           static_cast<std::size_t>(index);
}

bool everyPairHasPrice(const PriceHistory& history, Timeframe timeframe, int index) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (history.bar(timeframe, pair, index).price == 0.0F) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view historySuffix(Timeframe timeframe) {
    switch (timeframe) {
    case Timeframe::Daily:
        return ".csv";
    case Timeframe::FourHour:
        return "_H4.csv";
    case Timeframe::OneHour:
        return "_H1.csv";
    }
    return ".csv";
}

int labelLength(Timeframe timeframe) {
    return timeframe == Timeframe::Daily ? 10 : 16;
}

PriceHistory::PriceHistory()
    : bars_(static_cast<std::size_t>(TIMEFRAME_COUNT) * PAIR_COUNT * HISTORY_CAPACITY) {}

HistoryBar& PriceHistory::bar(Timeframe timeframe, int pair, int index) {
    return bars_[barOffset(timeframe, pair, index)];
}

std::span<HistoryBar> PriceHistory::series(Timeframe timeframe, int pair) {
    return {bars_.data() + barOffset(timeframe, pair, 0),
            static_cast<std::size_t>(HISTORY_CAPACITY)};
}

const HistoryBar& PriceHistory::bar(Timeframe timeframe, int pair, int index) const {
    return bars_[barOffset(timeframe, pair, index)];
}

void fillGroupList(MarketData& market) {
    for (std::size_t pair = 0; pair < PAIR_TABLE.size(); ++pair) {
        market.groupList[pair] = std::string(PAIR_TABLE[pair]);
    }
}

int computeLastListedIndex(const PriceHistory& history, Timeframe timeframe) {
    // The date lists offer at most the 499 loaded records, so the scan never
    // looks past the last one that a load can fill.
    const int lastLoadable = HISTORY_LOAD_LIMIT - 1;
    int index = 0;
    while (index < lastLoadable && everyPairHasPrice(history, timeframe, index)) {
        ++index;
    }
    return index;
}

} // namespace vz
