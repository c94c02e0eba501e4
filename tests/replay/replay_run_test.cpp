#include "history_folder.h"
#include "replay/replay_run.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vz::testing {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
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
class ReplayTest : public ::testing::Test {
protected:
    ReplayTest() : folder({.dailyLines = 3, .fourHourLines = 2, .oneHourLines = 2}) {
        folder.write("ticks.csv", golden("ticks.csv"));
    }

    RunResult run(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        RunResult result;
        result.status = replayMain(args, in, out, err);
        result.output = out.str();
        result.errors = err.str();
        return result;
    }
    std::vector<std::string> base(const std::string& day = "0",
                                  const std::string& ticks = "ticks.csv") {
        return {"--folder",        folder.path(),
                "--ticks",         ticks == "-" ? ticks : folder.file(ticks),
                "--reference-day", day};
    }
    std::vector<std::string> withOutputs(std::vector<std::string> args) {
        for (const char* option : {"--snapshots", "--events", "--columns-out"}) {
            args.push_back(option);
            args.push_back(folder.file(std::string(option + 2) + ".out"));
        }
        return args;
    }
    std::string output(const std::string& option) { return readFile(folder.file(option + ".out")); }
    bool outputsLeft() {
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.find(".out") != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    void expectError(const RunResult& result, const std::string& part) {
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.errors.find(part), std::string::npos) << result.errors;
        EXPECT_EQ(result.errors.back(), '\n');
        EXPECT_FALSE(outputsLeft());
    }

    HistoryFolder folder;
};

std::vector<std::string> goldenOptions() {
    return {"--columns",        "0,-,-,1,-", "--alerts", "flip",  "--pair-alert", "USDJPY:14",
            "--bias-log-every", "2",         "--basket", "buy@0", "--close-at",   "1"};
}

TEST_F(ReplayTest, SmallRunMatchesTheHandCheckedOutputs) {
    std::vector<std::string> args = withOutputs(base());
    const auto more = goldenOptions();
    args.insert(args.end(), more.begin(), more.end());
    const RunResult result = run(args);
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(output("snapshots"), golden("snapshots.csv"));
    EXPECT_EQ(output("events"), golden("events.csv"));
    EXPECT_EQ(output("columns-out"), golden("columns.csv"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("snapshots.out.partial")));
}

TEST_F(ReplayTest, StandardInputGivesTheSameRun) {
    std::vector<std::string> args = withOutputs(base("0", "-"));
    const auto more = goldenOptions();
    args.insert(args.end(), more.begin(), more.end());
    const RunResult result = run(args, golden("ticks.csv"));
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(output("events"), golden("events.csv"));
}

TEST_F(ReplayTest, BasketOpenedAndClosedAfterTheSameTickAndLatePressesNeverHappen) {
    std::vector<std::string> args = withOutputs(base());
    for (const char* option : {"--basket", "sell@1", "--close-at", "1"}) {
        args.push_back(option);
    }
    ASSERT_EQ(run(args).status, 0);
    const std::string events = output("events");
    EXPECT_NE(events.find("1,SELL - Basket Bias:  -90  Anchor Bias:  -70\r\n1,Ref. Bias =  -10\r\n"
                          "1,Basket Profit: 0\r\n"),
              std::string::npos)
        << events;

    args = withOutputs(base());
    for (const char* option : {"--basket", "buy@2"}) {
        args.push_back(option);
    }
    ASSERT_EQ(run(args).status, 0);
    EXPECT_EQ(output("events").find("BUY"), std::string::npos);
}

TEST_F(ReplayTest, LastListedEntriesAreValidAndOnePastIsNot) {
    EXPECT_EQ(run(base("3")).status, 0);
    std::vector<std::string> args = base();
    args.insert(args.end(), {"--columns", "-,-,-,2,2"});
    EXPECT_EQ(run(args).status, 0);

    expectError(run(withOutputs(base("4"))), "--reference-day 4");
    args = withOutputs(base());
    args.insert(args.end(), {"--columns", "3,-,-,3,-"});
    expectError(run(args), "column 4");
}

TEST_F(ReplayTest, MissingInputsAreErrorsWithoutOutputs) {
    std::vector<std::string> args = withOutputs(base());
    args[1] = folder.file("nowhere") + "/";
    expectError(run(args), "folder");

    expectError(run(withOutputs(base("0", "none.csv"))), "tick file");
    expectError(run(withOutputs(base("0", ""))), "tick file"); // a folder

    folder.remove("GBPUSD_H1.csv");
    const RunResult result = run(withOutputs(base()));
    expectError(result, "could not be opened");
    EXPECT_NE(result.errors.find("File opening error: GBPUSD.csv 1-Hour history file could not be "
                                 "opened.\n"),
              std::string::npos)
        << result.errors;
}

TEST_F(ReplayTest, MalformedTickLineNamesItsLineAndLeavesNoOutput) {
    folder.write("short.csv", golden("ticks.csv") + "\n09:00:02,1,2,3\r\n");
    const RunResult result = run(withOutputs(base("0", "short.csv")));
    expectError(result, "line 6");
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1);
}

TEST_F(ReplayTest, BadCommandLineAndHelp) {
    RunResult result = run({"--folder", folder.path(), "--bogus"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors.rfind("vurezer-replay: ", 0), 0U);
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1);

    result = run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output.rfind("Usage: vurezer-replay", 0), 0U);
}

TEST_F(ReplayTest, EmptyTickFileWritesOnlyTheStartRows) {
    folder.write("empty.csv", "\r\n \t\r\n");
    ASSERT_EQ(run(withOutputs(base("1", "empty.csv"))).status, 0);
    EXPECT_EQ(output("events"), "-1,Started VU Vurezer\r\n-1,New Reference date: 01-06-2026\r\n");
    EXPECT_EQ(output("columns-out"), "");
    const std::string snapshots = output("snapshots");
    EXPECT_EQ(std::count(snapshots.begin(), snapshots.end(), '\n'), 1);
}

} // namespace
} // namespace vz::testing
