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

class MarketFolder : public ::testing::Test {
protected:
    MarketFolder() {
        std::random_device seed;
        folder_ = fs::temp_directory_path() / ("vurezer-market-" + std::to_string(seed()));
        fs::create_directories(folder_);
        market.programFolder = folder_.string() + "/";
        host.windows.main = ui.openWindow(0, 0, 400, 300, 0, "Main", {});
    }
    ~MarketFolder() override { fs::remove_all(folder_); }

    void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }
    static std::string bars(int count, Timeframe timeframe, const char* lineEnd = "\r\n") {
        const std::string label = timeframe == Timeframe::Daily ? "2024.01.02" : "2024.01.02 04:00";
        std::string bytes;
        for (int line = 0; line < count; ++line) {
            bytes += label + "," + std::to_string(100 + line) + ".5,1.0" + lineEnd;
        }
        return bytes;
    }
    void writeAllHistory(int lines) {
        for (const Timeframe timeframe : ALL_TIMEFRAMES) {
            for (int pair = 0; pair < PAIR_COUNT; ++pair) {
                writeFile(historyFileName("", pair, timeframe), bars(lines, timeframe));
            }
        }
    }
    void writeAllRealTime(const std::string& line) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            writeFile(realTimeFileName("", pair), line);
        }
    }
    const HistoryBar& bar(Timeframe timeframe, int pair, int index) const {
        return market.history.bar(timeframe, pair, index);
    }

    fs::path folder_;
    StdFileSystem files;
    HeadlessUi ui;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
};

using HistoryLoad = MarketFolder;

TEST_F(HistoryLoad, FillsRecordsLivePricesAndExtents) {
    writeAllHistory(20);
    writeAllRealTime("1.25,1.26\r\n");
    writeFile("USDJPY_RT.csv", "-1");
    writeFile("EURUSD_H1.csv", "2024.01.02 04:00,x\r\n" + bars(30, Timeframe::OneHour));
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(market.lastListedIndex, (std::array<int, 3>{20, 20, 0}));
    EXPECT_EQ(bar(Timeframe::FourHour, 3, 19).text, "2024.01.02 04:00");
    EXPECT_EQ(bar(Timeframe::FourHour, 3, 19).price, 119.5F);
    EXPECT_EQ(market.livePrices[0], 1.25F);
    EXPECT_EQ(market.livePrices[8], -1.0F);
}

TEST_F(HistoryLoad, LongFilesFillOnlyTheLoadableRecords) {
    writeAllHistory(600);
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListed(Timeframe::Daily), 498);
    EXPECT_EQ(bar(Timeframe::Daily, 0, 498).price, 598.5F);
    EXPECT_EQ(bar(Timeframe::Daily, 0, 499).text, "");
    EXPECT_EQ(bar(Timeframe::Daily, 0, 499).price, 0.0F);
}

TEST_F(HistoryLoad, LineEndStylesLoadAlike) {
    writeAllHistory(5);
    writeFile("GBPUSD.csv", bars(5, Timeframe::Daily, "\r"));
    writeFile("EURGBP.csv", bars(5, Timeframe::Daily, "\n"));
    writeFile("GBPJPY.csv", bars(5, Timeframe::Daily) + "2024.01.09,9.5");
    writeFile("EURJPY.csv",
              "2024.01.02,1.5,2" + std::string(300, '7') + "\r\n" + bars(5, Timeframe::Daily));
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListed(Timeframe::Daily), 5);
    for (int pair : {0, 1}) {
        EXPECT_EQ(bar(Timeframe::Daily, pair, 4).price, 104.5F);
    }
    EXPECT_EQ(bar(Timeframe::Daily, 2, 5).price, 9.5F);
    EXPECT_EQ(bar(Timeframe::Daily, 6, 0).price, 1.5F);
    EXPECT_EQ(bar(Timeframe::Daily, 6, 1).price, 100.5F);
}

TEST_F(HistoryLoad, ReloadOfShorterFilesLeavesNoStaleBars) {
    writeAllHistory(300);
    ASSERT_TRUE(loadHistory(market, host));
    writeAllHistory(250);
    ASSERT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListed(Timeframe::OneHour), 250);
    EXPECT_EQ(bar(Timeframe::OneHour, 9, 249).price, 349.5F);
    EXPECT_EQ(bar(Timeframe::OneHour, 9, 250).text, "");
    EXPECT_EQ(bar(Timeframe::OneHour, 9, 299).price, 0.0F);
}

