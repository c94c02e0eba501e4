#include "tests/import/import_folders.h"

#include "tools/import/bar_reader.h"
#include "tools/import/cross_pairs.h"
#include "tools/import/file_bars.h"
#include "tools/import/import_options.h"
#include "tools/import/importer.h"
#include "tools/import/packed_input.h"
#include "tools/import/source_zone.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <unistd.h>
#ifdef VUREZER_HAVE_ZIP
#include <zip.h>
#endif

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

// Each test gets an input and an output folder of its own.
class Import : public testing::ImportFolders {
protected:
    // One file per pair; `text` gives its content from the pair index.
    void writeEach(const std::string& ending, const std::function<std::string(int)>& text) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            write(symbol(pair) + ending, text(pair));
        }
    }
    void writeEveryPair(const std::string& ending, const std::string& text) const {
        writeEach(ending, [&](int) { return text; });
    }
    // "SYMBOL_M15.csv" for every pair: fifteen-minute bars in the table layout
    // from `fromHour` to `toHour` of 2026-02-09 and -10, rising with time.
    void writeAllPairs(int fromHour = 0, int toHour = 24) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            std::string text = "time,open,high,low,close,volume\n";
            const double base = pipFactor(pair) == 100 ? 150.0 : 1.0;
            for (int day = 9; day <= 10; ++day) {
                for (int hour = fromHour; hour < toHour; ++hour) {
                    for (int minute = 0; minute < 60; minute += 15) {
                        text += printed("2026-02-%02d %02d:%02d:00,1,1,1,%.6f,1\n", day, hour,
                                        minute, base + day + hour / 100.0 + minute / 100000.0);
                    }
                }
            }
            write(symbol(pair) + "_M15.csv", text);
        }
    }

    // The lines of an output file without their CR.
    std::vector<std::string> lines(const std::string& name) const {
        std::vector<std::string> result;
        std::istringstream text(readFile(out() / name));
        for (std::string line; std::getline(text, line);) {
            result.push_back(line.substr(0, line.size() - 1));
        }
        return result;
    }
    long filesOut() const { return std::distance(fs::directory_iterator(out()), {}); }
};

TEST_F(Import, WritesAllFortyTwoFilesNewestFirstWithExactLabelsAndCrLfOnEitherClock) {
    writeAllPairs();
    const ImportOutcome outcome = run();
    ASSERT_EQ(outcome.exitCode, 0) << (outcome.errors.empty() ? "" : outcome.errors[0]);
    EXPECT_EQ(filesOut(), 42);
    EXPECT_EQ(readFile(out() / "EURUSD.csv"), "2026.02.10,11.23045\r\n2026.02.09,10.23045\r\n");
    const auto fourHour = lines("USDJPY_H4.csv");
    ASSERT_EQ(fourHour.size(), 12U);
    EXPECT_EQ(fourHour[0], "2026.02.10 20:00,160.230");
    const auto hourly = lines("GBPUSD_H1.csv");
    ASSERT_EQ(hourly.size(), 48U);
    EXPECT_EQ(hourly[47], "2026.02.09 00:00,10.00045");

    // On the server clock a winter day runs from 22:00 UTC to 22:00 UTC.
    ImportOptions options;
    options.clock = LabelClock::Server;
    ASSERT_EQ(run(options).exitCode, 0);
    EXPECT_EQ(readFile(out() / "EURUSD.csv"),
              "2026.02.11,11.23045\r\n2026.02.10,11.21045\r\n2026.02.09,10.21045\r\n");
}

