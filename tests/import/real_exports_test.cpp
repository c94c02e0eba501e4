// Files shaped like traders' real exports, each with the quirk that once
// made the importer write a wrong history.
#include "tests/import/import_folders.h"

#include "tools/import/file_bars.h"
#include "tools/import/importer.h"
#include "tools/import/source_zone.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

using testing::at;
using testing::has;
using testing::readFile;
using testing::symbol;

std::string printed(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

class RealExports : public testing::ImportFolders {
protected:
    RealExports() : ImportFolders("vurezer-exports-") {}

    // One file per pair; `text` gives its content from the pair index.
    void writeEach(const std::string& ending, const std::function<std::string(int)>& text) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            write(symbol(pair) + ending, text(pair));
        }
    }
    std::vector<std::string> lines(const std::string& name) const {
        std::vector<std::string> result;
        std::istringstream text(readFile(out() / name));
        for (std::string line; std::getline(text, line);) {
            line.pop_back(); // CR
            result.push_back(line);
        }
        return result;
    }
};

// Dukascopy "Gmt time" exports: daily bars at midnight UTC with flat Saturday
// and Sunday bars, and in EURUSD one row at the spring clock change stamped
// 22:00 of the day before and listed after the following day; hourly bars
// that keep quoting flat through the weekend.
std::string dukascopyDaily(int pair) {
    std::string text = "Gmt time,Open,High,Low,Close,Volume\n";
    for (int day = 20; day <= 31; ++day) {
        text += printed("%02d.03.2017 00:00:00.000,1,1,1,%.4f,10\n", day, 1.0 + day / 100.0);
        if (pair == pairIndexOf("EURUSD") && day == 27) {
            text += "26.03.2017 22:00:00.000,1,1,1,9.9999,10\n";
        }
    }
    return text;
}

std::string dukascopyHourly(int) {
    std::string text = "Gmt time,Open,High,Low,Close,Volume\n";
    for (int day = 23; day <= 27; ++day) {
        for (int hour = 0; hour < 24; ++hour) {
            text += printed("%02d.03.2017 %02d:00:00.000,1,1,1,%.4f,10\n", day, hour,
                            2.0 + day / 100.0 + hour / 10000.0);
        }
    }
    return text;
}

TEST_F(RealExports, DukascopyDailyAndHourlyWithAStrayRowAndFlatWeekends) {
    writeEach("_D1.csv", dukascopyDaily);
    writeEach("_H1.csv", dukascopyHourly);
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    // Server clock: midnight UTC is 03:00 (New York on summer time since the
    // 12th), so each bar stays on its own date. Weekends are gone, the stray
    // row is not taken for the day's close, and one odd gap does not make the
    // daily file feed the 4-hour history.
    std::vector<std::string> daily;
    for (int day = 31; day >= 20; --day) {
        const int weekday = weekdayOf(at(2017, 3, day));
        if (weekday != 0 && weekday != 6) {
            daily.push_back(printed("2017.03.%02d,%.5f", day, 1.0 + day / 100.0));
        }
    }
    EXPECT_EQ(lines("EURUSD.csv"), daily);
    EXPECT_EQ(lines("GBPUSD.csv"), daily);
    // 4-hour bars from the hourly file: the server clock runs three hours
    // ahead of UTC, so the block 20:00 on the 27th ends with 20:00 UTC and the
    // next one with the file's last hour, 23:00 UTC.
    EXPECT_EQ(lines("EURUSD_H4.csv").at(0), "2017.03.28 00:00,2.27230");
    EXPECT_EQ(lines("EURUSD_H4.csv").at(1), "2017.03.27 20:00,2.27200");
    // The hour before the Sunday open (17:00 New York, 21:00 UTC) is dropped,
    // the open is kept.
    const auto hourly = lines("EURUSD_H1.csv");
    EXPECT_TRUE(has(hourly, "2017.03.27 00:00,2.26210"));
    EXPECT_TRUE(has(hourly, "2017.03.24 23:00,2.24200"));
    EXPECT_FALSE(has(hourly, "2017.03.25") || has(hourly, "2017.03.26"));

    const std::string dailyFile = (in() / "EURUSD_D1.csv").string();
    EXPECT_TRUE(has(outcome.notes, dailyFile + ": 1 row(s) off the grid of its 1 day(s) bars "
                                               "dropped (first at line 10)"));
    EXPECT_TRUE(has(outcome.notes, dailyFile + ": 1 row(s) earlier than the row before them"));
    EXPECT_TRUE(has(outcome.notes, dailyFile + ": 2 row(s) in the FX weekend"));
    EXPECT_TRUE(has(outcome.notes, (in() / "EURUSD_H1.csv").string() +
                                       ": 48 row(s) in the FX weekend (Friday 17:00 to Sunday "
                                       "17:00 New York) dropped (first at line 47)"));
    EXPECT_TRUE(has(outcome.notes, "EURUSD daily history from the 1 day(s) bars of " + dailyFile +
                                       ", which reach furthest"));
    EXPECT_TRUE(outcome.warnings.empty());
}

