// The layouts traders' exports come in, the clocks their stamps are on, and
// MetaTrader 4's own history files.
#include "tests/import/import_folders.h"

#include "tools/import/bar_reader.h"
#include "tools/import/history_centre.h"
#include "tools/import/import_options.h"
#include "tools/import/importer.h"
#include "tools/import/source_zone.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

using testing::at;

BarReadResult readText(const std::string& text, ReadSettings settings = {}) {
    std::istringstream in(text);
    return readBars(in, "in.csv", settings);
}

std::string errorOf(const BarReadResult& result) {
    return result.error ? describe(*result.error) : "none";
}

TEST(Layouts, SlashDatesTakeTheirOrderFromTheDataOrTheOption) {
    const std::string dayFirst = "Date,Close\n09/01/2020 00:00,1.1\n13/01/2020 0:00,1.2\n";
    const BarReadResult read = readText(dayFirst);
    ASSERT_FALSE(read.error) << errorOf(read);
    EXPECT_EQ(read.bars[0].stamp, at(2020, 1, 9));
    EXPECT_EQ(read.bars[1].stamp, at(2020, 1, 13));
    EXPECT_EQ(readText("Date,Close\n1/1/2007 0:00,1.1\n09/13/2020 0:00,1.2\n09/01/2020 0:00,1\n")
                  .bars.at(2)
                  .stamp,
              at(2020, 9, 1));

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
             {"UTC", 0}, {"-05:00", -300}, {"+0530", 330}, {"GMT+2", 120}, {"utc-5", -300}}) {
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
    EXPECT_EQ(SourceZone::named("Europe/Zurich", error)->toUtc(at(2021, 7, 1, 12), {}).utc,
              at(2021, 7, 1, 10));
}

// MetaTrader 4 history files, written byte by byte from the documented
// layout: a 148-byte header, then 44-byte (version 400) or 60-byte (401)
// records, little-endian.
class HistoryBytes {
public:
    HistoryBytes(int version, const char* symbol, int period) : version_(version) {
        put(version, 4);
        bytes_.append(64, 'c'); // copyright
        std::string name(symbol);
        name.resize(12, '\0');
        bytes_ += name;
        put(period, 4);
        put(5, 4);            // digits
        put(0, 4);            // time sign
        put(0, 4);            // last sync
        bytes_.append(52, 0); // unused
    }
    HistoryBytes& bar(Minute minute, double close) {
        const std::int64_t seconds = minute * 60;
        if (version_ == 400) {
            put(seconds, 4);
            for (const double value : {close - 0.001, close - 0.002, close + 0.001, close, 42.0}) {
                putDouble(value); // open, low, high, close, volume
            }
        } else {
            put(seconds, 8);
            for (const double value : {close - 0.001, close + 0.001, close - 0.002, close}) {
                putDouble(value); // open, high, low, close
            }
            put(42, 8); // tick volume
            put(3, 4);  // spread
            put(0, 8);  // real volume
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
    HistoryCentre() : ImportFolders("vurezer-hst-") {}
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
    EXPECT_EQ(output("EURGBP_H4.csv"), "2021.03.03 20:00,1.12300\r\n");
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
        {good.substr(0, 100), "x.hst: shorter than a MetaTrader 4 history header"},
        {good.substr(0, good.size() - 4), "x.hst:1: record cut short (40 of 44 bytes)"},
        {badVersion, "x.hst: not a MetaTrader 4 history file (format version 298;"},
        {HistoryBytes(401, "EURUSD", 60).bytes(), "x.hst: holds no bars"},
        {HistoryBytes(401, "EURUSD", 60).bar(at(2021, 3, 3), -1).bytes(),
         "x.hst:1: bad close price in record 1"}};
    for (const auto& [bytes, expected] : cases) {
        std::istringstream in(bytes);
        HistoryCentreHeader header;
        const BarReadResult read = readHistoryCentreFile(in, "x.hst", header);
        EXPECT_EQ(errorOf(read).rfind(expected, 0), 0U) << errorOf(read);
    }
    EXPECT_TRUE(isHistoryCentreName("EURUSD60.HST"));
    EXPECT_TRUE(isHistoryCentreName("EURUSD60.hst.gz"));
    EXPECT_FALSE(isHistoryCentreName("EURUSD60.csv"));
}

} // namespace
} // namespace vz
