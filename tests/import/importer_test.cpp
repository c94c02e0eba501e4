#include "tools/import/import_options.h"
#include "tools/import/importer.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const fs::path& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string symbol(int pair) {
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]);
}

// Each test gets an input and an output folder of its own.
class Import : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / ("vurezer-import-test-" + std::string(test->name()) +
                                             "-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(in());
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path in() const { return root_ / "in"; }
    fs::path out() const { return root_ / "out"; }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(in() / name, std::ios::binary) << text;
    }

    // Fifteen-minute bars in the table layout from `fromHour` to `toHour`
    // (UTC) of 2026-02-09 and -10, price rising with time.
    static std::string quarterHours(int pair, int fromHour, int toHour) {
        std::string text = "time_utc,open,high,low,close,volume\n";
        const double base = pipFactor(pair) == 100 ? 150.0 : 1.0;
        for (int day = 9; day <= 10; ++day) {
            for (int hour = fromHour; hour < toHour; ++hour) {
                for (int minute = 0; minute < 60; minute += 15) {
                    char row[96];
                    std::snprintf(row, sizeof row, "2026-02-%02d %02d:%02d:00+00:00,1,1,1,%.6f,1\n",
                                  day, hour, minute, base + day + hour / 100.0 + minute / 100000.0);
                    text += row;
                }
            }
        }
        return text;
    }

    void writeAllPairs(int fromHour = 0, int toHour = 24) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            write(symbol(pair) + "_M15.csv", quarterHours(pair, fromHour, toHour));
        }
    }

    ImportOutcome run(ImportOptions options) const {
        options.inputs = {in().string()};
        options.folder = out().string();
        return runImport(options);
    }

    std::size_t filesIn(const fs::path& folder) const {
        if (!fs::exists(folder)) {
            return 0;
        }
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path root_;
};

TEST_F(Import, WritesAllFortyTwoFilesNewestFirstWithExactLabelsAndCrLf) {
    writeAllPairs();
    const ImportOutcome outcome = run({});
    ASSERT_EQ(outcome.exitCode, 0) << (outcome.errors.empty() ? "" : outcome.errors[0]);
    EXPECT_EQ(filesIn(out()), 42U);
    const auto daily = linesOf(out() / "EURUSD.csv");
    ASSERT_EQ(daily.size(), 2U);
    EXPECT_EQ(daily[0], "2026.02.10,11.23045\r");
    EXPECT_EQ(daily[1], "2026.02.09,10.23045\r");
    const auto fourHour = linesOf(out() / "USDJPY_H4.csv");
    ASSERT_EQ(fourHour.size(), 12U);
    EXPECT_EQ(fourHour[0], "2026.02.10 20:00,160.230\r");
    EXPECT_EQ(fourHour[5], "2026.02.10 00:00,160.030\r");
    const auto hourly = linesOf(out() / "GBPUSD_H1.csv");
    ASSERT_EQ(hourly.size(), 48U);
    EXPECT_EQ(hourly[47], "2026.02.09 00:00,10.00045\r");
    EXPECT_EQ(readFile(out() / "EURCHF.csv").substr(0, 21), "2026.02.10,11.23045\r\n");
}

TEST_F(Import, ServerClockMovesTheDayBoundaryToFivePmNewYork) {
    writeAllPairs();
    ImportOptions options;
    options.clock = LabelClock::Server;
    ASSERT_EQ(run(options).exitCode, 0);
    // Winter: the server day runs from 22:00 UTC to 22:00 UTC.
    const auto daily = linesOf(out() / "EURUSD.csv");
    ASSERT_EQ(daily.size(), 3U);
    EXPECT_EQ(daily[0], "2026.02.11,11.23045\r");
    EXPECT_EQ(daily[1], "2026.02.10,11.21045\r");
    EXPECT_EQ(daily[2], "2026.02.09,10.21045\r");
    EXPECT_EQ(linesOf(out() / "EURUSD_H1.csv")[0], "2026.02.11 01:00,11.23045\r");
}

