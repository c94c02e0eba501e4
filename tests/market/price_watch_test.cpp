#include "market/market_hours.h"
#include "market/price_watch.h"
#include "platform/clock.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz {
namespace {

std::int64_t utc(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    return secondsSinceEpoch({year, month, day, hour, minute, second});
}

TEST(MarketHours, WeekendRunsFromFridayToSundayFiveInTheAfternoonNewYorkTime) {
    const std::vector<std::tuple<std::int64_t, bool, const char*>> cases = {
        {utc(2026, 3, 6, 21, 59, 59), false, "Friday 16:59:59 EST"},
        {utc(2026, 3, 6, 22), true, "Friday 17:00 EST"},
        // Daylight saving starts that Sunday at 07:00 UTC, so 17:00 is 21:00 UTC.
        {utc(2026, 3, 8, 20, 59, 59), true, "Sunday 16:59:59 EDT"},
        {utc(2026, 3, 8, 21), false, "Sunday 17:00 EDT"},
        {utc(2026, 7, 10, 21), true, "Friday 17:00 EDT"},
        {utc(2026, 12, 12, 4), true, "Friday 23:00 EST is Saturday in UTC"},
    };
    for (const auto& [time, weekend, what] : cases) {
        EXPECT_EQ(isFxWeekend(time), weekend) << what;
    }
    EXPECT_EQ(newYorkOffsetSeconds(utc(2026, 3, 8, 6, 59, 59)), -5 * 3600);
    EXPECT_EQ(newYorkOffsetSeconds(utc(2026, 3, 8, 7)), -4 * 3600);
    // It ends on 1 November at 06:00 UTC.
    EXPECT_EQ(newYorkOffsetSeconds(utc(2026, 11, 1, 5, 59, 59)), -4 * 3600);
    EXPECT_EQ(newYorkOffsetSeconds(utc(2026, 11, 1, 6)), -5 * 3600);
    // Before 2007 summer time began in April and ended in October.
    EXPECT_EQ(newYorkOffsetSeconds(utc(2006, 4, 2, 7)), -4 * 3600);
    EXPECT_EQ(newYorkOffsetSeconds(utc(2006, 10, 29, 6)), -5 * 3600);
}

TEST(LocalOffset, RoundsToTheQuarterHourEitherSideOfUtc) {
    for (const auto& [difference, offset] : std::vector<std::pair<std::int64_t, std::int64_t>>{
             {-1, 0}, {3599, 3600}, {-18001, -18000}, {19799, 19800}}) {
        EXPECT_EQ(localOffsetSeconds(1'000'000 + difference, 1'000'000), offset) << difference;
    }
}

constexpr std::int64_t NS = 1'000'000'000;
constexpr int GBPCHF = 11;

// A watch over fourteen files, all written at `start` on a Wednesday unless
// the test says otherwise.
struct PriceWatchTest : ::testing::Test {
    std::int64_t start = utc(2026, 12, 9, 14);
    std::int64_t now = start;
    FileTimes files{};
    PriceWatch watch;
    std::vector<std::string> log;
    std::string line;

    void SetUp() override { touchAll(); }
    void touch(int pair) { files[static_cast<std::size_t>(pair)] = now * NS + 123; }
    void touchAll(int except = -1) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            if (pair != except) {
                touch(pair);
            }
        }
    }
    // One tick `seconds` after the last; gives the line and keeps the log.
    std::string tickAfter(std::int64_t seconds, std::int64_t offset = 0) {
        now += seconds;
        const PriceWatchReport report = watchPrices(watch, files, now, offset);
        log.insert(log.end(), report.entries.begin(), report.entries.end());
        return line = report.line;
    }
    std::string joinedLog() const {
        std::string all;
        for (const auto& entry : log) {
            all += (all.empty() ? "" : " | ") + entry;
        }
        return all;
    }
};

