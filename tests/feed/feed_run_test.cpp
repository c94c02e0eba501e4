#include "tools/feed/feed_run.h"
#include "tools/feed/rt_files.h"
#include "tools/import/history_set.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>
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

class Feed : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("vurezer-feed-test-" + std::string(test->name()) +
                                               "-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    FeedOptions options() const {
        FeedOptions o;
        o.folder = folder_.string();
        o.intervalMs = 1;
        return o;
    }

    int run(const FeedOptions& o) const {
        const std::atomic<bool> stop{false};
        std::ostringstream err;
        const int status = runFeed(o, stop, err);
        lastError_ = err.str();
        return status;
    }

    std::string realTime(int pair) const { return readFile(folder_ / realTimeFileNameOf(pair)); }

    std::vector<std::string> allRealTime() const {
        std::vector<std::string> prices;
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            prices.push_back(realTime(pair));
        }
        return prices;
    }

    bool onlyFinishedFilesLeft() const {
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path().filename().string().front() == '.') {
                return false;
            }
        }
        return true;
    }

    fs::path folder_;
    mutable std::string lastError_;
};

TEST_F(Feed, AReaderNeverSeesAPartialOrEmptyFile) {
    const std::regex complete(R"(\d+\.\d{5}\r\n)");
    LivePrices first;
    first[7] = 1.0;
    ASSERT_FALSE(writeRealTimeSet(folder_, first));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        LivePrices prices;
        for (int i = 0; i < 3000; ++i) {
            prices[7] = 1.0 + i * 1e-5;
            ASSERT_FALSE(writeRealTimeSet(folder_, prices));
        }
        done = true;
    });
    long reads = 0;
    long bad = 0;
    while (!done.load() || reads < 100) {
        const std::string text = realTime(7);
        ++reads;
        if (!std::regex_match(text, complete)) {
            ++bad;
        }
    }
    writer.join();
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(realTime(7), "1.02999\r\n");
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

TEST_F(Feed, WalkWritesEveryPairWithItsDigitsAndRepeatsForASeed) {
    FeedOptions o = options();
    o.seed = 11;
    o.count = 1;
    ASSERT_EQ(run(o), 0);
    EXPECT_EQ(realTime(7), "1.08500\r\n");
    EXPECT_EQ(realTime(8), "151.500\r\n");
    o.count = 5;
    ASSERT_EQ(run(o), 0);
    const auto fifth = allRealTime();
    ASSERT_EQ(run(o), 0);
    EXPECT_EQ(allRealTime(), fifth);
    o.seed = 12;
    ASSERT_EQ(run(o), 0);
    EXPECT_NE(allRealTime(), fifth);
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

TEST_F(Feed, StopsCleanlyWhenAskedWithEveryFileComplete) {
    FeedOptions o = options();
    std::atomic<bool> stop{false};
    std::ostringstream err;
    int status = -1;
    std::thread feed([&] { status = runFeed(o, stop, err); });
    while (!fs::exists(folder_ / realTimeFileNameOf(PAIR_COUNT - 1))) {
        std::this_thread::yield();
    }
    stop = true;
    feed.join();
    EXPECT_EQ(status, 0);
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        EXPECT_TRUE(std::regex_match(realTime(pair), std::regex(R"(\d+\.\d{3,5}\r\n)")));
    }
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

TEST_F(Feed, TickFileReplaysInOrderKeepsOldPricesForBadValuesAndEnds) {
    const fs::path ticks = folder_ / "ticks.txt";
    std::ofstream(ticks) << "a,1.1,0.8,190,0.9,0.6,100,160,1.08,150,0.65,90,1.1,170,0.95\n"
                            "b,1.2,0.8,190,0.9,0.6,100,160,600,150,0.65,90,1.1,170,0.95\n";
    FeedOptions o = options();
    o.source = FeedSource::Ticks;
    o.ticksFile = ticks.string();
    ASSERT_EQ(run(o), 0);
    EXPECT_EQ(realTime(0), "1.20000\r\n");
    EXPECT_EQ(realTime(7), "1.08000\r\n"); // 600 is out of range
    EXPECT_EQ(realTime(12), "170.000\r\n");

    std::ofstream(ticks) << "a,1,2\n";
    EXPECT_EQ(run(o), 2);
    EXPECT_NE(lastError_.find("ticks.txt:1:"), std::string::npos) << lastError_;
}

TEST_F(Feed, MadeHistoryFeedsTheHistorySourceOldestFirst) {
    FeedOptions make = options();
    make.makeHistory = 4;
    make.historyEnd = daysFromCivil({2026, 2, 13}) * MINUTES_PER_DAY + 23 * 60;
    ASSERT_EQ(run(make), 0);
    const std::string h1 = readFile(folder_ / historyFileNameOf(3, Timeframe::OneHour));
    EXPECT_EQ(std::count(h1.begin(), h1.end(), '\n'), 4);
    EXPECT_EQ(h1.substr(0, 16), "2026.02.13 23:00");
    EXPECT_EQ(realTime(3).substr(0, 7), h1.substr(17, 7)); // newest close = first live price

    FeedOptions replay = options();
    replay.source = FeedSource::History;
    replay.count = 1;
    ASSERT_EQ(run(replay), 0);
    const std::string oldest = h1.substr(h1.rfind(',', h1.size() - 3) + 1);
    EXPECT_EQ(realTime(3), oldest);
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

TEST_F(Feed, BadFoldersAndMissingHistoryAreErrors) {
    FeedOptions o = options();
    o.folder = (folder_ / "missing").string();
    EXPECT_EQ(run(o), 2);
    o = options();
    o.source = FeedSource::History;
    EXPECT_EQ(run(o), 2);
    EXPECT_NE(lastError_.find("GBPUSD_H1.csv"), std::string::npos) << lastError_;
}

TEST(FeedCommandLine, ParsesSourcesAndRejectsBadValues) {
    const FeedCommand ticks =
        parseFeedCommand({"--folder", "d", "--source", "ticks", "t.csv", "--speed", "4"});
    EXPECT_TRUE(ticks.error.empty()) << ticks.error;
    EXPECT_EQ(ticks.options.source, FeedSource::Ticks);
    EXPECT_EQ(ticks.options.ticksFile, "t.csv");
    EXPECT_EQ(ticks.options.speed, 4.0);
    const FeedCommand once = parseFeedCommand({"--folder", "d", "--once", "--seed", "9"});
    EXPECT_EQ(once.options.count, 1);
    EXPECT_EQ(once.options.seed, 9U);
    const FeedCommand history =
        parseFeedCommand({"--folder", "d", "--make-history", "300", "--end", "2026.02.13 23:00"});
    EXPECT_EQ(history.options.makeHistory, 300);
    EXPECT_TRUE(history.options.historyEnd.has_value());
    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"--folder", "d", "--source", "ticks"},
                                                {"--folder", "d", "--source", "river"},
                                                {"--folder", "d", "--interval-ms", "0"},
                                                {"--folder", "d", "--speed", "-1"},
                                                {"--folder", "d", "--make-history", "500"},
                                                {"--folder", "d", "--once", "--once"},
                                                {"--folder", "d", "--end", "yesterday"},
                                                {"--folder", "d", "--count"},
                                                {"--folder", "d", "--what"}}) {
        EXPECT_FALSE(parseFeedCommand(bad).error.empty());
    }
}

} // namespace
} // namespace vz
