#include "platform/headless/fixed_clock.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

LocalTime advanced(LocalTime start, long long seconds) {
    FixedClock clock(start);
    clock.advanceSeconds(seconds);
    return clock.now();
}

TEST(FixedClock, RollsSecondsMinutesAndHours) {
    EXPECT_EQ(advanced({2026, 3, 10, 10, 59, 59}, 1), (LocalTime{2026, 3, 10, 11, 0, 0}));
    EXPECT_EQ(advanced({2026, 3, 10, 10, 0, 0}, 3 * 3600 + 61), (LocalTime{2026, 3, 10, 13, 1, 1}));
    EXPECT_EQ(advanced({2026, 3, 10, 10, 0, 0}, 0), (LocalTime{2026, 3, 10, 10, 0, 0}));
}

TEST(FixedClock, RollsDaysMonthsAndYears) {
    EXPECT_EQ(advanced({2026, 4, 30, 23, 59, 59}, 1), (LocalTime{2026, 5, 1, 0, 0, 0}));
    EXPECT_EQ(advanced({2026, 12, 31, 23, 59, 30}, 45), (LocalTime{2027, 1, 1, 0, 0, 15}));
    EXPECT_EQ(advanced({2026, 1, 31, 12, 0, 0}, 86400), (LocalTime{2026, 2, 1, 12, 0, 0}));
    EXPECT_EQ(advanced({2026, 1, 1, 0, 0, 0}, 365LL * 86400), (LocalTime{2027, 1, 1, 0, 0, 0}));
}

TEST(FixedClock, KnowsLeapYears) {
    EXPECT_EQ(advanced({2028, 2, 28, 23, 0, 0}, 3600), (LocalTime{2028, 2, 29, 0, 0, 0}));
    EXPECT_EQ(advanced({2026, 2, 28, 23, 0, 0}, 3600), (LocalTime{2026, 3, 1, 0, 0, 0}));
    EXPECT_EQ(advanced({2100, 2, 28, 12, 0, 0}, 86400), (LocalTime{2100, 3, 1, 12, 0, 0}));
    EXPECT_EQ(advanced({2000, 2, 28, 12, 0, 0}, 86400), (LocalTime{2000, 2, 29, 12, 0, 0}));
}

} // namespace
} // namespace vz