TEST_F(HistoryLoad, EachMissingFileIsReportedAndLoadingGoesOn) {
    writeAllHistory(40);
    ASSERT_TRUE(loadHistory(market, host));
    writeAllHistory(10);
    fs::remove(folder_ / "EURJPY_H1.csv");
    fs::remove(folder_ / "GBPUSD_H4.csv");
    fs::remove(folder_ / "NZDUSD.csv");
    EXPECT_FALSE(loadHistory(market, host));

    const std::vector<std::string> expected = {
        "NZDUSD.csv history file could not be opened.",
        "GBPUSD.csv 4-Hour history file could not be opened.",
        "EURJPY.csv 1-Hour history file could not be opened."};
    ASSERT_EQ(ui.messageBoxes().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MessageBoxRecord& box = ui.messageBoxes()[i];
        EXPECT_EQ(box.text, expected[i]);
        EXPECT_EQ(box.caption, "File opening error");
        EXPECT_EQ(box.style, MB_ERROR);
        EXPECT_EQ(box.owner, host.windows.main);
    }
    // The unopened file's records keep the earlier load; the others reloaded.
    EXPECT_EQ(bar(Timeframe::FourHour, 0, 39).price, 139.5F);
    EXPECT_EQ(bar(Timeframe::FourHour, 1, 39).price, 0.0F);
    EXPECT_EQ(market.lastListed(Timeframe::FourHour), 10);
}

using RealTimeRead = MarketFolder;

TEST_F(RealTimeRead, AcceptsOnlyPricesStrictlyBetweenZeroAnd500) {
    const std::vector<std::pair<std::string, float>> cases = {{"499.99\r\n", 499.99F},
                                                              {"500", 7.0F},
                                                              {"0.0001", 0.0001F},
                                                              {"0", 7.0F},
                                                              {"-3.5", 7.0F},
                                                              {"word", 7.0F},
                                                              {"", 7.0F},
                                                              {"1.5,2.5", 1.5F},
                                                              {" 1.5E2", 1.5F},
                                                              {"\r\n42", 7.0F},
                                                              {"12.25\n13", 12.25F},
                                                              {"1e9", 1.0F},
                                                              {"600.5", 7.0F},
                                                              {std::string(400, '9'), 7.0F}};
    ASSERT_LE(cases.size(), std::size_t{PAIR_COUNT});
    market.livePrices.fill(7.0F);
    writeAllRealTime("3.0");
    for (std::size_t pair = 0; pair < cases.size(); ++pair) {
        writeFile(realTimeFileName("", static_cast<int>(pair)), cases[pair].first);
    }
    readRealTimePrices(market, host);
    EXPECT_TRUE(ui.messageBoxes().empty());
    for (std::size_t pair = 0; pair < cases.size(); ++pair) {
        EXPECT_EQ(market.livePrices[pair], cases[pair].second) << cases[pair].first;
    }
}

TEST_F(RealTimeRead, MissingFileIsReportedWithItsFullName) {
    writeAllRealTime("2.5");
    fs::remove(folder_ / "GBPUSD_RT.csv");
    fs::remove(folder_ / "EURCHF_RT.csv");
    market.livePrices[0] = 1.75F;
    readRealTimePrices(market, host);
    ASSERT_EQ(ui.messageBoxes().size(), 2U);
    const MessageBoxRecord& box = ui.messageBoxes()[0];
    EXPECT_EQ(box.text, "Realtime file not found: " + market.programFolder + "GBPUSD_RT.csv");
    EXPECT_EQ(box.caption, "Not Found");
    EXPECT_EQ(box.style, MB_INFORMATION);
    EXPECT_EQ(box.owner, host.windows.main);
    EXPECT_EQ(ui.messageBoxes()[1].text,
              "Realtime file not found: " + market.programFolder + "EURCHF_RT.csv");
    EXPECT_EQ(market.livePrices[0], 1.75F);
    EXPECT_EQ(market.livePrices[1], 2.5F);
}

} // namespace
} // namespace vz
