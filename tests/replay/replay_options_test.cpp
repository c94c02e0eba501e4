#include "replay/replay_options.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

std::vector<std::string> required(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--folder",        "data", "--ticks", "t.csv",
                                     "--reference-day", "3"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(ReplayOptionsTest, DefaultsAndEveryOption) {
    const ParsedCommandLine plain = parseReplayCommandLine(required());
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_EQ(plain.options->referenceDay, 3);
    EXPECT_EQ(plain.options->biasLogEvery, 900);
    EXPECT_FALSE(plain.options->basket);
    EXPECT_FALSE(plain.options->columns[0]);

    const ParsedCommandLine full = parseReplayCommandLine(
        required({"--columns", "0,-,12,-,7", "--alerts", "grouping,anchors", "--pair-alert",
                  "CHFJPY:14", "--bias-log-every", "1", "--basket", "sell@4", "--close-at", "4",
                  "--snapshots", "s", "--events", "e", "--columns-out", "c"}));
    ASSERT_TRUE(full.options) << full.error;
    const ReplayOptions& options = *full.options;
    EXPECT_EQ(options.columns[0], 0);
    EXPECT_FALSE(options.columns[1]);
    EXPECT_EQ(options.columns[2], 12);
    EXPECT_EQ(options.columns[4], 7);
    EXPECT_TRUE(options.anchorsAlert && options.groupingAlert && !options.flipAlert);
    ASSERT_TRUE(options.pairAlert);
    EXPECT_EQ(options.pairAlert->pair, 12);
    EXPECT_EQ(options.pairAlert->slot, 14);
    EXPECT_EQ(options.biasLogEvery, 1);
    ASSERT_TRUE(options.basket);
    EXPECT_EQ(options.basket->direction, TradeDirection::Sell);
    EXPECT_EQ(options.basket->tick, 4);
    EXPECT_EQ(options.closeAt, 4);
    EXPECT_EQ(options.columnsOut, "c");
}

TEST(ReplayOptionsTest, CloseWithoutBasketIsAcceptedAndHugeNumbersStayWhole) {
    const ParsedCommandLine parsed =
        parseReplayCommandLine(required({"--close-at", "99999999999999999999999"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_GT(*parsed.options->closeAt, 1'000'000'000'000LL);
}

TEST(ReplayOptionsTest, HelpWins) {
    EXPECT_TRUE(parseReplayCommandLine({"--help"}).help);
    EXPECT_TRUE(parseReplayCommandLine({"--folder", "x", "--help"}).help);
    EXPECT_NE(replayUsage().find("--columns-out"), std::string::npos);
}

TEST(ReplayOptionsTest, EveryBadCommandLineIsOneLineError) {
    const std::vector<std::vector<std::string>> bad = {
        {"--folder", "data", "--ticks", "t.csv"},
        required({"--verbose"}),
        required({"extra"}),
        required({"--folder", "again"}),
        required({"--events"}),
        required({"--events", ""}),
        {"--folder", "data", "--ticks", "t.csv", "--reference-day", "-1"},
        {"--folder", "data", "--ticks", "t.csv", "--reference-day", "+1"},
        {"--folder", "data", "--ticks", "t.csv", "--reference-day", "1.5"},
        required({"--columns", "1,2,3,4"}),
        required({"--columns", "1,2,3,4,5,6"}),
        required({"--columns", "1,,3,4,5"}),
        required({"--columns", "1,x,3,4,5"}),
        required({"--alerts", ""}),
        required({"--alerts", "flip,flip"}),
        required({"--alerts", "flip,sound"}),
        required({"--alerts", "flip,"}),
        required({"--pair-alert", "gbpusd:1"}),
        required({"--pair-alert", "GBPUSD:0"}),
        required({"--pair-alert", "GBPUSD:15"}),
        required({"--pair-alert", "GBPUSD"}),
        required({"--bias-log-every", "0"}),
        required({"--basket", "hold@1"}),
        required({"--basket", "BUY@1"}),
        required({"--basket", "buy@"}),
        required({"--basket", "buy@2", "--close-at", "1"}),
        required({"--events", "same", "--snapshots", "same"}),
    };
    for (const auto& args : bad) {
        const ParsedCommandLine parsed = parseReplayCommandLine(args);
        EXPECT_FALSE(parsed.options) << args.back();
        EXPECT_FALSE(parsed.help);
        EXPECT_FALSE(parsed.error.empty()) << args.back();
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace vz
