// The readers of every input layout, the clocks their stamps are on, and
// MetaTrader 4's own history files.
#include "tests/import/import_folders.h"

#include "tools/import/bar_reader.h"
#include "tools/import/clock_time.h"
#include "tools/import/history_centre.h"
#include "tools/import/packed_input.h"
#include "tools/import/resample.h"
#include "tools/import/source_zone.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

namespace vz {
namespace {

using testing::at;

Minute utc(int year, int month, int day, int hour, int minute = 0) {
    return daysFromCivil({year, month, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

// The server clock runs seven hours ahead of New York, whose daylight saving
// runs from the second Sunday of March to the first Sunday of November since
// 2007, and from the first Sunday of April to the last Sunday of October before.
TEST(CivilTime, ServerDayEndsAtFivePmNewYorkEitherSideOfEachSwitch) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2025-03-09 06:59", "2025.03.09 08:59"}, {"2025-03-09 07:00", "2025.03.09 10:00"},
        {"2025-11-02 05:59", "2025.11.02 08:59"}, {"2025-11-02 06:00", "2025.11.02 08:00"},
        {"2006-04-02 07:00", "2006.04.02 10:00"}, {"2006-10-29 06:00", "2006.10.29 08:00"}};
    for (const auto& [utcText, label] : cases) {
        EXPECT_EQ(minuteLabel(serverFromUtc(parseTimestamp(utcText)->stamp)), label) << utcText;
    }
}

TEST(Fields, StampsAndPricesInTheCommonSpellingsPassTheRestFails) {
    const std::vector<std::pair<const char*, std::optional<int>>> good = {
        {"2024.01.02 13:05", {}},
        {"2024-01-02T13:05:00.250", {}},
        {"20240102 130500", {}},
        {"  \"2024-01-02 13:05\" ", {}},
        {"2024-01-02T13:05:00-05:00", -300},
        {"2024-01-02 13:05 +0230", 150}};
    for (const auto& [text, offset] : good) {
        const auto stamp = parseTimestamp(text);
        ASSERT_TRUE(stamp) << text;
        EXPECT_EQ(stamp->stamp, utc(2024, 1, 2, 13, 5)) << text;
        EXPECT_EQ(stamp->offsetMinutes, offset) << text;
    }
    EXPECT_EQ(parseTimestamp("2024-01-02")->stamp, utc(2024, 1, 2, 0));
    for (const char* text : {"", "2023-02-29", "2024-01-02 24:00", "2024-01-02 13:05 extra",
                             "2024-01-02 13:05+25:00"}) {
        EXPECT_FALSE(parseTimestamp(text)) << text;
    }
    // Prices: only numbers above zero and below a million.
    EXPECT_DOUBLE_EQ(*parsePrice(" 151.5 "), 151.5);
    EXPECT_DOUBLE_EQ(*parsePrice("1.5e2"), 150.0);
    for (const char* text : {"0", "+1.2", "1,08", "1.2x", "nan", "1e6"}) {
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
        // MetaTrader table: tabs, header, extra columns
        {"<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
         "2024.01.02\t13:00:00\t1.1\t1.2\t1.0\t1.15\t10\t0\t5\n"
         "2024.01.02\t13:15:00\t1.1\t1.2\t1.0\t1.17\t10\t0\t5\n",
         {}},
        // ISO stamps with offsets, a byte order mark and a blank line
        {"\xEF\xBB\xBFTIME_UTC,Open,High,Low,CLOSE,Volume\n"
         "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,264.2\n\n"
         "2024-01-02 13:15:00+00:00,1.1,1.2,1.0,1.17,66.5\n",
         0},
        // Two downloads appended to one file: each row fills one set of
        // columns, and rows of the first may stop short.
        {",open,high,low,close,volume,Open,High,Low,Close,Volume\n"
         "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,0.0,,,,,\n"
         "2024-01-02 13:15:00,,,,,,1.1,1.2,1.0,1.17,0\n",
         0},
        // TradingView: Unix seconds (UTC).
        {"time,open,high,low,close,Volume\n1704200400,1.1,1.2,1.0,1.15,10\n"
         "1704201300,1.1,1.2,1.0,1.17,10\n",
         0},
        // Dukascopy "Local time".
        {"Local time,Open,High,Low,Close,Volume\n"
         "02.01.2024 14:00:00.000 GMT+0100,1.1,1.2,1.0,1.15,10\n"
         "02.01.2024 14:15:00.000 GMT+0100,1.1,1.2,1.0,1.17,10\n",
         60},
        // Semicolons with decimal commas.
        {"Date;Open;High;Low;Close\n2024-01-02 13:00;1,1;1,2;1,0;1,15\n"
         "2024-01-02 13:15;1,1;1,2;1,0;1,17\n",
         {}},
        // Closes under other names, and a spreadsheet's 12-hour clock.
        {"Date,Open,High,Low,Close/Last\n01/02/2024 01:00 PM,1,1,1,1.15\n"
         "01/02/2024 1:15 PM,1,1,1,1.17\n01/31/2024 1:15 PM,1,1,1,1.3\n",
         {},
         3},
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
        // A decimal comma in a comma-separated file would read as the whole part.
        {"time,close\n2024-01-02 13:00,1.1\r2024-01-02 13:15,1,10\n",
         "in.csv:3: 3 fields where the header names 2"},
        {"2024.01.02,13:00,1,1,1,1.1,0\n2024.02.30,13:15,1,1,1,1.1,0\n",
         "in.csv:2: bad date or time"},
        {"Date,Mid\n2024-01-02,1.1\n",
         "in.csv:1: the header names no close column (give --close-column NAME)"},
        {"2024-01-02 13:00:00,1.1,1.2\n", "in.csv:1: no header line, and 2 numbers after"},
        {"", "in.csv: holds no bars"},
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
}

template <std::size_t N> std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

const std::string UTC_TABLE = "time_utc,close\n2026-02-09 10:00,1.1\n";

// UTC_TABLE packed by xz and by gzip; OTHER_GZ packs "time,close\n2026-02-09 11:00,1.2\n".
const std::string UTC_TABLE_XZ =
    bytes("\xFD\x37\x7A\x58\x5A\x00\x00\x04\xE6\xD6\xB4\x46\x02\x00\x21\x01\x16\x00\x00\x00\x74"
          "\x2F\xE5\xA3\x01\x00\x23\x74\x69\x6D\x65\x5F\x75\x74\x63\x2C\x63\x6C\x6F\x73\x65\x0A"
          "\x32\x30\x32\x36\x2D\x30\x32\x2D\x30\x39\x20\x31\x30\x3A\x30\x30\x2C\x31\x2E\x31\x0A"
          "\x00\xDF\x3D\xC0\x03\xEB\xFD\x20\x8B\x00\x01\x3C\x24\x05\x28\x76\x6F\x1F\xB6\xF3\x7D"
          "\x01\x00\x00\x00\x00\x04\x59\x5A");
const std::string UTC_TABLE_GZ =
    bytes("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03\x2B\xC9\xCC\x4D\x8D\x2F\x2D\x49\xD6\x49\xCE"
          "\xC9\x2F\x4E\xE5\x32\x32\x30\x32\xD3\x35\x30\xD2\x35\xB0\x54\x30\x34\xB0\x32\x30\xD0"
          "\x31\xD4\x33\xE4\x02\x00\x35\x25\xD9\x6F\x24\x00\x00\x00");
const std::string OTHER_GZ =
    bytes("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03\x2B\xC9\xCC\x4D\xD5\x49\xCE\xC9\x2F\x4E\xE5"
          "\x32\x32\x30\x32\xD3\x35\x30\xD2\x35\xB0\x54\x30\x34\xB4\x32\x30\xD0\x31\xD4\x33\xE2"
          "\x02\x00\xC9\x56\x30\x3A\x20\x00\x00\x00");

TEST(PackedInput, XzAndGzipAreUnpackedByTheirLeadingBytesAndDamageIsAnError) {
#ifndef VUREZER_HAVE_XZ
    EXPECT_EQ(unpack(UTC_TABLE_XZ).error.value_or("none").rfind("is packed with xz", 0), 0U);
    EXPECT_EQ(unpack(UTC_TABLE_GZ).text, UTC_TABLE);
    GTEST_SKIP() << "a build without xz names xz input as unreadable";
#endif
    EXPECT_EQ(unpack(UTC_TABLE_XZ).text, UTC_TABLE);
    EXPECT_EQ(unpack(UTC_TABLE_GZ).text, UTC_TABLE);
    EXPECT_EQ(unpack(UTC_TABLE_GZ + OTHER_GZ).text,
              UTC_TABLE + "time,close\n2026-02-09 11:00,1.2\n");
    const auto flipped = [](std::string data, std::size_t at) {
        data[at] = static_cast<char>(data[at] ^ 0x55);
        return data;
    };
    const std::vector<std::pair<std::string, const char*>> damaged = {
        {flipped(UTC_TABLE_XZ, 40), "corrupt xz data"},
        {UTC_TABLE_GZ.substr(0, UTC_TABLE_GZ.size() - 12), "gzip data cut short"}};
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

TEST(Layouts, SlashDatesTakeTheirOrderFromTheDataOrTheOption) {
    const std::string dayFirst = "Date,Close\n09/01/2020 00:00,1.1\n13/01/2020 0:00,1.2\n";
    const BarReadResult read = readText(dayFirst);
    ASSERT_FALSE(read.error) << errorOf(read);
    EXPECT_EQ(read.bars[0].stamp, at(2020, 1, 9));
    EXPECT_EQ(read.bars[1].stamp, at(2020, 1, 13));

    const std::string unsettled = "Date,Close\n09/01/2020 00:00,1.1\n10/01/2020 00:00,1.2\n";
    EXPECT_EQ(errorOf(readText(unsettled)),
              "in.csv: no date tells whether slash dates such as 09/01/2020 have the day or the "
              "month first; give --date-order dmy or mdy");
    ReadSettings settings;
    settings.dateOrder = DateOrder::DayFirst;
    EXPECT_EQ(readText(unsettled, settings).bars.at(1).stamp, at(2020, 1, 10));
    EXPECT_EQ(errorOf(readText("Date,Close\n13/01/2020,1.1\n01/13/2020,1.2\n")),
              "in.csv: slash dates in both orders: line 2 has the day first, line 3 the month "
              "first");
}

TEST(SourceZones, OffsetsNamesAndTheHoursClockChangesSkipOrRepeat) {
    std::string error;
    for (const auto& [name, offset] : std::vector<std::pair<const char*, int>>{
             {"-05:00", -300}, {"+0530", 330}, {"GMT+2", 120}}) {
        const auto zone = SourceZone::named(name, error);
        ASSERT_TRUE(zone) << name;
        EXPECT_EQ(zone->toUtc(at(2021, 3, 14, 12), {}).utc, at(2021, 3, 14, 12) - offset) << name;
    }
    for (const char* bad : {"Mars/Base", "+25:00", "-5:0:0", ""}) {
        EXPECT_FALSE(SourceZone::named(bad, error)) << bad;
    }
    if (!zoneNamesAvailable()) {
        GTEST_SKIP() << "built without zone names";
    }
    const auto newYork = SourceZone::named("America/New_York", error);
    ASSERT_TRUE(newYork) << error;
    EXPECT_EQ(newYork->toUtc(at(2021, 3, 14, 1, 59), {}).utc, at(2021, 3, 14, 6, 59));
    EXPECT_FALSE(newYork->toUtc(at(2021, 3, 14, 2, 30), {}).utc);
    EXPECT_EQ(newYork->toUtc(at(2021, 3, 14, 3, 0), {}).utc, at(2021, 3, 14, 7, 0));
    // 01:30 happens twice on November 7th: first on summer time, then again
    // an hour later once the row above has passed it.
    const auto first = newYork->toUtc(at(2021, 11, 7, 1, 30), {});
    EXPECT_TRUE(first.ambiguous);
    EXPECT_EQ(first.utc, at(2021, 11, 7, 5, 30));
    EXPECT_EQ(newYork->toUtc(at(2021, 11, 7, 1, 30), at(2021, 11, 7, 6, 10)).utc,
              at(2021, 11, 7, 6, 30));
}

// MetaTrader 4 history files, written byte by byte from the documented
// layout: a 148-byte header, then 44-byte (version 400) or 60-byte (401)
// records, little-endian.
class HistoryBytes {
public:
    HistoryBytes(int version, const char* symbol, int period) : version_(version) {
        std::string name(symbol);
        name.resize(12, '\0');
        put(version, 4);
        bytes_ += std::string(64, 'c') + name; // copyright, symbol
        put(period, 4);
        put(5, 4);            // digits
        bytes_.append(60, 0); // time sign, last sync, unused
    }
    // Version 400: open, low, high, close, volume; 401: open, high, low, close,
    // then tick volume, spread and real volume as integers.
    HistoryBytes& bar(Minute minute, double close) {
        const bool old = version_ == 400;
        const double low = close - 0.002, high = close + 0.001;
        put(minute * 60, old ? 4 : 8);
        for (const double value : {close - 0.001, old ? low : high, old ? high : low, close}) {
            putDouble(value);
        }
        if (old) {
            putDouble(42.0);
        } else {
            put(42, 8);
            put(3, 4);
            put(0, 8);
        }
        return *this;
    }
    const std::string& bytes() const { return bytes_; }

private:
    void put(std::int64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes_ += static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
        }
    }
    void putDouble(double value) {
        std::uint64_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        put(static_cast<std::int64_t>(raw), 8);
    }

    int version_;
    std::string bytes_;
};

class HistoryCentre : public testing::ImportFolders {
protected:
    std::string output(const std::string& name) const { return testing::readFile(out() / name); }
};

TEST_F(HistoryCentre, BothVersionsAreReadFromTheTerminalsFolder) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string symbol(PAIR_TABLE[static_cast<std::size_t>(pair)]);
        HistoryBytes hourly(pair % 2 == 0 ? 400 : 401, (symbol + "m").c_str(), 60);
        for (int hour = 20; hour <= 23; ++hour) {
            hourly.bar(at(2021, 3, 3, hour), 1.0 + pair / 10.0 + hour / 1000.0);
        }
        hourly.bar(0, 0.0); // an empty slot
        write(symbol + "60.hst", hourly.bytes());
    }
    // The header, not the file name, says which pair and bar length it holds.
    write("renamed.hst", HistoryBytes(401, "EURUSD", 1440)
                             .bar(at(2021, 3, 2), 1.2)
                             .bar(at(2021, 3, 3), 1.3)
                             .bytes());
    write("XAUUSD60.hst", HistoryBytes(401, "XAUUSD", 60).bar(at(2021, 3, 3), 1700).bytes());
    write("symbols.raw", "not bars");
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    EXPECT_EQ(output("GBPUSD_H1.csv"), "2021.03.03 23:00,1.02300\r\n2021.03.03 22:00,1.02200\r\n"
                                       "2021.03.03 21:00,1.02100\r\n2021.03.03 20:00,1.02000\r\n");
    EXPECT_EQ(output("EURUSD.csv"), "2021.03.03,1.30000\r\n");
    EXPECT_EQ(output("USDJPY.csv"), "2021.03.03,1.823\r\n");
    EXPECT_TRUE(testing::has(outcome.notes,
                             "XAUUSD60.hst: its symbol XAUUSD is none of the fourteen pairs"));
    EXPECT_TRUE(testing::has(outcome.notes, "EURUSD60.hst: 1 row(s) with a zero price skipped"));
}

TEST(HistoryCentreFile, DamagedFilesAreNamed) {
    const std::string good = HistoryBytes(400, "EURUSD", 60).bar(at(2021, 3, 3), 1.1).bytes();
    std::string badVersion = good;
    badVersion[0] = 0x2A;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {good.substr(0, good.size() - 4), "x.hst:1: record cut short (40 of 44 bytes)"},
        {badVersion, "x.hst: not a MetaTrader 4 history file (format version 298;"},
        {HistoryBytes(401, "EURUSD", 60).bar(at(2021, 3, 3), -1).bytes(),
         "x.hst:1: bad close price in record 1"}};
    for (const auto& [bytes, expected] : cases) {
        std::istringstream in(bytes);
        HistoryCentreHeader header;
        const BarReadResult read = readHistoryCentreFile(in, "x.hst", header);
        EXPECT_EQ(errorOf(read).rfind(expected, 0), 0U) << errorOf(read);
    }
    EXPECT_TRUE(isHistoryCentreName("EURUSD60.HST"));
    EXPECT_FALSE(isHistoryCentreName("EURUSD60.csv"));
}

} // namespace
} // namespace vz
