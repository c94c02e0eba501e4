#include "market/market_data.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

void fillAll(PriceHistory& history, Timeframe timeframe, int records) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        for (int index = 0; index < records; ++index) {
            history.bar(timeframe, pair, index).price = 1.0F + static_cast<float>(index);
        }
    }
}

TEST(LastListedIndex, CountsRecordsCompleteInEveryPair) {
    PriceHistory history;
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::Daily), 0);
    fillAll(history, Timeframe::Daily, 37);
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::Daily), 37);
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::FourHour), 0);
}

TEST(LastListedIndex, FirstZeroPriceInAnyPairDecides) {
    PriceHistory history;
    fillAll(history, Timeframe::OneHour, 100);
    history.bar(Timeframe::OneHour, 13, 60).price = 0.0F;
    history.bar(Timeframe::OneHour, 2, 80).price = 0.0F;
    history.bar(Timeframe::OneHour, 0, 40).price = -1.0F;
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::OneHour), 60);
    history.bar(Timeframe::OneHour, 5, 0).price = 0.0F;
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::OneHour), 0);
}

TEST(PairSet, SymbolsMapToTheirIndexAndHalf) {
    EXPECT_EQ(pairIndexOf("GBPUSD"), 0);
    EXPECT_EQ(pairIndexOf("EURCHF"), 13);
    EXPECT_EQ(pairIndexOf("eurusd"), -1);
    EXPECT_TRUE(isFirstHalfSymbol("EURJPY"));
    EXPECT_FALSE(isFirstHalfSymbol("EURUSD"));
    EXPECT_FALSE(isFirstHalfSymbol("XAUUSD"));

    MarketData market;
    fillGroupList(market);
    EXPECT_EQ(market.groupList[7], "EURUSD");
    EXPECT_EQ(market.groupList[13], "EURCHF");
}

} // namespace
} // namespace vz