TEST_F(Import, TheAutoClockTakesStampsAsUtcOnlyWhenTheFileSaysSo) {
    const std::vector<std::pair<std::string, LabelClock>> cases = {
        {"time_utc,close\n2026-02-09 10:00,1.1\n", LabelClock::Server},
        {"time,close\n2026-02-09 10:00,1.1\n2026-02-09 11:00Z,1.2\n", LabelClock::Server},
        {"time,close\n2026-02-09 10:00,1.1\n", LabelClock::Data},
        {"<DATE>\t<TIME>\t<CLOSE>\n2026.02.09\t10:00\t1.1\n", LabelClock::Data}};
    for (const auto& [text, expected] : cases) {
        std::istringstream in(text);
        const BarReadResult read = readBars(in, "in.csv", InputFormat::Auto);
        ASSERT_FALSE(read.error) << describe(*read.error);
        EXPECT_EQ(clockForFile(read, LabelClock::Auto), expected) << text;
    }
    // One unmarked file among UTC ones would sit hours off the other pairs.
    writeEveryPair(".csv", "time_utc,close\n2026-02-09 10:00,1.1\n");
    write("EURUSD.csv", "time,close\n2026-02-09 10:00,1.1\n");
    const ImportOutcome mixed = run();
    EXPECT_EQ(mixed.exitCode, 2);
    ASSERT_EQ(mixed.errors.size(), 1U);
    EXPECT_NE(
        mixed.errors[0].find("UTC in 13 file(s) but not in " + (in() / "EURUSD.csv").string()),
        std::string::npos);
    ImportOptions server;
    server.clock = LabelClock::Server;
    ASSERT_EQ(run(server).exitCode, 0);
    EXPECT_EQ(readFile(out() / "EURUSD_H1.csv"), "2026.02.09 12:00,1.10000\r\n");
}

TEST_F(Import, OffsetsCountOnlyOnTheUtcClockAndDigitsAreRoundedOrKept) {
    writeEveryPair(".csv", "Date,Close\n2026-02-09T23:30:00+02:00,1.0702054500579834\n");
    ASSERT_EQ(run().exitCode, 0);
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2026.02.09 23:00,1.07021");
    EXPECT_EQ(lines("EURJPY.csv").at(0), "2026.02.09,1.070");
    ImportOptions options;
    options.clock = LabelClock::Utc;
    options.digits = DigitsPolicy::Keep;
    ASSERT_EQ(run(options).exitCode, 0);
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2026.02.09 21:00,1.0702054500579834");
    EXPECT_EQ(formatPrice(0, 1e300).size(), 307U); // written in full, never cut off
}

TEST_F(Import, ABarMissingInOnePairIsDroppedFromAll) {
    writeAllPairs(0, 3);
    std::string gappy = readFile(in() / "AUDJPY_M15.csv");
    const auto hole = gappy.find("2026-02-10 01:");
    gappy.erase(hole, gappy.find("2026-02-10 02:") - hole);
    write("AUDJPY_M15.csv", gappy);
    ASSERT_EQ(run().exitCode, 0);
    for (const char* name : {"GBPUSD_H1.csv", "AUDJPY_H1.csv", "EURCHF_H1.csv"}) {
        const auto hourly = lines(name);
        ASSERT_EQ(hourly.size(), 5U);
        EXPECT_EQ(hourly[0].substr(0, 16), "2026.02.10 02:00");
        EXPECT_EQ(hourly[1].substr(0, 16), "2026.02.10 00:00");
    }
}

TEST_F(Import, FileNamesWithBrokerDecorationsAndTheLinesLimit) {
    writeAllPairs();
    for (const auto& [pairName, fileName] : {std::pair{"GBPUSD", "gbpusdm.csv"},
                                             {"EURGBP", "EURGBP.pro_M15.csv"},
                                             {"GBPJPY", "x_GBPJPY-ECN.txt"}}) {
        fs::rename(in() / (std::string(pairName) + "_M15.csv"), in() / fileName);
    }
    write("README.md", "not bars");
    fs::create_directories(in() / "other-source");
    ImportOptions options;
    options.lines = 7;
    const ImportOutcome outcome = run(options);
    ASSERT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(lines("GBPJPY_H1.csv").size(), 7U);
    EXPECT_TRUE(testing::has(outcome.notes, "README.md: names no pair"));
    EXPECT_TRUE(testing::has(outcome.notes, "other-source: a folder"));
    // Of several symbols the first wins; a prefix or suffix given must surround it.
    EXPECT_EQ(pairFromFileName("data_gbpusd_vs_eurusd.csv"), 0);
    EXPECT_EQ(pairFromFileName("EURSEK.csv"), -1);
    EXPECT_EQ(pairFromFileName("fx-EURUSD.pro.csv", "fx-", ".PRO"), 7);
    EXPECT_EQ(pairFromFileName("EURUSD.csv", "", ".pro"), -1);
}

