#include "tests/import/import_folders.h"
#include "tests/import/packed_samples.h"

#include "tools/import/cross_pairs.h"
#include "tools/import/import_options.h"
#include "tools/import/importer.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

using testing::readFile;
using testing::symbol;

// Each test gets an input and an output folder of its own.
class Import : public testing::ImportFolders {
protected:
    Import() : ImportFolders("vurezer-import-test-") {}

    void writeEveryPair(const std::string& ending, const std::string& text) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            write(symbol(pair) + ending, text);
        }
    }
    // "SYMBOL_M15.csv" for every pair: fifteen-minute bars in the table layout
    // from `fromHour` to `toHour` of 2026-02-09 and -10, rising with time;
    // stamps marked as UTC (header and offset) only when `markedUtc`.
    void writeAllPairs(int fromHour = 0, int toHour = 24, bool markedUtc = false) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            std::string text = markedUtc ? "time_utc,open,high,low,close,volume\n"
                                         : "time,open,high,low,close,volume\n";
            const double base = pipFactor(pair) == 100 ? 150.0 : 1.0;
            for (int day = 9; day <= 10; ++day) {
                for (int hour = fromHour; hour < toHour; ++hour) {
                    for (int minute = 0; minute < 60; minute += 15) {
                        char row[96];
                        std::snprintf(row, sizeof row, "2026-02-%02d %02d:%02d:00%s,1,1,1,%.6f,1\n",
                                      day, hour, minute, markedUtc ? "+00:00" : "",
                                      base + day + hour / 100.0 + minute / 100000.0);
                        text += row;
                    }
                }
            }
            write(symbol(pair) + "_M15.csv", text);
        }
    }

    // The lines of an output file, each still ending in CR.
    std::vector<std::string> lines(const std::string& name) const {
        std::vector<std::string> result;
        std::istringstream text(readFile(out() / name));
        for (std::string line; std::getline(text, line);) {
            result.push_back(line);
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
    EXPECT_EQ(fourHour[0], "2026.02.10 20:00,160.230\r");
    EXPECT_EQ(fourHour[5], "2026.02.10 00:00,160.030\r");
    const auto hourly = lines("GBPUSD_H1.csv");
    ASSERT_EQ(hourly.size(), 48U);
    EXPECT_EQ(hourly[47], "2026.02.09 00:00,10.00045\r");

    // On the server clock a winter day runs from 22:00 UTC to 22:00 UTC; stamps
    // marked as UTC go there by default.
    const std::string serverDaily =
        "2026.02.11,11.23045\r\n2026.02.10,11.21045\r\n2026.02.09,10.21045\r\n";
    ImportOptions options;
    options.clock = LabelClock::Server;
    ASSERT_EQ(run(options).exitCode, 0);
    EXPECT_EQ(readFile(out() / "EURUSD.csv"), serverDaily);
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2026.02.11 01:00,11.23045\r");
    writeAllPairs(0, 24, true);
    ASSERT_EQ(run().exitCode, 0);
    EXPECT_EQ(readFile(out() / "EURUSD.csv"), serverDaily);
}

TEST_F(Import, TheAutoClockTakesStampsAsUtcOnlyWhenTheFileSaysSo) {
    const std::vector<std::pair<std::string, LabelClock>> cases = {
        {"time_utc,close\n2026-02-09 10:00,1.1\n", LabelClock::Server},
        {"Gmt time,Close\n09.02.2026 10:00:00.000,1.1\n", LabelClock::Server},
        {"Time (UTC);Close\n2026-02-09 10:00;1.1\n", LabelClock::Server},
        {"time,close\n2026-02-09 10:00,1.1\n2026-02-09 11:00Z,1.2\n", LabelClock::Server},
        {"time,close\n2026-02-09 10:00,1.1\n", LabelClock::Data},
        {"2026.02.09,10:00,1,1,1,1.1,0\n", LabelClock::Data},
        {"<DATE>\t<TIME>\t<CLOSE>\n2026.02.09\t10:00\t1.1\n", LabelClock::Data}};
    for (const auto& [text, expected] : cases) {
        std::istringstream in(text);
        const BarReadResult read = readBars(in, "in.csv", InputFormat::Auto);
        ASSERT_FALSE(read.error) << describe(*read.error);
        EXPECT_EQ(clockForFile(read, LabelClock::Auto), expected) << text;
        EXPECT_EQ(clockForFile(read, LabelClock::Utc), LabelClock::Utc) << text;
    }
    // One unmarked file among UTC ones would sit hours off the other pairs.
    writeEveryPair(".csv", samples::UTC_TABLE);
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

TEST_F(Import, PackedFilesAreKnownByTheirBytesAndDamagedOnesStopTheRun) {
#ifndef VUREZER_HAVE_XZ
    writeEveryPair("_M15.csv.xz", samples::UTC_TABLE_XZ);
    const ImportOutcome unreadable = run();
    EXPECT_EQ(unreadable.exitCode, 2);
    ASSERT_FALSE(unreadable.errors.empty());
    EXPECT_NE(unreadable.errors[0].find("is packed with xz, which this build cannot unpack"),
              std::string::npos)
        << unreadable.errors[0];
    GTEST_SKIP() << "a build without xz names xz input as unreadable";
#endif
    writeEveryPair("_M15.csv.xz", samples::UTC_TABLE_XZ);
    write("EURUSD_M15.csv.xz", samples::UTC_TABLE_GZ); // misnamed: gzip inside
    ASSERT_EQ(run().exitCode, 0);
    // 10:00 UTC is 12:00 on the winter server clock.
    EXPECT_EQ(readFile(out() / "EURUSD_H1.csv"), "2026.02.09 12:00,1.10000\r\n");
    EXPECT_EQ(readFile(out() / "USDJPY_H4.csv"), "2026.02.09 12:00,1.100\r\n");

    write("GBPCHF_M15.csv.xz", samples::UTC_TABLE_XZ.substr(0, 50));
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.errors, (std::vector<std::string>{(in() / "GBPCHF_M15.csv.xz").string() +
                                                        ": xz data cut short (the file is "
                                                        "truncated)"}));
    EXPECT_EQ(readFile(out() / "EURUSD_H1.csv"), "2026.02.09 12:00,1.10000\r\n");
}

TEST_F(Import, OffsetsCountOnlyOnTheUtcClockAndDigitsAreRoundedOrKept) {
    writeEveryPair(".csv", "Date,Close\n2026-02-09T23:30:00+02:00,1.0702054500579834\n");
    ASSERT_EQ(run().exitCode, 0);
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2026.02.09 23:00,1.07021\r");
    EXPECT_EQ(lines("EURJPY.csv").at(0), "2026.02.09,1.070\r");
    ImportOptions options;
    options.clock = LabelClock::Utc;
    options.digits = DigitsPolicy::Keep;
    ASSERT_EQ(run(options).exitCode, 0);
    EXPECT_EQ(lines("EURUSD_H1.csv").at(0), "2026.02.09 21:00,1.0702054500579834\r");
    EXPECT_EQ(formatPrice(0, 1e300).size(), 307U); // written in full, never cut off
}

TEST_F(Import, MixedOrderDuplicatesAndSeveralFilesPerPair) {
    writeEveryPair("_a.csv", "time,close\n2026-02-09 10:00,1.2\n2026-02-09 09:00,1.1\n"
                             "2026-02-09 10:00,1.3\n");
    writeEveryPair("_b.csv", "time,close\n2026-02-09 11:00,1.4\n2026-02-09 09:00,1.0\n"
                             "2026-02-09 12:00,1.5\n");
    ASSERT_EQ(run().exitCode, 0);
    // The later row and the later file win.
    EXPECT_EQ(lines("NZDJPY_H1.csv"),
              (std::vector<std::string>{"2026.02.09 12:00,1.500\r", "2026.02.09 11:00,1.400\r",
                                        "2026.02.09 10:00,1.300\r", "2026.02.09 09:00,1.000\r"}));
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
    EXPECT_EQ(lines("GBPJPY.csv").size(), 2U);
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
    write("prices.csv", "time,close\n2026-02-09 10:00,1.1\n");
    expectFailure("prices.csv: the file name names none", "prices.csv");
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
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + "_M15.csv",
              "time,close\n2026-02-0" + std::to_string(pair % 2 + 1) + " 10:00,1.1\n");
    }
    expectFailure("no daily bar in common");

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
        {"GBPCHF", presentWithout({"GBPCHF", "EURCHF"}), "GBPCHF built from GBPUSD x USDCHF"},
        {"EURCHF", presentWithout({"GBPCHF", "EURCHF"}), "EURCHF built from EURUSD x USDCHF"},
        {"CHFJPY", presentWithout({"CHFJPY"}), "CHFJPY built from 1/USDCHF x USDJPY"},
        {"NZDUSD", presentWithout({"NZDUSD"}), "NZDUSD built from NZDJPY x 1/USDJPY"},
        {"GBPCHF", presentWithout({"GBPCHF", "USDCHF"}), "GBPCHF built from 1/EURGBP x EURCHF"},
        {"NZDUSD", presentWithout({"NZDUSD", "NZDJPY"}), ""},
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
    EXPECT_EQ(parseImportCommand(words("--to o a")).options.clock, LabelClock::Auto);
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
    for (const char* bad : {"a.csv", "--to o", "--to o --lines 500 a", "--to o --lines 0 a",
                            "--to o --clock gmt a", "--to o --pair eurusd a", "--to o --to p a",
                            "--to o --bogus a", "--to o a --digits", "--to o --date-order ymd a"}) {
        EXPECT_FALSE(parseImportCommand(words(bad)).error.empty()) << bad;
    }
    EXPECT_EQ(parseImportCommand(words("--to o --source-zone Mars/Base a"))
                  .error.rfind("--source-zone: ", 0),
              0U);
    EXPECT_EQ(parseImportCommand(words("--to o --clock data --source-zone UTC a")).error,
              "--source-zone converts the stamps, --clock data keeps them as written; give one "
              "of them");
}

} // namespace
} // namespace vz