// MetaTrader 4 exports of one pair: a daily file exported on the 31st with
// that day's part-day close, and hourly bars running two days further.
TEST_F(RealExports, AStaleDailyFileNeverHidesFresherHourlyBars) {
    writeEach("1440.csv", [](int) {
        std::string text;
        for (int day = 22; day <= 31; ++day) {
            text += printed("2021.03.%02d,00:00,1,1,1,%.5f,100\r\n", day, 1.0 + day / 100.0);
        }
        return text;
    });
    writeEach("60.csv", [](int) {
        std::string text;
        for (const int day : {30, 31, 32, 33}) {
            for (int hour = 0; hour < 24; ++hour) {
                text += printed("2021.%02d.%02d,%02d:00,1,1,1,%.5f,100\r\n", day > 31 ? 4 : 3,
                                day > 31 ? day - 31 : day, hour, 2.0 + day / 100.0 + hour / 1e4);
            }
        }
        return text;
    });
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    const auto daily = lines("AUDUSD.csv");
    ASSERT_EQ(daily.size(), 12U);
    EXPECT_EQ(daily[0], "2021.04.02,2.33230");
    EXPECT_EQ(daily[2], "2021.03.31,2.31230"); // not the stale part-day 1.31000
    EXPECT_EQ(daily[4], "2021.03.29,1.29000");
    EXPECT_EQ(daily[11], "2021.03.22,1.22000");
    EXPECT_TRUE(has(outcome.notes, "AUDUSD daily history from the 1 hour(s) bars of " +
                                       (in() / "AUDUSD60.csv").string() +
                                       ", which reach furthest; bars before 2021.03.30 from the "
                                       "1 day(s) bars of " +
                                       (in() / "AUDUSD1440.csv").string()));
    // MetaTrader labels are server time already: the weekend is not judged.
    EXPECT_TRUE(has(outcome.warnings, "the daily history holds 2 Saturday or Sunday bar(s)"));
}

TEST_F(RealExports, TwoFeedsOfOnePairAreNamedWhereTheyOverlap) {
    const auto feed = [](int firstHour, int lastHour, double shift) {
        std::string text;
        for (int hour = firstHour; hour <= lastHour; ++hour) {
            text += printed("2021.03.02,%02d:00,1,1,1,%.5f,100\r\n", hour,
                            1.1 + hour / 1000.0 + (hour % 3 == 0 ? shift : 0.0));
        }
        return text;
    };
    writeEach("60.csv", [&](int) { return feed(0, 15, 0.0); });
    write("FXEURUSD60.csv", feed(8, 23, 0.0005));
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    EXPECT_TRUE(has(outcome.notes, "EURUSD: " + (in() / "EURUSD60.csv").string() + " and " +
                                       (in() / "FXEURUSD60.csv").string() +
                                       " overlap from 2021.03.02 08:00 to 2021.03.02 15:00: 8 "
                                       "shared stamp(s), 3 with another close; "));
    // The later file is used where both have a bar; the other pairs end at 15:00.
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2021.03.02 15:00,1.11550");
    EXPECT_EQ(lines("EURUSD_H1.csv").at(1), "2021.03.02 14:00,1.11400");
    EXPECT_EQ(lines("GBPUSD_H1.csv").at(0), "2021.03.02 15:00,1.11500");
}

