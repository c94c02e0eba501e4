#include "platform/headless/fixed_clock.h"
#include "platform/text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vz {
namespace {

TEST(FormatNumber, WholeValuesIgnoreDecimals) {
    EXPECT_EQ(formatNumber(3), " 3");
    EXPECT_EQ(formatNumber(-3), " -3");
    EXPECT_EQ(formatNumber(105, 0), " 105");
    EXPECT_EQ(formatNumber(105, 4), " 105");
    EXPECT_EQ(formatNumber(105, 40), " 105");
    EXPECT_EQ(formatNumber(-0.0), " 0");
    EXPECT_EQ(formatNumber(3000000000.0), " 3000000000");
}

TEST(FormatNumber, FractionsUseTheDecimalsSetting) {
    EXPECT_EQ(formatNumber(-2.5), " -2.50");
    EXPECT_EQ(formatNumber(1.5, 2), " 1.50");
    EXPECT_EQ(formatNumber(1.5, 4), " 1.5000");
    EXPECT_EQ(formatNumber(1.25, 0), " 1");
    EXPECT_EQ(formatNumber(0.5, 50).size(), 1U + 2U + 40U);
}

TEST(FormatNumber, ValuesBeyondIntegerRangeStayReadable) {
    EXPECT_EQ(formatNumber(1e20), " 100000000000000000000");
    EXPECT_EQ(formatNumber(-1e300).substr(0, 3), " -1");
    EXPECT_EQ(formatNumber(9223372036854775808.0), " 9223372036854775808");
    EXPECT_EQ(formatNumber(-9223372036854775808.0), " -9223372036854775808");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN()).front(), ' ');
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity()).front(), ' ');
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity()).front(), ' ');
}

TEST(FormatNumber, DecimalsAreClamped) {
    EXPECT_EQ(clampNumberDecimals(50), 40);
    EXPECT_EQ(clampNumberDecimals(40), 40);
    EXPECT_EQ(clampNumberDecimals(4), 4);
    EXPECT_EQ(clampNumberDecimals(-3), 0);
    EXPECT_EQ(formatNumber(1.5, -1), " 2");
}

TEST(DateAndTimeTexts, PaddedMonthDayYearAnd24Hours) {
    FixedClock clock({2026, 12, 6, 14, 30, 0});
    EXPECT_EQ(currentDateText(clock), "12-06-2026");
    EXPECT_EQ(currentTimeText(clock), "14:30:00");
    EXPECT_EQ(dateText({987, 1, 2, 0, 0, 0}), "01-02-0987");
    EXPECT_EQ(timeText({2026, 1, 1, 0, 5, 9}), "00:05:09");
    EXPECT_EQ(timeText({2026, 1, 1, 23, 59, 59}), "23:59:59");
}

TEST(DateAndTimeTexts, SystemClockGivesAPlausibleTime) {
    SystemClock clock;
    const LocalTime now = clock.now();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_EQ(currentDateText(clock).size(), 10U);
    EXPECT_EQ(currentTimeText(clock).size(), 8U);
}

} // namespace
} // namespace vz