TEST_F(Import, FailuresAreNamedAndLeaveTheOutputFolderAsItWas) {
    fs::create_directories(out());
    std::ofstream(out() / "EURUSD.csv", std::ios::binary) << "old\r\n";
    const auto expectFailure = [&](const std::string& fragment, const fs::path& input = {}) {
        ImportOptions options;
        options.inputs = {input.empty() ? in().string() : (in() / input).string()};
        const ImportOutcome outcome = run(options);
        EXPECT_EQ(outcome.exitCode, 2);
        ASSERT_EQ(outcome.errors.size(), 1U);
        EXPECT_NE(outcome.errors[0].find(fragment), std::string::npos) << outcome.errors[0];
        EXPECT_EQ(readFile(out() / "EURUSD.csv"), "old\r\n");
        EXPECT_EQ(filesOut(), 1);
    };
    expectFailure("no such file or folder", "nothing.csv");

    writeAllPairs(0, 2);
    write("USDCHF_M15.csv", "time_utc,close\n2026-02-09 00:00,0.9\n2026-02-09 00:15,1e300\n");
    expectFailure("USDCHF_M15.csv:3: bad close price \"1e300\"");
    fs::remove(in() / "USDCHF_M15.csv");
    fs::remove(in() / "EURCHF_M15.csv");
    expectFailure("no bars for USDCHF, EURCHF; the history needs all fourteen pairs "
                  "(--synthesize-missing builds");

    writeEveryPair("_M15.csv", "Date,Close\n2026-02-09,1.1\n2026-02-10,1.2\n");
    expectFailure("GBPUSD: the shortest bars given last 1 day(s); the 4-hour history");

    // A target that cannot be replaced stops the run before any file moves.
    writeAllPairs(0, 2);
    fs::create_directory(out() / "EURUSD_H1.csv");
    const ImportOutcome blocked = run();
    EXPECT_EQ(blocked.exitCode, 1);
    ASSERT_EQ(blocked.errors.size(), 1U);
    EXPECT_NE(blocked.errors[0].find("EURUSD_H1.csv: is a folder"), std::string::npos);
    ImportOptions stopped;
    stopped.inputs = {in().string()};
    stopped.folder = out().string();
    const std::atomic<int> stop{SIGTERM};
    EXPECT_EQ(runImport(stopped, &stop).exitCode, 143);
    EXPECT_EQ(readFile(out() / "EURUSD.csv"), "old\r\n");
    EXPECT_EQ(filesOut(), 2);
}

