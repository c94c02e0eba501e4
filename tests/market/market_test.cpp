#include "market/data_files.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace vz {
namespace {

TEST(ParseNumber, StopsAtFirstCharacterThatDoesNotFit) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"499.99", 499.99}, {"1.5E2", 1.5},  {"+1", 0.0},    {"-1", -1.0}, {"  12.5,13", 12.5},
        {"\t 7", 7.0},      {"abc", 0.0},    {"1,25", 1.0},  {".5", 0.5},  {"-.25", -0.25},
        {"12.", 12.0},      {"12.x", 12.0},  {"1.2.3", 1.2}, {"", 0.0},    {"-", 0.0},
        {"- 1", 0.0},       {"007.50", 7.5}, {"1 2", 1.0},   {"--1", 0.0}, {".", 0.0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseNumber(text), expected) << '"' << text << '"';
    }
}

TEST(ParseNumber, LongDigitStringsRoundCorrectlyAndSaturate) {
    EXPECT_EQ(parseNumber("1" + std::string(299, '0')), 1e299);
    EXPECT_EQ(parseNumber("0." + std::string(20, '0') + "1"), 1e-21);
    EXPECT_EQ(parseNumber("9007199254740993"), 9007199254740992.0);
    const std::string huge(400, '9');
    EXPECT_EQ(parseNumber(huge), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("-" + huge + ".5"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_FALSE(acceptsLivePrice(parseNumber(huge)));
}

using Split = std::pair<std::string, float>;

Split split(std::string_view line, Timeframe timeframe) {
    const HistoryBar bar = parseHistoryLine(line, timeframe);
    return {bar.text, bar.price};
}

TEST(ParseHistoryLine, CutsTheLabelByPosition) {
    constexpr Timeframe D1 = Timeframe::Daily, H1 = Timeframe::OneHour;
    EXPECT_EQ(split("2024.01.02,1.0950,1.0960", D1), (Split{"2024.01.02", 1.095F}));
    EXPECT_EQ(split("2024.01.02 04:00;150.25", H1), (Split{"2024.01.02 04:00", 150.25F}));
    EXPECT_EQ(split("24.01.02,1.0950", D1), (Split{"24.01.02,1", 950.0F}));
    EXPECT_EQ(split("2024.01.02,", D1), (Split{"2024.01.02", 0.0F}));
    EXPECT_EQ(split("Date,Open,High", D1), (Split{"Date,Open,", 0.0F}));
}

void fillAll(PriceHistory& history, Timeframe timeframe, int records) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        for (int index = 0; index < records; ++index) {
            history.bar(timeframe, pair, index).price = 1.0F + static_cast<float>(index);
        }
    }
}

TEST(LastListedIndex, TheFirstZeroPriceInAnyPairDecides) {
    PriceHistory history;
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::Daily), 0);
    fillAll(history, Timeframe::OneHour, 100);
    EXPECT_EQ(computeLastListedIndex(history, Timeframe::OneHour), 100);
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

    MarketData market;
    fillGroupList(market);
    EXPECT_EQ(market.groupList[7], "EURUSD");
}

} // namespace
} // namespace vz