TEST_F(RealExports, PlaceholderRowsAreSkippedAndCounted) {
    writeEach("60.csv", [](int) {
        return "1970.01.01,00:00,0.000000,0.000000,0.000000,0.000000,0\r\n"
               "2021.03.02,10:00,1,1,1,1.1,100\r\n2021.03.02,11:00,1,1,1,1.2,100\r\n"
               "0,0,0,0,0\r\n0,0,0,0,0\r\n";
    });
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    EXPECT_EQ(lines("USDJPY_H1.csv"),
              (std::vector<std::string>{"2021.03.02 11:00,1.200", "2021.03.02 10:00,1.100"}));
    EXPECT_TRUE(has(outcome.notes, "USDJPY60.csv: 3 row(s) with a zero price skipped as "
                                   "placeholders (first at line 1)"));
}

TEST_F(RealExports, UnmarkedUtcStampsWarnOfSundayBars) {
    writeEach("_H1.csv", [](int) {
        std::string text = "time,close\n";
        for (int hour = 21; hour < 24 + 12; ++hour) {
            text += printed("2021-03-%02d %02d:00,1.1\n", 7 + hour / 24, hour % 24);
        }
        return text;
    });
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.warnings,
              std::vector<std::string>{"the daily history holds 1 Saturday or Sunday bar(s); if "
                                       "the stamps are UTC give --clock server, or name their "
                                       "zone with --source-zone"});
    ImportOptions server;
    server.clock = LabelClock::Server;
    EXPECT_TRUE(run(server).warnings.empty());
}

// HistData's one-minute files across the US spring clock change: its stamps
// are documented as New York standard time all year, though many months fit
// New York local time; the trader says which.
TEST_F(RealExports, HistDataMinutesOnEitherZoneAcrossTheClockChange) {
    writeEach("_M1.csv", [](int) {
        return "20210312 165800;1;1;1;1.10;0\n20210312 165900;1;1;1;1.11;0\n"
               "20210314 170000;1;1;1;1.20;0\n20210314 170100;1;1;1;1.21;0\n"
               "20210315 000000;1;1;1;1.30;0\n20210315 000100;1;1;1;1.31;0\n";
    });
    ImportOptions options;
    options.sourceZone = "-05:00";
    ImportOutcome outcome = run(options);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    // 17:00 standard time is 18:00 New York summer time: the server's 01:00.
    EXPECT_EQ(lines("EURUSD_H1.csv"),
              (std::vector<std::string>{"2021.03.15 08:00,1.31000", "2021.03.15 01:00,1.21000",
                                        "2021.03.12 23:00,1.11000"}));
    EXPECT_EQ(lines("EURUSD.csv"),
              (std::vector<std::string>{"2021.03.15,1.31000", "2021.03.12,1.11000"}));
    if (!zoneNamesAvailable()) {
        GTEST_SKIP() << "built without zone names";
    }
    options.sourceZone = "America/New_York";
    outcome = run(options);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    EXPECT_EQ(lines("EURUSD_H1.csv"),
              (std::vector<std::string>{"2021.03.15 07:00,1.31000", "2021.03.15 00:00,1.21000",
                                        "2021.03.12 23:00,1.11000"}));
    // A stamp in the hour the clocks skip cannot be New York time.
    write("EURUSD_M1.csv", "20210314 023000;1;1;1;1.2;0\n");
    outcome = run(options);
    EXPECT_EQ(outcome.errors,
              std::vector<std::string>{(in() / "EURUSD_M1.csv").string() +
                                       ":1: 2021.03.14 02:30 does not exist in America/New_York "
                                       "(the clocks skip it); the stamps are on another clock"});
}