TEST_F(Import, MissingCrossesAreBuiltFromTwoPresentPairsOnRequest) {
    const auto presentWithout = [](std::initializer_list<const char*> missing) {
        std::array<bool, PAIR_COUNT> present;
        present.fill(true);
        for (const char* symbol : missing) {
            present[static_cast<std::size_t>(pairIndexOf(symbol))] = false;
        }
        return present;
    };
    const std::vector<std::tuple<const char*, std::array<bool, PAIR_COUNT>, const char*>> cases = {
        {"CHFJPY", presentWithout({"CHFJPY"}), "CHFJPY built from 1/USDCHF x USDJPY"},
        {"GBPCHF", presentWithout({"GBPCHF", "USDCHF"}), "GBPCHF built from 1/EURGBP x EURCHF"},
    };
    for (const auto& [symbol, present, expected] : cases) {
        const auto recipe = crossRecipe(pairIndexOf(symbol), present);
        EXPECT_EQ(recipe ? describe(*recipe) : "", expected) << symbol;
    }

    writeAllPairs();
    fs::remove(in() / "GBPCHF_M15.csv");
    ImportOptions options;
    options.synthesizeMissing = true;
    const ImportOutcome built = run(options);
    ASSERT_EQ(built.exitCode, 0) << (built.errors.empty() ? "" : built.errors[0]);
    EXPECT_EQ(
        std::count(built.notes.begin(), built.notes.end(), "GBPCHF built from GBPUSD x USDCHF"), 1);
    // 11.23045 x 11.23045 = 126.1230072025
    EXPECT_EQ(readFile(out() / "GBPCHF.csv"), "2026.02.10,126.12301\r\n2026.02.09,104.66211\r\n");

    fs::remove(in() / "NZDUSD_M15.csv");
    fs::remove(in() / "NZDJPY_M15.csv");
    const ImportOutcome stuck = run(options);
    EXPECT_EQ(stuck.exitCode, 2);
    EXPECT_EQ(stuck.errors,
              std::vector<std::string>{
                  "no bars for NZDUSD, NZDJPY, and no two of the pairs given connect them"});
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(ImportCommandLine, ParsesEveryOptionAndRejectsBadOnes) {
    const ImportCommand good = parseImportCommand(
        words("--to out --clock server --lines 10 --pair EURJPY --digits keep --format table a.csv "
              "--synthesize-missing dir"));
    EXPECT_TRUE(good.error.empty()) << good.error;
    EXPECT_EQ(good.options.clock, LabelClock::Server);
    EXPECT_EQ(good.options.lines, 10);
    EXPECT_EQ(good.options.pair, 6);
    EXPECT_EQ(good.options.digits, DigitsPolicy::Keep);
    EXPECT_TRUE(good.options.synthesizeMissing);
    EXPECT_EQ(good.options.inputs, words("a.csv dir"));
    EXPECT_EQ(parseImportCommand(words("--to o -- --lines -h")).options.inputs,
              words("--lines -h"));
    const ImportCommand zoned = parseImportCommand(
        words("--to o --source-zone -05:00 --date-order dmy --close-column Mid a.csv"));
    EXPECT_TRUE(zoned.error.empty()) << zoned.error;
    EXPECT_EQ(zoned.options.sourceZone + "|" + zoned.options.closeColumn, "-05:00|Mid");
    EXPECT_EQ(zoned.options.dateOrder, DateOrder::DayFirst);
    for (const char* bad :
         {"a.csv", "--to o --lines 500 a", "--to o --pair eurusd a", "--to o a --digits"}) {
        EXPECT_FALSE(parseImportCommand(words(bad)).error.empty()) << bad;
    }
    EXPECT_EQ(parseImportCommand(words("--to o --clock data --source-zone UTC a")).error,
              "--source-zone converts the stamps, --clock data keeps them as written; give one "
              "of them");
}

// Files shaped like traders' real exports, each with the quirk that once
// made the importer write a wrong history.
class RealExports : public Import {};

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

    EXPECT_TRUE(has(outcome.notes, (in() / "EURUSD_H1.csv").string() +
                                       ": 48 row(s) in the FX weekend (Friday 17:00 to Sunday "
                                       "17:00 New York) dropped (first at line 47)"));
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

#ifdef VUREZER_HAVE_ZIP
// A zip as a download site packs it: the bars deflated, a report beside them.
void writeZip(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& files) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, text] : files) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

#endif

class InputSafety : public testing::ImportFolders {
protected:
    // Two hourly bars for every pair, in `folder`, named like MetaTrader exports.
    void writeExports(const fs::path& folder, const std::string& lineEnd = "\r\n") const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            std::ofstream(folder / (testing::symbol(pair) + "_H1.csv"), std::ios::binary)
                << "2026.02.09,10:00,1,1,1,1.1,0" + lineEnd + "2026.02.09,11:00,1,1,1,1.2,0" +
                       lineEnd;
        }
    }
    ImportOutcome run(const fs::path& input, const fs::path& folder) const {
        ImportOptions options;
        options.inputs = {input.string()};
        options.folder = folder.string();
        return runImport(options);
    }
};

TEST_F(InputSafety, EveryLineEndCountsAndNoLineIsLost) {
    for (const std::string end : {"\r", "\n", "\r\n"}) {
        writeExports(in(), end);
        const ImportOutcome outcome = run(in(), root_ / "out");
        ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
        EXPECT_EQ(readFile(root_ / "out" / "EURUSD_H1.csv"),
                  "2026.02.09 11:00,1.20000\r\n2026.02.09 10:00,1.10000\r\n");
    }
    // Mixed ends within one file, and a last line without any.
    std::istringstream mixed("time,close\r2026-02-09 10:00,1.1\n2026-02-09 11:00,1.2\r\n"
                             "\r\n2026-02-09 12:00,1.3");
    EXPECT_EQ(readBars(mixed, "in.csv", InputFormat::Auto).bars.size(), 3U);
}

TEST_F(InputSafety, AnOverlongLineIsAnErrorNotAnAllocation) {
    std::istringstream longLine("time,close\n2026-02-09 10:00," +
                                std::string(MAX_LINE_CHARS * 4, '1') + "\n");
    const BarReadResult result = readBars(longLine, "in.csv", InputFormat::Auto);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(describe(*result.error),
              "in.csv:2: line longer than 4096 characters; not a bar file");
    std::istringstream atLimit("time,close\n2026-02-09 10:00,1.1" +
                               std::string(MAX_LINE_CHARS - 20, ' ') + "\n");
    EXPECT_FALSE(readBars(atLimit, "in.csv", InputFormat::Auto).error);
}

