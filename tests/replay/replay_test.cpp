#include "history_folder.h"
#include "replay/replay_options.h"
#include "replay/replay_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vz::testing {
namespace {

using Words = std::vector<std::string>;

// Blank-separated words; a trailing blank gives an empty last word.
Words words(const std::string& text) {
    Words parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = text.find(' ', start);
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}

// Every other option's value reaches the golden run's outputs.
TEST(ReplayOptionsTest, HugeNumbersStayWhole) {
    const ParsedCommandLine plain = parseReplayCommandLine(
        words("--folder data --ticks t.csv --reference-day 3 --close-at 99999999999999999999999"));
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_GT(*plain.options->closeAt, 1'000'000'000'000LL); // huge numbers stay whole
}

TEST(ReplayOptionsTest, EveryBadCommandLineIsOneLineError) {
    const std::string start = "--folder data --ticks t.csv";
    std::vector<std::string> bad = {start};
    for (const char* day : {"-1", "1.5"}) {
        bad.push_back(start + " --reference-day " + day);
    }
    const char* const complete[] = {"--verbose",
                                    "--columns 1,2,3,4",
                                    "--alerts flip,flip",
                                    "--pair-alert GBPUSD:15",
                                    "--basket buy@2 --close-at 1",
                                    "--events same --snapshots ./same",
                                    "--events x --snapshots x.partial"};
    for (const char* rest : complete) {
        bad.push_back(start + " --reference-day 3 " + rest);
    }
    for (const std::string& line : bad) {
        SCOPED_TRACE(line);
        const ParsedCommandLine parsed = parseReplayCommandLine(words(line));
        EXPECT_FALSE(parsed.options || parsed.help);
        EXPECT_FALSE(parsed.error.empty());
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

std::string golden(const std::string& name) {
    return readFile(std::string(VUREZER_TEST_DATA) + "/replay/" + name);
}

struct RunResult {
    int status = 0;
    std::string output;
    std::string errors;
};

// Three daily bars (four list entries), two 4-hour and two 1-hour bars.
struct ReplayTest : ::testing::Test {
    HistoryFolder folder{{.dailyLines = 3, .fourHourLines = 2, .oneHourLines = 2}};

    void SetUp() override { folder.write("ticks.csv", golden("ticks.csv")); }

    RunResult run(const Words& args, const std::string& input = "",
                  const StopFlag* stop = nullptr) {
        std::istringstream in(input);
        std::ostringstream out, err;
        const int status = replayMain(args, in, out, err, stop);
        return {status, out.str(), err.str()};
    }
    // A complete command line writing all three outputs, plus the given options.
    Words args(const std::string& day = "0", const std::string& ticks = "ticks.csv",
               const std::string& more = "") {
        Words line{"--folder",        folder.path(),
                   "--ticks",         ticks == "-" ? ticks : folder.file(ticks),
                   "--reference-day", day};
        for (const char* option : {"--snapshots", "--events", "--columns-out"}) {
            line.insert(line.end(), {option, folder.file(std::string(option + 2) + ".out")});
        }
        if (!more.empty()) {
            const Words extra = words(more);
            line.insert(line.end(), extra.begin(), extra.end());
        }
        return line;
    }
    std::string output(const std::string& option) { return readFile(folder.file(option + ".out")); }
    void expectError(const RunResult& result, const std::string& part, int lines = 1,
                     int status = 2) {
        EXPECT_EQ(result.status, status);
        EXPECT_NE(result.errors.find(part), std::string::npos) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), lines);
        EXPECT_TRUE(result.errors.ends_with('\n'));
        EXPECT_FALSE(std::ranges::any_of(
            std::filesystem::directory_iterator(folder.path()), [](const auto& entry) {
                return entry.path().string().find(".out") != std::string::npos;
            }));
    }
};

TEST_F(ReplayTest, SmallRunMatchesTheHandCheckedOutputsFromFileAndStandardInput) {
    for (const std::string ticks : {"ticks.csv", "-"}) {
        SCOPED_TRACE(ticks);
        const RunResult result =
            run(args("0", ticks,
                     "--columns 0,-,-,1,- --alerts flip --pair-alert USDJPY:14 "
                     "--bias-log-every 2 --basket buy@0 --close-at 1"),
                golden("ticks.csv"));
        ASSERT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(result.errors, "");
        EXPECT_EQ(output("snapshots"), golden("snapshots.csv"));
        EXPECT_EQ(output("events"), golden("events.csv"));
        EXPECT_EQ(output("columns-out"), golden("columns.csv"));
        EXPECT_FALSE(std::filesystem::exists(folder.file("snapshots.out.partial")));
    }
}

TEST_F(ReplayTest, BasketOpenedAndClosedAfterTheSameTickAndLatePressesNeverHappen) {
    ASSERT_EQ(run(args("0", "ticks.csv", "--basket sell@1 --close-at 1")).status, 0);
    EXPECT_NE(output("events").find("1,SELL - Basket Bias:  -90  Anchor Bias:  -70\r\n"
                                    "1,Ref. Bias =  -10\r\n1,Basket Profit: 0\r\n"),
              std::string::npos)
        << output("events");
    ASSERT_EQ(run(args("0", "ticks.csv", "--basket buy@2")).status, 0);
    EXPECT_EQ(output("events").find("BUY"), std::string::npos);
}

TEST_F(ReplayTest, LastListedEntriesAreValidAndOnePastIsNot) {
    expectError(run(args("4")), "--reference-day 4");
    expectError(run(args("0", "ticks.csv", "--columns 3,-,-,3,-")), "column 4");
    EXPECT_EQ(run(args("3")).status, 0);
    EXPECT_EQ(run(args("0", "ticks.csv", "--columns -,-,-,2,2")).status, 0);
}

TEST_F(ReplayTest, MissingInputsAndMalformedTickLinesAreErrorsWithoutOutputs) {
    Words line = args();
    line[1] = folder.file("nowhere") + "/";
    expectError(run(line), "folder");
    expectError(run(args("0", "none.csv")), "tick file");
    line = args();
    line[11] = folder.path(); // checked before anything is written
    expectError(run(line), "not a regular file");
    line[11] = folder.file("nowhere/c.out");
    expectError(run(line), "no such folder");

    folder.write("short.csv", golden("ticks.csv") + "\n09:00:02,1,2,3\r\n");
    expectError(run(args("0", "short.csv")), "line 6");

    folder.remove("GBPUSD_H1.csv");
    // The load's message box line comes before the error line.
    expectError(run(args()),
                "File opening error: GBPUSD.csv 1-Hour history file could not be opened.\n", 2);
}

TEST_F(ReplayTest, HelpGoesToStandardOutput) {
    const RunResult result = run({"--folder", folder.path(), "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output.rfind("Usage: vurezer-replay", 0), 0U);
    EXPECT_NE(result.output.find("--columns-out"), std::string::npos);
}

TEST_F(ReplayTest, EmptyTickFileWritesOnlyTheStartRows) {
    folder.write("empty.csv", "\r\n \t\r\n");
    ASSERT_EQ(run(args("1", "empty.csv")).status, 0);
    EXPECT_EQ(output("events"), "-1,Started VU Vurezer\r\n-1,New Reference date: 01-06-2026\r\n");
    EXPECT_EQ(output("columns-out"), "");
    const std::string snapshots = output("snapshots"); // the header alone
    EXPECT_EQ(std::count(snapshots.begin(), snapshots.end(), '\n'), 1);
}

} // namespace
} // namespace vz::testing

namespace vz::testing {
namespace {

// The replay leaves out work that no output shows: painting, keeping the
// printed texts, building snapshot rows nobody asked for. Every output must
// come out the same as from a run that does all of it.
TEST_F(ReplayTest, SkippedUnseenWorkChangesNoOutput) {
    folder.write("wander.csv", wanderingTicks(400));
    const auto runWith = [&](bool skips, const std::string& outputs, const std::string& suffix) {
        Words line{"--folder",        folder.path(),
                   "--ticks",         folder.file("wander.csv"),
                   "--reference-day", "1"};
        const Words rest = words("--columns 0,1,2,0,1 --alerts anchors,flip,grouping "
                                 "--pair-alert EURUSD:1 --bias-log-every 7 --basket sell@50 "
                                 "--close-at 300");
        line.insert(line.end(), rest.begin(), rest.end());
        for (const std::string& option : words(outputs)) {
            line.insert(line.end(), {"--" + option, folder.file(option + suffix)});
        }
        ParsedCommandLine parsed = parseReplayCommandLine(line);
        EXPECT_TRUE(parsed.options.has_value()) << parsed.error;
        parsed.options->skipsUnseenWork = skips;
        std::istringstream in;
        std::ostringstream err;
        EXPECT_EQ(runReplay(*parsed.options, in, err), 0) << err.str();
    };
    runWith(false, "snapshots events columns-out report", ".all");
    runWith(true, "snapshots events columns-out report", ".skipped");
    runWith(true, "events columns-out", ".nosnapshots");
    for (const std::string option : {"snapshots", "events", "columns-out", "report"}) {
        SCOPED_TRACE(option);
        const std::string all = readFile(folder.file(option + ".all"));
        EXPECT_GT(std::count(all.begin(), all.end(), '\n'), 100);
        EXPECT_EQ(readFile(folder.file(option + ".skipped")), all);
        if (option != "snapshots" && option != "report") {
            EXPECT_EQ(readFile(folder.file(option + ".nosnapshots")), all);
        }
    }
    const std::string events = readFile(folder.file("events.all"));
    for (const char* seen : {"anchor", "Flipped", "Basket Profit", "RB = "}) {
        EXPECT_NE(events.find(seen), std::string::npos) << seen;
    }
}

} // namespace
} // namespace vz::testing