TEST_F(RealExports, PairsOutsideTheFourteenServeAsLegsOfBuiltCrosses) {
    const auto hourly = [](double close) {
        return printed("2021.03.02,10:00,1,1,1,%.5f,0\r\n2021.03.02,11:00,1,1,1,%.5f,0\r\n", close,
                       close + 0.01);
    };
    writeEach("60.csv", [&](int pair) { return hourly(pipFactor(pair) == 100 ? 120.0 : 1.2); });
    fs::remove(in() / "NZDUSD60.csv");
    fs::remove(in() / "NZDJPY60.csv");
    write("EURNZD60.csv", hourly(1.6));
    write("GBPNZD60.csv", hourly(1.9));
    const ImportOutcome refused = run();
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(has(refused.notes, "EURNZD60.csv: names no pair"));

    ImportOptions options;
    options.synthesizeMissing = true;
    const ImportOutcome outcome = run(options);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
    EXPECT_TRUE(has(outcome.notes, "NZDUSD built from 1/EURNZD x EURUSD"));
    EXPECT_TRUE(has(outcome.notes, "NZDJPY built from 1/EURNZD x EURJPY"));
    // 1.21 / 1.61 = 0.751552..., 120.01 / 1.61 = 74.540372...
    EXPECT_EQ(lines("NZDUSD_H1.csv").at(0), "2021.03.02 11:00,0.75155");
    EXPECT_EQ(lines("NZDJPY_H1.csv").at(0), "2021.03.02 11:00,74.540");
}

TEST_F(RealExports, PairsWhoseDatesMissTheOthersAreNamed) {
    writeEach("60.csv", [](int pair) {
        return pair == pairIndexOf("AUDJPY")
                   ? "2025.01.06,10:00,1,1,1,1.1,0\r\n2025.01.07,10:00,1,1,1,1.1,0\r\n"
                   : "2026.02.02,10:00,1,1,1,1.1,0\r\n2026.02.03,10:00,1,1,1,1.1,0\r\n";
    });
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.errors,
              std::vector<std::string>{"the fourteen pairs have no daily bar in common; the dates "
                                       "of AUDJPY (2025.01.06 to 2025.01.07) do not overlap the "
                                       "others'"});
}

TEST(FileBars, TheCommonGapDecidesTheBarLength) {
    EXPECT_EQ(commonBarLength({}), 1);
    EXPECT_EQ(commonBarLength({at(2021, 3, 1)}), 1);
    // Weekdays a day apart, a weekend gap and one stray row two hours early.
    EXPECT_EQ(commonBarLength({at(2021, 3, 1), at(2021, 3, 2), at(2021, 3, 2, 22), at(2021, 3, 4),
                               at(2021, 3, 5), at(2021, 3, 8), at(2021, 3, 9)}),
              MINUTES_PER_DAY);
    // A tie goes to the shorter step.
    EXPECT_EQ(commonBarLength({0, 15, 30, 90, 150}), 15);

    FileBarsReport report;
    const auto bars = settleFileBars({{at(2021, 3, 1, 10), 1.0, 2},
                                      {at(2021, 3, 1, 12), 1.1, 3},
                                      {at(2021, 3, 1, 11), 1.2, 4},
                                      {at(2021, 3, 1, 11, 20), 9.9, 5},
                                      {at(2021, 3, 1, 12), 1.3, 6},
                                      {at(2021, 3, 1, 13), 1.3, 7}},
                                     {}, report);
    EXPECT_EQ(report.barMinutes, 60);
    EXPECT_EQ(report.offGrid.count, 1);
    EXPECT_EQ(report.offGrid.firstLine, 5);
    EXPECT_EQ(report.outOfOrder.count, 1);
    EXPECT_EQ(report.outOfOrder.firstLine, 4);
    EXPECT_EQ(report.repeated.count, 1);
    EXPECT_EQ(report.repeated.firstLine, 6);
    ASSERT_EQ(bars.size(), 4U);
    EXPECT_DOUBLE_EQ(bars[2].close, 1.3);
}

} // namespace
} // namespace vz
