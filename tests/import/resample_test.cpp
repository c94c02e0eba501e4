#include "tools/import/resample.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

Minute at(int day, int hour, int minute = 0) {
    return daysFromCivil({2026, 2, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

TEST(Series, SortsAndLetTheLaterOfTwoEqualStampsWin) {
    const BarSeries series =
        makeSeries({{at(3, 1), 3.0}, {at(3, 0), 1.0}, {at(3, 0, 30), 2.0}, {at(3, 0), 9.0}});
    ASSERT_EQ(series.bars.size(), 3U);
    EXPECT_EQ(series.bars[0].stamp, at(3, 0));
    EXPECT_DOUBLE_EQ(series.bars[0].close, 9.0);
    EXPECT_DOUBLE_EQ(series.bars[2].close, 3.0);
    EXPECT_EQ(series.barMinutes, 30);
}

TEST(Series, PicksTheLongestBarsThatFitEachTimeframe) {
    std::vector<BarSeries> series = {makeSeries({{at(2, 0), 1}, {at(2, 0, 15), 1}}),
                                     makeSeries({{at(2, 0), 1}, {at(2, 1), 1}}),
                                     makeSeries({{at(2, 0), 1}, {at(3, 0), 1}})};
    EXPECT_EQ(seriesFor(series, Timeframe::OneHour)->barMinutes, 60);
    EXPECT_EQ(seriesFor(series, Timeframe::FourHour)->barMinutes, 60);
    EXPECT_EQ(seriesFor(series, Timeframe::Daily)->barMinutes, MINUTES_PER_DAY);
    series.erase(series.begin(), series.begin() + 2);
    EXPECT_EQ(seriesFor(series, Timeframe::OneHour), nullptr);
}

TEST(Buckets, FourHourBlocksStartAtMultiplesOfFourAndTakeTheLastClose) {
    const BarSeries series = makeSeries({{at(3, 0, 0), 1.0},
                                         {at(3, 3, 45), 2.0},
                                         {at(3, 4, 0), 3.0},
                                         {at(3, 23, 45), 4.0},
                                         {at(4, 0, 0), 5.0}});
    const auto fourHour = resample(series, Timeframe::FourHour);
    ASSERT_EQ(fourHour.size(), 4U);
    EXPECT_DOUBLE_EQ(fourHour.at(at(3, 0)), 2.0);
    EXPECT_DOUBLE_EQ(fourHour.at(at(3, 4)), 3.0);
    EXPECT_DOUBLE_EQ(fourHour.at(at(3, 20)), 4.0);
    const auto daily = resample(series, Timeframe::Daily);
    ASSERT_EQ(daily.size(), 2U);
    EXPECT_DOUBLE_EQ(daily.at(at(3, 0)), 4.0);
    EXPECT_EQ(barLabel(at(3, 20), Timeframe::FourHour), "2026.02.03 20:00");
    EXPECT_EQ(barLabel(at(3, 20), Timeframe::Daily), "2026.02.03");
}

TEST(Alignment, KeepsOnlyBucketsEveryPairHasNewestFirstUpToTheLimit) {
    std::array<std::map<Minute, double>, PAIR_COUNT> perPair;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        for (int hour = 0; hour < 6; ++hour) {
            perPair[static_cast<std::size_t>(pair)][at(3, hour)] = pair + hour / 10.0;
        }
    }
    perPair[9].erase(at(3, 4)); // one pair lacks one bar
    const AlignedBars aligned = alignPairs(perPair, 3);
    ASSERT_EQ(aligned.buckets.size(), 3U);
    EXPECT_EQ(aligned.buckets[0], at(3, 5));
    EXPECT_EQ(aligned.buckets[1], at(3, 3));
    EXPECT_EQ(aligned.buckets[2], at(3, 2));
    EXPECT_DOUBLE_EQ(aligned.closes[13][1], 13.3);
}

} // namespace
} // namespace vz