TEST_F(Import, OffsetsCountOnlyOnTheUtcAndServerClocks) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + ".csv", "Date,Close\n2026-02-09T23:30:00+02:00,1.5\n");
    }
    ASSERT_EQ(run({}).exitCode, 0);
    EXPECT_EQ(linesOf(out() / "EURUSD_H1.csv")[0], "2026.02.09 23:00,1.50000\r");
    ImportOptions options;
    options.clock = LabelClock::Utc;
    ASSERT_EQ(run(options).exitCode, 0);
    EXPECT_EQ(linesOf(out() / "EURUSD_H1.csv")[0], "2026.02.09 21:00,1.50000\r");
}

TEST_F(Import, MixedOrderDuplicatesAndSeveralFilesPerPair) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + "_a.csv", "2026.02.09,10:00,1,1,1,1.2,0\n"
                                       "2026.02.09,09:00,1,1,1,1.1,0\n"
                                       "2026.02.09,10:00,1,1,1,1.3,0\n");
        write(symbol(pair) + "_b.csv", "2026.02.09,11:00,1,1,1,1.4,0\n"
                                       "2026.02.09,09:00,1,1,1,1.0,0\n"
                                       "2026.02.09,12:00,1,1,1,1.5,0\n");
    }
    ASSERT_EQ(run({}).exitCode, 0);
    const auto hourly = linesOf(out() / "NZDJPY_H1.csv");
    ASSERT_EQ(hourly.size(), 4U);
    EXPECT_EQ(hourly[0], "2026.02.09 12:00,1.500\r");
    EXPECT_EQ(hourly[2], "2026.02.09 10:00,1.300\r"); // the later row wins
    EXPECT_EQ(hourly[3], "2026.02.09 09:00,1.000\r"); // so does the later file
}

TEST_F(Import, ABarMissingInOnePairIsDroppedFromAll) {
    writeAllPairs(0, 3);
    std::string gappy = quarterHours(5, 0, 3);
    const auto hole = gappy.find("2026-02-10 01:");
    gappy.erase(hole, gappy.find("2026-02-10 02:") - hole);
    write(symbol(5) + "_M15.csv", gappy);
    ASSERT_EQ(run({}).exitCode, 0);
    for (const int pair : {0, 5, 13}) {
        const auto hourly = linesOf(out() / (symbol(pair) + "_H1.csv"));
        ASSERT_EQ(hourly.size(), 5U);
        EXPECT_EQ(hourly[0].substr(0, 16), "2026.02.10 02:00");
        EXPECT_EQ(hourly[1].substr(0, 16), "2026.02.10 00:00");
    }
}

TEST_F(Import, FileNamesWithBrokerDecorationsAndTheLinesLimit) {
    const char* names[] = {"gbpusdm.csv", "EURGBP.pro_M15.csv", "x_GBPJPY-ECN.txt"};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(pair < 3 ? names[pair] : symbol(pair) + "m_15.csv", quarterHours(pair, 0, 24));
    }
    write("README.md", "not bars");
    ImportOptions options;
    options.lines = 7;
    const ImportOutcome outcome = run(options);
    ASSERT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(linesOf(out() / "GBPJPY_H1.csv").size(), 7U);
    EXPECT_EQ(linesOf(out() / "GBPJPY.csv").size(), 2U);
    EXPECT_NE(outcome.notes[0].find("README.md"), std::string::npos);
}

TEST_F(Import, DigitsArePaddedRoundedOrKept) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + ".csv", "time,close\n2026-02-09 10:00,1.0702054500579834\n");
    }
    ASSERT_EQ(run({}).exitCode, 0);
    EXPECT_EQ(linesOf(out() / "EURUSD.csv")[0], "2026.02.09,1.07021\r");
    EXPECT_EQ(linesOf(out() / "EURJPY.csv")[0], "2026.02.09,1.070\r");
    ImportOptions keep;
    keep.digits = DigitsPolicy::Keep;
    ASSERT_EQ(run(keep).exitCode, 0);
    EXPECT_EQ(linesOf(out() / "EURUSD.csv")[0], "2026.02.09,1.0702054500579834\r");
}

TEST(PairNames, FirstSymbolInTheNameWinsInAnyCase) {
    EXPECT_EQ(pairFromFileName("EURUSDm.csv"), 7);
    EXPECT_EQ(pairFromFileName("eurusd_M15.csv"), 7);
    EXPECT_EQ(pairFromFileName("EURUSD.pro.csv"), 7);
    EXPECT_EQ(pairFromFileName("data_gbpusd_vs_eurusd.csv"), 0);
    EXPECT_EQ(pairFromFileName("EURSEK.csv"), -1);
    EXPECT_EQ(pairFromFileName("fx-EURUSD.pro.csv", "fx-", ".PRO"), 7);
    EXPECT_EQ(pairFromFileName("EURUSD.csv", "", ".pro"), -1);
}

