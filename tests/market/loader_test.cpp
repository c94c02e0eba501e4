#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace vz {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class MarketFolder : public ::testing::Test {
protected:
    MarketFolder() {
        fs::create_directories(folder_);
        market.programFolder = folder_.string() + "/";
        host.windows.main = ui.openWindow(0, 0, 400, 300, 0, "Main", {});
    }
    ~MarketFolder() override { fs::remove_all(folder_); }

    void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }
    Lines linesOf(const std::string& bytes) {
        writeFile("lines.txt", bytes);
        auto file = files.openFile((folder_ / "lines.txt").string(), FileMode::Read);
        Lines lines;
        while (auto line = readTextLine(*file)) {
            lines.push_back(*line);
        }
        return lines;
    }
    static std::string bars(int count, Timeframe timeframe, const char* lineEnd = "\r\n") {
        const std::string label = timeframe == Timeframe::Daily ? "2024.01.02" : "2024.01.02 04:00";
        std::string bytes;
        for (int line = 0; line < count; ++line) {
            bytes += label + "," + std::to_string(100 + line) + ".5,1.0" + lineEnd;
        }
        return bytes;
    }
    void writeAll(int lines, const std::string& realTime = "1.25") {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            writeFile(realTimeFileName("", pair), realTime);
            for (const Timeframe timeframe : ALL_TIMEFRAMES) {
                writeFile(historyFileName("", pair, timeframe), bars(lines, timeframe));
            }
        }
    }
    float price(Timeframe timeframe, int pair, int index) const {
        return market.history.bar(timeframe, pair, index).price;
    }

    fs::path folder_ =
        fs::temp_directory_path() / ("vurezer-market-" + std::to_string(std::random_device{}()));
    StdFileSystem files;
    HeadlessUi ui;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
};

TEST_F(MarketFolder, EachLineEndStyleEndsOneLine) {
    EXPECT_EQ(linesOf("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\rb\n\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(linesOf("a\n\r"), (Lines{"a", ""}));
    EXPECT_EQ(linesOf(""), Lines{});
}

TEST_F(MarketFolder, LoadFillsRecordsLivePricesAndExtentsWhateverTheLineEnds) {
    writeAll(20);
    writeFile("USDJPY_RT.csv", "-1");
    writeFile("EURUSD_H1.csv", "2024.01.02 04:00,x\r\n" + bars(30, Timeframe::OneHour));
    writeFile("GBPUSD_H4.csv", bars(25, Timeframe::FourHour));
    writeFile("GBPUSD.csv", bars(20, Timeframe::Daily, "\r"));
    writeFile("EURGBP.csv", bars(20, Timeframe::Daily, "\n"));
    writeFile("GBPJPY.csv", bars(19, Timeframe::Daily) + "2024.01.09,9.5");
    writeFile("EURJPY.csv",
              "2024.01.02,1.5,2" + std::string(300, '7') + "\r\n" + bars(19, Timeframe::Daily));
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(market.lastListedIndex, (std::array<int, 3>{20, 20, 0}));
    EXPECT_EQ(market.history.bar(Timeframe::FourHour, 3, 19).text, "2024.01.02 04:00");
    EXPECT_EQ(price(Timeframe::Daily, 0, 19), 119.5F);
    EXPECT_EQ(price(Timeframe::Daily, 1, 19), 119.5F);
    EXPECT_EQ(price(Timeframe::Daily, 2, 19), 9.5F);
    EXPECT_EQ(price(Timeframe::Daily, 6, 0), 1.5F);
    EXPECT_EQ(price(Timeframe::Daily, 6, 1), 100.5F);
    EXPECT_EQ(market.livePrices[0], 1.25F);
    EXPECT_EQ(market.livePrices[8], -1.0F);

    writeAll(600);
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListed(Timeframe::Daily), 498);
    EXPECT_EQ(price(Timeframe::Daily, 0, 499), 0.0F);
}

TEST_F(MarketFolder, EachMissingFileIsReportedAndAShorterReloadLeavesNoStaleBars) {
    writeAll(40);
    ASSERT_TRUE(loadHistory(market, host));
    writeAll(10);
    fs::remove(folder_ / "EURJPY_H1.csv");
    fs::remove(folder_ / "GBPUSD_H4.csv");
    fs::remove(folder_ / "NZDUSD.csv");
    EXPECT_FALSE(loadHistory(market, host));
    const Lines expected = {"NZDUSD.csv history file could not be opened.",
                            "GBPUSD.csv 4-Hour history file could not be opened.",
                            "EURJPY.csv 1-Hour history file could not be opened."};
    ASSERT_EQ(ui.messageBoxes().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MessageBoxRecord& box = ui.messageBoxes()[i];
        EXPECT_EQ(box.text, expected[i]);
        EXPECT_EQ(box.caption, "File opening error");
        EXPECT_TRUE(box.style == MB_ERROR && box.owner == host.windows.main);
    }
    // The unopened file keeps its earlier records; every reloaded one is cut to the new length.
    EXPECT_EQ(price(Timeframe::FourHour, 0, 39), 139.5F);
    EXPECT_EQ(price(Timeframe::FourHour, 1, 39), 0.0F);
    EXPECT_EQ(market.history.bar(Timeframe::FourHour, 1, 10).text, "");
    EXPECT_EQ(market.lastListed(Timeframe::FourHour), 10);
}

TEST_F(MarketFolder, RealTimeAcceptsOnlyPricesStrictlyBetweenZeroAnd500) {
    const std::vector<std::pair<std::string, float>> cases = {
        {"499.99\r", 499.99F}, {"500", 7.0F}, {"0.0001", 0.0001F}, {"0", 7.0F},      {"-3.5", 7.0F},
        {"word", 7.0F},        {"", 7.0F},    {"1.5,2.5", 1.5F},   {" 1.5E2", 1.5F}, {"\n42", 7.0F},
        {"12.25\n13", 12.25F}, {"1e9", 1.0F}, {"600.5", 7.0F},     {"+5", 7.0F}};
    market.livePrices.fill(7.0F);
    for (std::size_t pair = 0; pair < cases.size(); ++pair) {
        writeFile(realTimeFileName("", static_cast<int>(pair)), cases[pair].first);
    }
    readRealTimePrices(market, host);
    EXPECT_TRUE(ui.messageBoxes().empty());
    for (std::size_t pair = 0; pair < cases.size(); ++pair) {
        EXPECT_EQ(market.livePrices[pair], cases[pair].second) << cases[pair].first;
    }
}

TEST_F(MarketFolder, MissingRealTimeFileIsReportedWithItsFullName) {
    writeAll(1, "2.5");
    fs::remove(folder_ / "GBPUSD_RT.csv");
    writeFile(realTimeFileName("", 2), std::string(400, '9')); // too long for a double
    market.livePrices[0] = 1.75F;
    readRealTimePrices(market, host);
    ASSERT_EQ(ui.messageBoxes().size(), 1U);
    const MessageBoxRecord& box = ui.messageBoxes()[0];
    EXPECT_EQ(box.text, "Realtime file not found: " + market.programFolder + "GBPUSD_RT.csv");
    EXPECT_EQ(box.caption, "Not Found");
    EXPECT_TRUE(box.style == MB_INFORMATION && box.owner == host.windows.main);
    EXPECT_EQ(market.livePrices[0], 1.75F);
    EXPECT_EQ(market.livePrices[1], 2.5F);
    EXPECT_EQ(market.livePrices[2], 0.0F);
}

} // namespace
} // namespace vz
