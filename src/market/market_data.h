#pragma once

#include "market/pairs.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace vz {

enum class Timeframe { Daily = 0, FourHour = 1, OneHour = 2 };

inline constexpr int TIMEFRAME_COUNT = 3;
inline constexpr std::array<Timeframe, TIMEFRAME_COUNT> ALL_TIMEFRAMES = {
    Timeframe::Daily, Timeframe::FourHour, Timeframe::OneHour};
inline constexpr int HISTORY_CAPACITY = 500;   // records per pair and timeframe
inline constexpr int HISTORY_LOAD_LIMIT = 499; // records a load fills at most

// ".csv", "_H4.csv" or "_H1.csv".
std::string_view historySuffix(Timeframe timeframe);
// 10 for Daily, 16 otherwise.
int labelLength(Timeframe timeframe);

struct HistoryBar {
    std::string text;
    float price = 0.0F;
};

// 3 x 14 x 500 bars, all empty until loaded.
class PriceHistory {
public:
    PriceHistory();
    HistoryBar& bar(Timeframe timeframe, int pair, int index);
    const HistoryBar& bar(Timeframe timeframe, int pair, int index) const;
    // All HISTORY_CAPACITY bars of one pair and timeframe, oldest last.
    std::span<HistoryBar> series(Timeframe timeframe, int pair);

private:
    std::vector<HistoryBar> bars_;
};

// The pair lists, the history, the live prices and the reference day.
struct MarketData {
    std::array<std::string, PAIR_COUNT> groupList{};
    PriceHistory history;
    std::array<float, PAIR_COUNT> livePrices{};
    std::array<int, TIMEFRAME_COUNT> lastListedIndex{};
    int referenceDayIndex = 0;
    std::string programFolder; // ends with a path separator

    int lastListed(Timeframe timeframe) const {
        return lastListedIndex[static_cast<std::size_t>(timeframe)];
    }
    // Label of the EURUSD bar, the one the date lists show.
    const std::string& listedLabel(Timeframe timeframe, int index) const {
        return history.bar(timeframe, EURUSD_INDEX, index).text;
    }
};

// Fills GroupList with the pair table.
void fillGroupList(MarketData& market);

// Index of the first record at which some pair has price 0, capped at 498.
int computeLastListedIndex(const PriceHistory& history, Timeframe timeframe);

} // namespace vz