TEST_F(PriceWatchTest, AllFilesStillForAMinuteAreStaleOnceUntilOneMoves) {
    EXPECT_EQ(tickAfter(0), "");
    EXPECT_EQ(tickAfter(59), "");
    EXPECT_EQ(tickAfter(1), "Prices stale since 14:00:00");
    EXPECT_EQ(tickAfter(1), "Prices stale since 14:00:00");
    EXPECT_EQ(tickAfter(3600), "Prices stale since 14:00:00");
    EXPECT_EQ(joinedLog(), "Prices stale since 14:00:00");
    touch(3);
    EXPECT_EQ(tickAfter(1), "");
    EXPECT_EQ(joinedLog(), "Prices stale since 14:00:00 | Prices live again");
    // A new stall is a new report, timed from the last change seen.
    EXPECT_EQ(tickAfter(60), "Prices stale since 15:01:02");
    EXPECT_EQ(log.size(), 3U);
    // Once prices move again the pairs that stay still are timed from then
    // on, though their files are older, and named by their own last change.
    for (int second = 0; second < PAIR_STALE_AFTER_SECONDS; ++second) {
        touch(3);
        ASSERT_EQ(tickAfter(1), "") << second;
    }
    touch(3);
    EXPECT_EQ(tickAfter(1), "GBPUSD, EURGBP, GBPJPY stale since 14:00:00");
}

TEST_F(PriceWatchTest, AtMostThreePairsAreNamedLongestStaleFirstEachLoggedOnce) {
    // GBPJPY, AUDJPY, USDJPY and GBPCHF stop one after the other, a minute apart.
    const std::vector<std::pair<int, int>> stops = {{2, 60}, {5, 120}, {8, 180}, {11, 240}};
    for (int second = 1; second <= 540; ++second) {
        now += 1;
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto stop = std::find_if(stops.begin(), stops.end(),
                                           [pair](const auto& s) { return s.first == pair; });
            if (stop == stops.end() || second <= stop->second) {
                touch(pair);
            }
        }
        tickAfter(0);
    }
    // The three stopped longest; the line's time is the newest of their stops.
    EXPECT_EQ(line, "GBPJPY, AUDJPY, USDJPY stale since 14:03:00");
    EXPECT_EQ(joinedLog(), "GBPJPY stale since 14:01:00 | AUDJPY stale since 14:02:00 | "
                           "USDJPY stale since 14:03:00 | GBPCHF stale since 14:04:00");
}

TEST_F(PriceWatchTest, WeekendSaysMarketClosedAndLogsNothing) {
    now = start = utc(2026, 12, 12, 12); // Saturday
    touchAll();
    EXPECT_EQ(tickAfter(0), "");
    for (int second = 0; second < PAIR_STALE_AFTER_SECONDS; ++second) {
        touchAll(GBPCHF);
        tickAfter(1);
    }
    EXPECT_EQ(line, "Market closed") << "one pair stale";
    touchAll();
    EXPECT_EQ(tickAfter(1), "");
    EXPECT_EQ(tickAfter(60), "Market closed") << "all stale";
    EXPECT_EQ(tickAfter(600), "Market closed");
    EXPECT_TRUE(log.empty());
}

TEST_F(PriceWatchTest, StaleBeforeTheCloseIsLiveAgainAfterTheWeekend) {
    now = start = utc(2026, 12, 11, 21, 50); // Friday 16:50 in New York
    touchAll();
    EXPECT_EQ(tickAfter(60), "Prices stale since 21:50:00");
    EXPECT_EQ(tickAfter(10 * 60), "Market closed");
    now = utc(2026, 12, 13, 22, 0, 30) - 1; // Sunday 17:00:29 in New York
    EXPECT_EQ(tickAfter(1), "Prices stale since 21:50:00");
    touchAll();
    EXPECT_EQ(tickAfter(1), "");
    EXPECT_EQ(joinedLog(), "Prices stale since 21:50:00 | Prices live again");
}

TEST_F(PriceWatchTest, FilesSeenFirstCountFromTheirOwnTimeUnlessItLiesAhead) {
    files.fill(std::nullopt);
    EXPECT_EQ(tickAfter(0), "") << "no times known, nothing to say";
    files[0] = (start - 7200) * NS;
    files[1] = (start - 7300) * NS;
    EXPECT_EQ(tickAfter(0, 3600), "Prices stale since 13:00:00") << "shown an hour ahead of UTC";
    files.fill((start + 86400) * NS); // a folder whose clock runs a day ahead
    watch = PriceWatch{};
    EXPECT_EQ(tickAfter(0), "");
    EXPECT_EQ(tickAfter(59), "");
    EXPECT_EQ(tickAfter(1), "Prices stale since 14:00:00");
    // A file that disappears is left out; one that comes back counts anew.
    files.fill(std::nullopt);
    files[4] = (now - 10) * NS;
    EXPECT_EQ(tickAfter(0), "");
}

} // namespace
} // namespace vz