class ImportFailure : public Import {
protected:
    // A failed import leaves the output folder exactly as it was.
    void expectFailure(const ImportOutcome& outcome, const std::string& fragment) {
        EXPECT_EQ(outcome.exitCode, 2);
        ASSERT_EQ(outcome.errors.size(), 1U);
        EXPECT_NE(outcome.errors[0].find(fragment), std::string::npos) << outcome.errors[0];
        EXPECT_EQ(readFile(out() / "EURUSD.csv"), "old\r\n");
        EXPECT_EQ(filesIn(out()), 1U);
    }
    void SetUp() override {
        Import::SetUp();
        fs::create_directories(out());
        std::ofstream(out() / "EURUSD.csv", std::ios::binary) << "old\r\n";
    }
};

TEST_F(ImportFailure, BadLineNamesFileAndLine) {
    writeAllPairs(0, 2);
    write("USDCHF_M15.csv", "time_utc,close\n2026-02-09 00:00,0.9\n2026-02-09 00:15,0,9\n");
    expectFailure(run({}), "USDCHF_M15.csv:3: bad close price \"0\"");
}

TEST_F(ImportFailure, MissingPairsAreListed) {
    writeAllPairs(0, 2);
    fs::remove(in() / "NZDJPY_M15.csv");
    fs::remove(in() / "EURCHF_M15.csv");
    expectFailure(run({}), "no bars for NZDJPY, EURCHF");
}

TEST_F(ImportFailure, DailyBarsCannotMakeHourlyHistory) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + "_D1.csv", "Date,Close\n2026-02-09,1.1\n2026-02-10,1.2\n");
    }
    expectFailure(run({}), "GBPUSD: the shortest bars given last 1 day(s); the 4-hour history");
}

TEST_F(ImportFailure, PairsWithoutACommonBar) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        write(symbol(pair) + ".csv",
              "time,close\n2026-02-0" + std::to_string(pair % 2 + 1) + " 10:00,1.1\n");
    }
    expectFailure(run({}), "no daily bar in common");
}

TEST_F(ImportFailure, ExplicitFileWithoutPairNameOrMissing) {
    write("prices.csv", "time,close\n2026-02-09 10:00,1.1\n");
    ImportOptions options;
    options.inputs = {(in() / "prices.csv").string()};
    options.folder = out().string();
    expectFailure(runImport(options), "prices.csv: the file name names none");
    options.inputs = {(in() / "nothing.csv").string()};
    expectFailure(runImport(options), "no such file or folder");
}

TEST(ImportCommandLine, ParsesEveryOptionAndRejectsBadOnes) {
    const ImportCommand good =
        parseImportCommand({"--to", "out", "--clock", "server", "--lines", "10", "--pair", "EURJPY",
                            "--digits", "keep", "--format", "table", "a.csv", "dir"});
    EXPECT_TRUE(good.error.empty()) << good.error;
    EXPECT_EQ(good.options.clock, LabelClock::Server);
    EXPECT_EQ(good.options.lines, 10);
    EXPECT_EQ(good.options.pair, 6);
    EXPECT_EQ(good.options.digits, DigitsPolicy::Keep);
    EXPECT_EQ(good.options.inputs, (std::vector<std::string>{"a.csv", "dir"}));
    EXPECT_TRUE(parseImportCommand({"--help"}).showHelp);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"a.csv"},
                                                {"--to", "o"},
                                                {"--to", "o", "--lines", "500", "a"},
                                                {"--to", "o", "--lines", "0", "a"},
                                                {"--to", "o", "--clock", "gmt", "a"},
                                                {"--to", "o", "--pair", "eurusd", "a"},
                                                {"--to", "o", "--to", "p", "a"},
                                                {"--to", "o", "--bogus", "a"},
                                                {"--to", "o", "a", "--digits"}}) {
        EXPECT_FALSE(parseImportCommand(bad).error.empty()) << bad.back();
    }
}

} // namespace
} // namespace vz
