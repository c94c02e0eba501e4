#include "platform/headless/fixed_clock.h"
#include "platform/text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace vz {
namespace {

// The values themselves are compared with printf below; here the default of
// two decimals, the clamp that comparison relies on, and what printf cannot say.
TEST(FormatNumber, TwoDecimalsByDefaultAtMostFortyAndOddValuesDoNotCrash) {
    EXPECT_EQ(formatNumber(3), " 3");
    EXPECT_EQ(formatNumber(-2.5), " -2.50");
    EXPECT_EQ(clampNumberDecimals(50), 40);
    EXPECT_EQ(clampNumberDecimals(-3), 0);
    EXPECT_EQ(formatNumber(0.5, 50).size(), 1U + 2U + 40U);
    constexpr double INF = std::numeric_limits<double>::infinity();
    for (const double odd : {std::numeric_limits<double>::quiet_NaN(), INF, -INF}) {
        EXPECT_EQ(formatNumber(odd).front(), ' ');
    }
}

// Pips go through the whole-number shortcut; their text must be the one any
// other whole figure gets.
TEST(FormatNumber, WholeNumbersReadAsTheGeneralPathWritesThem) {
    for (const long long value :
         {0LL, 7LL, -7LL, 2147483647LL, -2147483648LL, std::numeric_limits<long long>::min()}) {
        std::string whole = "x";
        appendWholeNumber(whole, value);
        EXPECT_EQ(whole, "x" + formatNumber(static_cast<double>(value))) << value;
    }
}

// Numbers are formatted without printf for speed; every text must still be
// the one printf's " %lld" and " %.*f" give, ties and extremes included.
TEST(FormatNumber, WritesWhatPrintfWrites) {
    const auto printed = [](double value, int decimals) {
        std::array<char, 512> buffer{};
        if (value == std::nearbyint(value) && std::abs(value) < 9e18) {
            std::snprintf(buffer.data(), buffer.size(), " %lld", static_cast<long long>(value));
        } else if (value == std::nearbyint(value)) {
            std::snprintf(buffer.data(), buffer.size(), " %.0f", value);
        } else {
            std::snprintf(buffer.data(), buffer.size(), " %.*f", clampNumberDecimals(decimals),
                          value);
        }
        return std::string(buffer.data());
    };
    std::vector<double> values = {0.125,  2.5,  -2.5,     1.0005,  1e-300,   1e300, -1e308, 1e19,
                                  99.995, -0.0, 4.9e-324, 1.08734, 0.91234F, 105,   1e20};
    values.insert(values.end(), {-9223372036854775808.0, 9223372036854775808.0});
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> prices(-500.0, 500.0);
    for (int i = 0; i < 2000; ++i) {
        values.push_back(prices(random));
        values.push_back(static_cast<float>(prices(random)));
    }
    // Halfway points between the last shown digits and their neighbours one
    // unit either side: whether the exact value lies above, on or below the
    // tie decides the last digit.
    for (const int decimals : {0, 2, 15}) {
        const double unit = std::pow(10.0, -decimals);
        for (const double whole : {0.0, 1.0, 157.0, 4.0e14}) {
            for (int k = 0; k < 40; ++k) {
                const double tie = whole + (k + 0.5) * unit;
                for (const double value :
                     {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)}) {
                    values.push_back(value);
                    values.push_back(-value);
                }
            }
        }
    }
    for (const double value : values) {
        for (const int decimals : {-1, 0, 2, 5, 17, 40, 60}) {
            EXPECT_EQ(formatNumber(value, decimals), printed(value, decimals))
                << value << " with " << decimals;
        }
    }
    std::string row = "Time";
    appendFormattedNumber(row, 1.5, 4);
    appendFormattedNumber(row, -3);
    EXPECT_EQ(row, "Time 1.5000 -3");
}

TEST(DateAndTimeTexts, PaddedMonthDayYearAnd24Hours) {
    FixedClock clock({2026, 12, 6, 14, 30, 0});
    EXPECT_EQ(currentDateText(clock), "12-06-2026");
    EXPECT_EQ(currentTimeText(clock), "14:30:00");
    EXPECT_EQ(dateText({987, 1, 2, 0, 5, 9}), "01-02-0987");
    EXPECT_EQ(timeText({987, 1, 2, 0, 5, 9}), "00:05:09");
    SystemClock system;
    const LocalTime now = system.now();
    EXPECT_TRUE(now.year >= 2020 && now.month >= 1 && now.month <= 12) << now.year << now.month;
}

LocalTime advanced(LocalTime start, long long seconds) {
    FixedClock clock(start);
    clock.advanceSeconds(seconds);
    return clock.now();
}

TEST(FixedClock, RollsOverEveryFieldAndKnowsLeapYears) {
    EXPECT_EQ(advanced({2026, 3, 10, 10, 59, 59}, 3601), (LocalTime{2026, 3, 10, 12, 0, 0}));
    EXPECT_EQ(advanced({2026, 12, 31, 23, 59, 30}, 45), (LocalTime{2027, 1, 1, 0, 0, 15}));
    EXPECT_EQ(advanced({2028, 2, 28, 23, 0, 0}, 3600), (LocalTime{2028, 2, 29, 0, 0, 0}));
    EXPECT_EQ(advanced({2100, 2, 28, 12, 0, 0}, 86400), (LocalTime{2100, 3, 1, 12, 0, 0}));
    EXPECT_EQ(advanced({2000, 2, 28, 12, 0, 0}, 86400), (LocalTime{2000, 2, 29, 12, 0, 0}));
}

TEST(ClockSeconds, CountFromTheEpochBothWaysAndSystemClockAgreesWithTheOs) {
    const std::vector<std::pair<LocalTime, std::int64_t>> cases = {
        {{1970, 1, 1, 0, 0, 0}, 0},
        {{1969, 12, 31, 23, 59, 59}, -1},
        {{2026, 12, 6, 14, 30, 0}, 1796567400},
        {{2100, 3, 1, 0, 0, 0}, 4107542400}};
    for (const auto& [time, seconds] : cases) {
        EXPECT_EQ(secondsSinceEpoch(time), seconds) << timeText(time);
        EXPECT_EQ(timeFromSeconds(seconds), time) << seconds;
    }
    FixedClock clock({2026, 12, 6, 14, 30, 0});
    EXPECT_EQ(clock.utcSeconds(), 1796567400) << "a test clock's local time is UTC";
    clock.setUtcOffsetSeconds(3600);
    EXPECT_EQ(clock.utcSeconds(), 1796567400 - 3600);
    SystemClock system;
    const std::int64_t before = std::time(nullptr);
    const std::int64_t now = system.utcSeconds();
    EXPECT_TRUE(now >= before && now <= before + 5) << now;
}

} // namespace
} // namespace vz
