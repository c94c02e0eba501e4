#include "tools/import/bar_reader.h"
#include "tools/import/clock_time.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

Minute utc(int year, int month, int day, int hour, int minute = 0) {
    return daysFromCivil({year, month, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

TEST(CivilTime, DaysRoundTripAcrossLeapYearsAndBefore1970) {
    for (const CivilDate date : {CivilDate{1969, 12, 31}, CivilDate{2000, 2, 29},
                                 CivilDate{2024, 2, 29}, CivilDate{2100, 3, 1}}) {
        const CivilDate back = civilFromDays(daysFromCivil(date));
        EXPECT_EQ(back.year, date.year);
        EXPECT_EQ(back.month, date.month);
        EXPECT_EQ(back.day, date.day);
    }
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(weekdayOf(utc(2026, 2, 13, 12)), 5); // a Friday
    EXPECT_EQ(dayLabel(utc(1969, 12, 31, 23, 59)), "1969.12.31");
    EXPECT_EQ(minuteLabel(utc(2026, 2, 3, 4, 5)), "2026.02.03 04:05");
}

TEST(CivilTime, NewYorkSwitchesAtTwoInTheMorningLocalTime) {
    // Since 2007: second Sunday of March to first Sunday of November.
    EXPECT_EQ(newYorkOffsetMinutes(utc(2025, 3, 9, 6, 59)), -300);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2025, 3, 9, 7, 0)), -240);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2025, 11, 2, 5, 59)), -240);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2025, 11, 2, 6, 0)), -300);
    // Before 2007: first Sunday of April to last Sunday of October.
    EXPECT_EQ(newYorkOffsetMinutes(utc(2006, 4, 2, 6, 59)), -300);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2006, 4, 2, 7, 0)), -240);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2006, 10, 29, 6, 0)), -300);
    EXPECT_EQ(newYorkOffsetMinutes(utc(2006, 3, 20, 12)), -300);
}

TEST(CivilTime, ServerDayStartsAtFivePmNewYork) {
    EXPECT_EQ(dayLabel(serverFromUtc(utc(2026, 2, 9, 21, 45))), "2026.02.09");
    EXPECT_EQ(dayLabel(serverFromUtc(utc(2026, 2, 9, 22, 0))), "2026.02.10");
    EXPECT_EQ(dayLabel(serverFromUtc(utc(2025, 7, 9, 20, 45))), "2025.07.09");
    EXPECT_EQ(dayLabel(serverFromUtc(utc(2025, 7, 9, 21, 0))), "2025.07.10");
}

TEST(Timestamps, AcceptTheCommonSpellings) {
    const Minute expected = utc(2024, 1, 2, 13, 5);
    for (const char* text : {"2024-01-02 13:05:00", "2024.01.02 13:05", "2024/01/02 13:05:59",
                             "2024-01-02T13:05:00.250", "20240102 130500",
                             "02.01.2024 13:05:00.000", "  \"2024-01-02 13:05\" "}) {
        const auto stamp = parseTimestamp(text);
        ASSERT_TRUE(stamp) << text;
        EXPECT_EQ(stamp->stamp, expected) << text;
        EXPECT_FALSE(stamp->offsetMinutes) << text;
    }
    EXPECT_EQ(parseTimestamp("2024-01-02")->stamp, utc(2024, 1, 2, 0));
}

TEST(Timestamps, ReadZonesInAnyCase) {
    EXPECT_EQ(parseTimestamp("2024-01-02 13:05:00+00:00")->offsetMinutes, 0);
    EXPECT_EQ(parseTimestamp("2024-01-02t13:05z")->offsetMinutes, 0);
    EXPECT_EQ(parseTimestamp("2024-01-02T13:05:00-05:00")->offsetMinutes, -300);
    EXPECT_EQ(parseTimestamp("2024-01-02 13:05 +0230")->offsetMinutes, 150);
    EXPECT_EQ(parseTimestamp("2024-01-02 13:05 utc")->offsetMinutes, 0);
}

TEST(Timestamps, RejectImpossibleOrTrailingText) {
    for (const char* text :
         {"", "time", "2024-13-01", "2023-02-29", "2024-01-02 24:00", "2024-01-02 13:60",
          "2024-01-02 13:05 extra", "2024-01-02 13:05+25:00", "2024-01-0213:05", "1.0845"}) {
        EXPECT_FALSE(parseTimestamp(text)) << text;
    }
}

TEST(Prices, OnlyFinitePositiveNumbersPass) {
    EXPECT_DOUBLE_EQ(*parsePrice("1.0702054500579834"), 1.0702054500579834);
    EXPECT_DOUBLE_EQ(*parsePrice(" 151.5 "), 151.5);
    EXPECT_DOUBLE_EQ(*parsePrice("1.5e2"), 150.0);
    for (const char* text : {"", "0", "-1.2", "+1.2", "1,08", "abc", "1.2x", "inf", "nan"}) {
        EXPECT_FALSE(parsePrice(text)) << text;
    }
}

} // namespace
} // namespace vz
