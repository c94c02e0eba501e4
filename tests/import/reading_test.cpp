#include "tests/import/packed_samples.h"

#include "tools/import/bar_reader.h"
#include "tools/import/clock_time.h"
#include "tools/import/packed_input.h"
#include "tools/import/resample.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vz {
namespace {

Minute utc(int year, int month, int day, int hour, int minute = 0) {
    return daysFromCivil({year, month, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

// The server clock runs seven hours ahead of New York, whose daylight saving
// runs from the second Sunday of March to the first Sunday of November since
// 2007, and from the first Sunday of April to the last Sunday of October before.
TEST(CivilTime, ServerDayEndsAtFivePmNewYorkEitherSideOfEachSwitch) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2025-03-07 21:59", "2025.03.07 23:59"}, {"2025-03-07 22:00", "2025.03.08 00:00"},
        {"2025-03-09 06:59", "2025.03.09 08:59"}, {"2025-03-09 07:00", "2025.03.09 10:00"},
        {"2025-03-10 20:59", "2025.03.10 23:59"}, {"2025-03-10 21:00", "2025.03.11 00:00"},
        {"2025-11-02 05:59", "2025.11.02 08:59"}, {"2025-11-02 06:00", "2025.11.02 08:00"},
        {"2006-03-20 12:00", "2006.03.20 14:00"}, {"2006-04-02 07:00", "2006.04.02 10:00"},
        {"2006-10-29 05:59", "2006.10.29 08:59"}, {"2006-10-29 06:00", "2006.10.29 08:00"}};
    for (const auto& [utcText, label] : cases) {
        EXPECT_EQ(minuteLabel(serverFromUtc(parseTimestamp(utcText)->stamp)), label) << utcText;
    }
}

TEST(Fields, StampsAndPricesInTheCommonSpellingsPassTheRestFails) {
    const std::vector<std::pair<const char*, std::optional<int>>> good = {
        {"2024-01-02 13:05:00", {}},     {"2024.01.02 13:05", {}},
        {"2024/01/02 13:05:59", {}},     {"2024-01-02T13:05:00.250", {}},
        {"20240102 130500", {}},         {"02.01.2024 13:05:00.000", {}},
        {"  \"2024-01-02 13:05\" ", {}}, {"2024-01-02 13:05:00+00:00", 0},
        {"2024-01-02t13:05z", 0},        {"2024-01-02T13:05:00-05:00", -300},
        {"2024-01-02 13:05 +0230", 150}, {"2024-01-02 13:05 utc", 0}};
    for (const auto& [text, offset] : good) {
        const auto stamp = parseTimestamp(text);
        ASSERT_TRUE(stamp) << text;
        EXPECT_EQ(stamp->stamp, utc(2024, 1, 2, 13, 5)) << text;
        EXPECT_EQ(stamp->offsetMinutes, offset) << text;
    }
    EXPECT_EQ(parseTimestamp("2024-01-02")->stamp, utc(2024, 1, 2, 0));
    for (const char* text :
         {"", "time", "2024-13-01", "2023-02-29", "2024-01-02 24:00", "2024-01-02 13:60",
          "2024-01-02 13:05 extra", "2024-01-02 13:05+25:00", "2024-01-0213:05", "1.0845"}) {
        EXPECT_FALSE(parseTimestamp(text)) << text;
    }
    // Prices: only numbers above zero and below a million.
    EXPECT_DOUBLE_EQ(*parsePrice(" 151.5 "), 151.5);
    EXPECT_DOUBLE_EQ(*parsePrice("1.5e2"), 150.0);
    for (const char* text :
         {"", "0", "-1.2", "+1.2", "1,08", "abc", "1.2x", "inf", "nan", "1e6", "1e300"}) {
        EXPECT_FALSE(parsePrice(text)) << text;
    }
}

BarReadResult readText(const std::string& text, ReadSettings settings = {}) {
    std::istringstream in(text);
    return readBars(in, "in.csv", settings);
}

std::string errorOf(const BarReadResult& result) {
    return result.error ? describe(*result.error) : "none";
}

TEST(BarReader, EveryLayoutGivesTheSameTwoBars) {
    struct Case {
        std::string text;
        std::optional<int> offset;
        std::size_t bars = 2;
    };
    const std::vector<Case> cases = {
        // MetaTrader history centre export
        {"2024.01.02,13:00,1.1,1.2,1.0,1.15,120\r\n2024.01.02,13:15,1.15,1.2,1.1,1.17,80\r\n", {}},
        // MetaTrader table: tabs, header, extra columns
        {"<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
         "2024.01.02\t13:00:00\t1.1\t1.2\t1.0\t1.15\t10\t0\t5\n"
         "2024.01.02\t13:15:00\t1.1\t1.2\t1.0\t1.17\t10\t0\t5\n",
         {}},
        // one-minute ASCII
        {"20240102 130000;1.1;1.2;1.0;1.15;0\n20240102 131500;1.1;1.2;1.0;1.17;0\n", {}},
        // ISO stamps with offsets, a byte order mark and a blank line
        {"\xEF\xBB\xBFTIME_UTC,Open,High,Low,CLOSE,Volume\n"
         "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,264.2\n\n"
         "2024-01-02 13:15:00+00:00,1.1,1.2,1.0,1.17,66.5\n",
         0},
        {"Date;Time;Close\n2024-01-02;13:00;1.15\n2024-01-02;13:15;1.17\n", {}},
        // Two downloads appended to one file: each row fills one set of
        // columns, and rows of the first may stop short.
        {",open,high,low,close,volume,Open,High,Low,Close,Volume\n"
         "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,0.0,,,,,\n"
         "2024-01-02 13:15:00,,,,,,1.1,1.2,1.0,1.17,0\n",
         0},
        {",open,high,low,close,volume,Open,High,Low,Close,Volume\n"
         "2024-01-02 13:00:00,1.1,1.2,1.0,1.15,0\n2024-01-02 13:15:00,1.1,1.2,1.0,1.17,0\n",
         {}},
        // TradingView: Unix seconds (UTC).
        {"time,open,high,low,close,Volume\n1704200400,1.1,1.2,1.0,1.15,10\n"
         "1704201300,1.1,1.2,1.0,1.17,10\n",
         0},
        // A broker API dump in milliseconds.
        {"timestamp;bid;closeBid\n1704200400000;1.1;1.15\n1704201300000;1.1;1.17\n", 0},
        // Dukascopy "Local time".
        {"Local time,Open,High,Low,Close,Volume\n"
         "02.01.2024 14:00:00.000 GMT+0100,1.1,1.2,1.0,1.15,10\n"
         "02.01.2024 14:15:00.000 GMT+0100,1.1,1.2,1.0,1.17,10\n",
         60},
        // Headerless, tab- or comma-separated, the close alone or after O/H/L.
        {"2024-01-02 13:00\t1.1\t1.2\t1.0\t1.15\t100\n2024-01-02 13:15\t1.1\t1.2\t1.0\t1.17\t80\n",
         {}},
        {"2024-01-02,13:00,1.15\n2024-01-02,13:15,1.17\n", {}},
        // Semicolons with decimal commas.
        {"Date;Open;High;Low;Close\n2024-01-02 13:00;1,1;1,2;1,0;1,15\n"
         "2024-01-02 13:15;1,1;1,2;1,0;1,17\n",
         {}},
        // Closes under other names, and a spreadsheet's 12-hour clock.
        {"Date,Open,High,Low,Close/Last\n01/02/2024 01:00 PM,1,1,1,1.15\n"
         "01/02/2024 1:15 PM,1,1,1,1.17\n01/31/2024 1:15 PM,1,1,1,1.3\n",
         {},
         3},
        {"time,closingPrice\n2024-01-02T13:00:00Z,1.15\n2024-01-02T13:15:00Z,1.17\n", 0},
        {"open_time,close_price,close_time\n2024-01-02 13:00,1.15,2024-01-02 13:14\n"
         "2024-01-02 13:15,1.17,2024-01-02 13:29\n",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const BarReadResult result = readText(c.text);
        ASSERT_FALSE(result.error) << errorOf(result);
        ASSERT_EQ(result.bars.size(), c.bars);
        EXPECT_EQ(result.bars[0].stamp, utc(2024, 1, 2, c.offset == 60 ? 14 : 13));
        EXPECT_EQ(result.bars[1].stamp - result.bars[0].stamp, 15);
        EXPECT_EQ(result.bars[0].offsetMinutes, c.offset);
        EXPECT_DOUBLE_EQ(result.bars[1].close, 1.17);
    }
}

TEST(BarReader, ErrorsNameFileAndLineAndKeepNoBars) {
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"time,close\n2024-01-02 13:00,1.1\n\n2024-01-02 13:30,x\n",
         "in.csv:4: bad close price \"x\""},
        {"Date;Close\n2024-01-02;abc\n", "in.csv:2: bad close price \"abc\" (not a number)"},
        {"Date;Close\n2024-01-02;1e300\n",
         "in.csv:2: bad close price \"1e300\" (out of range: a price lies above 0 and below "
         "1000000)"},
        {"Date;Close\n2024-01-02;1,2,3\n", "in.csv:2: bad close price \"1,2,3\" (not a number)"},
        // A decimal comma in a comma-separated file would read as the whole part.
        {"time,close\n2024-01-02 13:00,1.1\r2024-01-02 13:15,1,10\n",
         "in.csv:3: 3 fields where the header names 2"},
        {"2024.01.02,13:00,1,1,1,1.1,0,7\n", "in.csv:1: 8 fields where the layout has 7"},
        {"2024.01.02,13:00,1,1,1,1.1,0\n2024.02.30,13:15,1,1,1,1.1,0\n",
         "in.csv:2: bad date or time"},
        {"time,open,close\n2024-01-02 13:00,1.1\n", "in.csv:2: no close price"},
        {"time,close\n2024-01-02 13:00,\n", "in.csv:2: no close price"},
        {"Open,High,Low,Close\n", "in.csv:1: the header names no date or time column"},
        {"Time,Open,High,Low\n", "in.csv:1: the header names no close column"},
        {"Date,Mid\n2024-01-02,1.1\n",
         "in.csv:1: the header names no close column (give --close-column NAME)"},
        {"2024-01-02 13:00:00,1.1,1.2\n", "in.csv:1: no header line, and 2 numbers after"},
        {"2024-01-02,13:00,1.1,1.2,1.0\n", "in.csv:1: no header line, and 3 numbers"},
        {"", "in.csv: holds no bars"},
        {"time,close\r\n\r\n", "in.csv: holds no bars"},
        {std::string("\xFD\x37zXZ\0\0garbage", 12), "in.csv: compressed"},
    };
    for (const auto& [text, expected] : cases) {
        const auto result = readText(text);
        ASSERT_TRUE(result.error) << text;
        EXPECT_TRUE(result.bars.empty());
        EXPECT_EQ(errorOf(result).rfind(expected, 0), 0U) << errorOf(result);
    }
    // A forced layout is not second-guessed; a close column named is the one read.
    ReadSettings ascii, mid;
    ascii.format = InputFormat::Ascii;
    mid.closeColumn = "MID";
    EXPECT_EQ(readText("Date;Close\n", ascii).error->line, 1);
    EXPECT_DOUBLE_EQ(readText("Date,Mid,Close\n2024-01-02,1.1,1.3\n", mid).bars.at(0).close, 1.1);
    EXPECT_EQ(errorOf(readText("Date,Close\n2024-01-02,1.1\n", mid)),
              "in.csv:1: the header names no column MID");
}

TEST(PackedInput, XzAndGzipAreUnpackedByTheirLeadingBytesAndDamageIsAnError) {
    using namespace samples;
#ifndef VUREZER_HAVE_XZ
    EXPECT_EQ(unpack(UTC_TABLE_XZ).error.value_or("none").rfind("is packed with xz", 0), 0U);
    EXPECT_EQ(unpack(UTC_TABLE_GZ).text, UTC_TABLE);
    GTEST_SKIP() << "a build without xz names xz input as unreadable";
#endif
    EXPECT_EQ(unpack(UTC_TABLE_XZ).text, UTC_TABLE);
    EXPECT_EQ(unpack(UTC_TABLE_GZ).text, UTC_TABLE);
    EXPECT_EQ(unpack(UTC_TABLE_GZ + OTHER_GZ).text,
              UTC_TABLE + "time,close\n2026-02-09 11:00,1.2\n");
    EXPECT_EQ(unpack(UTC_TABLE).text, UTC_TABLE);
    const auto flipped = [](std::string data, std::size_t at) {
        data[at] = static_cast<char>(data[at] ^ 0x55);
        return data;
    };
    const std::vector<std::pair<std::string, const char*>> damaged = {
        {UTC_TABLE_XZ.substr(0, 6), "xz data cut short"},
        {UTC_TABLE_XZ.substr(0, UTC_TABLE_XZ.size() - 10), "xz data cut short"},
        {flipped(UTC_TABLE_XZ, 40), "corrupt xz data"},
        {UTC_TABLE_XZ + "junk after the data", "corrupt xz data"},
        {UTC_TABLE_GZ.substr(0, UTC_TABLE_GZ.size() - 12), "gzip data cut short"},
        {flipped(UTC_TABLE_GZ, UTC_TABLE_GZ.size() - 6), "corrupt gzip data"},
        {UTC_TABLE_GZ + "junk", "corrupt gzip data"}};
    for (const auto& [data, expected] : damaged) {
        const UnpackedText result = unpack(data);
        EXPECT_TRUE(result.text.empty());
        EXPECT_EQ(result.error.value_or("none").rfind(expected, 0), 0U) << *result.error;
    }
}

TEST(Resample, LongestBarsThatFitAndTheLastCloseOfEachBucket) {
    const auto at = [](int day, int hour, int minute) { return utc(2026, 2, day, hour, minute); };
    std::vector<BarSeries> lengths = {makeSeries({{at(2, 0, 0), 1}, {at(2, 0, 15), 1}}),
                                      makeSeries({{at(2, 0, 0), 1}, {at(2, 1, 0), 1}}),
                                      makeSeries({{at(2, 0, 0), 1}, {at(3, 0, 0), 1}})};
    EXPECT_EQ(seriesFor(lengths, Timeframe::OneHour)->barMinutes, 60);
    EXPECT_EQ(seriesFor(lengths, Timeframe::FourHour)->barMinutes, 60);
    EXPECT_EQ(seriesFor(lengths, Timeframe::Daily)->barMinutes, MINUTES_PER_DAY);
    lengths.erase(lengths.begin(), lengths.begin() + 2);
    EXPECT_EQ(seriesFor(lengths, Timeframe::OneHour), nullptr);

    const BarSeries series = makeSeries({{at(3, 0, 0), 1.0},
                                         {at(3, 3, 45), 2.0},
                                         {at(3, 4, 0), 3.0},
                                         {at(3, 23, 45), 4.0},
                                         {at(4, 0, 0), 5.0}});
    EXPECT_EQ(
        resample(series, Timeframe::FourHour),
        (std::map<Minute, double>{
            {at(3, 0, 0), 2.0}, {at(3, 4, 0), 3.0}, {at(3, 20, 0), 4.0}, {at(4, 0, 0), 5.0}}));
    EXPECT_EQ(resample(series, Timeframe::Daily),
              (std::map<Minute, double>{{at(3, 0, 0), 4.0}, {at(4, 0, 0), 5.0}}));
    // Stamps before 1970 still fall into the right day.
    EXPECT_EQ(barLabel(utc(1969, 12, 31, 23, 59), Timeframe::Daily), "1969.12.31");
}

} // namespace
} // namespace vz