TEST_F(InputSafety, InputsInsideOrLinkedIntoTheTargetAreRefusedAndKept) {
    writeExports(in());
    const std::string before = readFile(in() / "EURUSD_H1.csv");
    // The same folder under another spelling.
    const ImportOutcome same = run(in(), root_ / "in" / ".." / "in");
    EXPECT_EQ(same.exitCode, 2);
    ASSERT_EQ(same.errors.size(), 1U);
    EXPECT_NE(same.errors[0].find("an input inside the target folder"), std::string::npos);
    EXPECT_EQ(readFile(in() / "EURUSD_H1.csv"), before);

    const fs::path out = root_ / "out";
    fs::create_directories(out);
    fs::create_hard_link(in() / "EURUSD_H1.csv", out / "EURUSD_H1.csv");
    const ImportOutcome linked = run(in(), out);
    EXPECT_EQ(linked.exitCode, 2);
    ASSERT_EQ(linked.errors.size(), 1U);
    EXPECT_NE(linked.errors[0].find("EURUSD_H1.csv: an input linked into the target folder"),
              std::string::npos);
    EXPECT_EQ(readFile(in() / "EURUSD_H1.csv"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 1);
}

#ifndef _WIN32
TEST_F(InputSafety, APipeIsNeverOpened) {
    const fs::path pipe = in() / "EURUSD_H1.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const ImportOutcome named = run(pipe, root_ / "out");
    EXPECT_EQ(named.errors, std::vector<std::string>{pipe.string() + ": not a regular file"});
    writeExports(in() / ".."); // a folder holding the pipe: it is passed over
    fs::remove(root_ / "EURUSD_H1.csv");
    fs::copy_file(root_ / "GBPUSD_H1.csv", root_ / "EURUSD_H1.csv");
    const ImportOutcome folder = run(root_, root_ / "out");
    EXPECT_EQ(folder.exitCode, 0) << folder.errors.at(0);
}
#endif

#ifdef VUREZER_HAVE_ZIP
TEST_F(InputSafety, ZipDownloadsAreReadInPlaceAndOddArchivesNamed) {
    const std::string bars = "20260209 100000;1;1;1;1.1;0\n20260209 110000;1;1;1;1.2;0\n";
    const fs::path zip = root_ / "HISTDATA_COM_ASCII_EURUSD_M1_2026.zip";
    writeZip(zip, {{"DAT_ASCII_EURUSD_M1_2026.csv", bars}, {"DAT_ASCII_EURUSD_M1_2026.txt", "ok"}});
    EXPECT_EQ(readInputFile(zip).text, bars);
    InputText text(zip);
    const BarReadResult read = readBars(text.stream(), "z", InputFormat::Auto);
    EXPECT_FALSE(text.error());
    EXPECT_EQ(read.bars.size(), 2U);
    EXPECT_EQ(text.innerName(), "DAT_ASCII_EURUSD_M1_2026.csv");

    const std::string packed = readFile(zip);
    const std::string cut = packed.substr(0, packed.size() / 2);
    EXPECT_EQ(unpack(cut).error.value_or("none").rfind("corrupt zip data", 0), 0U);
    writeZip(zip, {{"a.csv", bars}, {"b.csv", bars}});
    EXPECT_EQ(readInputFile(zip).error,
              "the zip holds several files (a.csv, b.csv); unpack it and name the ones to read");
    writeZip(zip, {{"readme.txt", "no bars"}});
    EXPECT_EQ(readInputFile(zip).error, "the zip holds no bar file");
}
#else
// A build without the zip library names a zip as an input it cannot unpack.
TEST_F(InputSafety, ZipInputIsNamedAsUnpackableWithoutTheZipLibrary) {
    const fs::path zip = root_ / "HISTDATA_COM_ASCII_EURUSD_M1_2026.zip";
    std::ofstream(zip, std::ios::binary) << std::string("PK\x03\x04", 4) + std::string(60, '\0');
    const std::string error = readInputFile(zip).error.value_or("none");
    EXPECT_EQ(error.rfind("is a zip archive, which this build cannot unpack", 0), 0U) << error;
}
#endif

} // namespace
} // namespace vz
