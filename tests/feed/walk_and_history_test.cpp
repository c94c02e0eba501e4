#include "tools/feed/make_history.h"
#include "tools/feed/price_walk.h"
#include "tools/feed/tick_sources.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace vz {
namespace {

std::vector<std::array<double, PAIR_COUNT>> walkPrices(std::uint64_t seed, int steps) {
    CurrencyWalk walk = startWalk(seed);
    std::vector<std::array<double, PAIR_COUNT>> prices;
    for (int i = 0; i < steps; ++i) {
        stepWalk(walk, 0.001);
        prices.push_back(pairPrices(walk));
    }
    return prices;
}

TEST(CurrencyWalk, SameSeedSamePathOtherSeedOtherPath) {
    EXPECT_EQ(walkPrices(42, 50), walkPrices(42, 50));
    EXPECT_NE(walkPrices(42, 50).back(), walkPrices(43, 50).back());
}

TEST(CurrencyWalk, CrossesStayConsistentAndLevelsRealistic) {
    const auto prices = walkPrices(7, 1000).back();
    // EURJPY = EURUSD x USDJPY, GBPCHF = GBPUSD x USDCHF, EURGBP = EURUSD / GBPUSD.
    EXPECT_NEAR(prices[6] / (prices[7] * prices[8]), 1.0, 1e-12);
    EXPECT_NEAR(prices[11] / (prices[0] * prices[3]), 1.0, 1e-12);
    EXPECT_NEAR(prices[1] * prices[0] / prices[7], 1.0, 1e-12);
    const auto start = pairPrices(startWalk(7));
    EXPECT_NEAR(start[7], 1.085, 1e-9);
    EXPECT_NEAR(start[8], 151.5, 1e-9);
    for (std::size_t pair = 0; pair < prices.size(); ++pair) {
        EXPECT_GT(prices[pair], 0.0);
        EXPECT_LT(prices[pair], 500.0);
    }
}

TEST(CurrencyWalk, NormalDeviatesHaveUnitSpread) {
    std::uint64_t state = 3;
    double sum = 0.0;
    double squares = 0.0;
    constexpr int COUNT = 20000;
    for (int i = 0; i < COUNT; ++i) {
        const double x = nextNormal(state);
        ASSERT_TRUE(std::isfinite(x));
        sum += x;
        squares += x * x;
    }
    EXPECT_NEAR(sum / COUNT, 0.0, 0.05);
    EXPECT_NEAR(squares / COUNT, 1.0, 0.05);
}

class MadeHistory : public ::testing::Test {
protected:
    static HistorySet make(int bars, std::uint64_t seed = 5) {
        HistoryRequest request;
        request.bars = bars;
        request.seed = seed;
        // Saturday 2026-02-14 10:00, so the history ends on Friday 23:00.
        request.end = daysFromCivil({2026, 2, 14}) * MINUTES_PER_DAY + 10 * 60;
        return makeHistory(request);
    }
};

TEST_F(MadeHistory, EveryFileHasTheBarsAlignedNewestFirst) {
    const HistorySet set = make(30);
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        const auto& reference = set.of(timeframe, EURUSD_INDEX);
        ASSERT_EQ(reference.size(), 30U);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto& lines = set.of(timeframe, pair);
            ASSERT_EQ(lines.size(), 30U);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::size_t label = static_cast<std::size_t>(labelLength(timeframe));
                EXPECT_EQ(lines[i].substr(0, label), reference[i].substr(0, label));
                EXPECT_EQ(lines[i][label], ',');
                if (i > 0) {
                    EXPECT_GT(lines[i - 1].substr(0, label), lines[i].substr(0, label));
                }
            }
        }
    }
    EXPECT_EQ(set.of(Timeframe::Daily, 0)[0].substr(0, 10), "2026.02.13");
    EXPECT_EQ(set.of(Timeframe::FourHour, 0)[0].substr(0, 16), "2026.02.13 20:00");
    EXPECT_EQ(set.of(Timeframe::OneHour, 0)[0].substr(0, 16), "2026.02.13 23:00");
    // Thirty weekdays back from Friday 13 February, with no weekend in between.
    EXPECT_EQ(set.of(Timeframe::Daily, 0)[5].substr(0, 10), "2026.02.06");
    EXPECT_EQ(set.of(Timeframe::Daily, 0)[29].substr(0, 10), "2026.01.05");
}

TEST_F(MadeHistory, NewestBarsCloseWhereTheLiveWalkStarts) {
    const HistorySet set = make(3, 9);
    const auto start = pairPrices(startWalk(9));
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        const std::size_t label = static_cast<std::size_t>(labelLength(timeframe));
        EXPECT_EQ(set.of(timeframe, 8)[0].substr(label + 1), formatPrice(8, start[8]));
        EXPECT_EQ(set.of(timeframe, 1)[0].substr(label + 1), formatPrice(1, start[1]));
    }
    EXPECT_EQ(set.of(Timeframe::OneHour, 8)[0], "2026.02.13 23:00,151.500");
}

TEST_F(MadeHistory, IsDeterministicForASeed) {
    EXPECT_EQ(make(20, 4).lines, make(20, 4).lines);
    EXPECT_NE(make(20, 4).of(Timeframe::Daily, 0), make(20, 3).of(Timeframe::Daily, 0));
}

TEST(TickFile, BlankLinesSkippedBadValuesLeftOutShortLinesRejected) {
    std::istringstream good("t0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,extra\r\n"
                            "  \t\r\n"
                            "t1,0,500,-1,x,499.99,,7,8,9,10,11,12,13,14\n");
    const TickLoad load = readTickFile(good, "ticks.csv");
    ASSERT_TRUE(load.error.empty()) << load.error;
    ASSERT_EQ(load.ticks.size(), 2U);
    EXPECT_EQ(load.ticks[0][13], 14.0);
    for (const int pair : {0, 1, 2, 3, 5}) {
        EXPECT_FALSE(load.ticks[1][static_cast<std::size_t>(pair)]) << pair;
    }
    EXPECT_EQ(load.ticks[1][4], 499.99);

    std::istringstream shortLine("t0,1,2,3,4,5,6,7,8,9,10,11,12,13,14\n\nt1,1,2\n");
    EXPECT_EQ(readTickFile(shortLine, "ticks.csv").error,
              "ticks.csv:3: a tick line needs a label and fourteen prices");
    std::istringstream empty("\n");
    EXPECT_EQ(readTickFile(empty, "ticks.csv").error, "ticks.csv: holds no ticks");
}

} // namespace
} // namespace vz
