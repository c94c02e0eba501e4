#include "tools/feed/feed_run.h"
#include "tools/feed/make_history.h"
#include "tools/feed/price_walk.h"
#include "tools/feed/rt_files.h"
#include "tools/feed/stdin_lines.h"
#include "tools/feed/tick_sources.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

TEST(CurrencyWalk, CrossesStayConsistentWhateverThePath) {
    CurrencyWalk walk = startWalk(7);
    for (int i = 0; i < 1000; ++i) {
        stepWalk(walk, 0.001);
    }
    const auto prices = pairPrices(walk);
    // EURJPY = EURUSD x USDJPY, GBPCHF = GBPUSD x USDCHF, EURGBP = EURUSD / GBPUSD.
    EXPECT_NEAR(prices[6] / (prices[7] * prices[8]), 1.0, 1e-12);
    EXPECT_NEAR(prices[11] / (prices[0] * prices[3]), 1.0, 1e-12);
    EXPECT_NEAR(prices[1] * prices[0] / prices[7], 1.0, 1e-12);
}

TEST(MadeHistory, FilesAlignNewestFirstOnWeekdaysAndEndWhereTheLiveWalkStarts) {
    HistoryRequest request;
    request.bars = 30;
    request.seed = 9;
    // Saturday 2026-02-14 10:00, so the history ends on Friday 23:00.
    request.end = daysFromCivil({2026, 2, 14}) * MINUTES_PER_DAY + 10 * 60;
    const HistorySet set = makeHistory(request);
    const auto start = pairPrices(startWalk(9));
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        const auto label = static_cast<std::size_t>(labelLength(timeframe));
        const auto& reference = set.of(timeframe, EURUSD_INDEX);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto& lines = set.of(timeframe, pair);
            ASSERT_EQ(lines.size(), 30U);
            EXPECT_EQ(lines[0].substr(label),
                      "," + formatPrice(pair, start[static_cast<std::size_t>(pair)]));
            for (std::size_t i = 0; i < lines.size(); ++i) {
                EXPECT_EQ(lines[i].substr(0, label + 1), reference[i].substr(0, label + 1));
                EXPECT_TRUE(i == 0 ||
                            reference[i - 1].substr(0, label) > lines[i].substr(0, label));
            }
        }
    }
    EXPECT_EQ(set.of(Timeframe::OneHour, 8)[0], "2026.02.13 23:00,151.500");
    // Thirty weekdays back from Friday 13 February, with no weekend in between.
    EXPECT_EQ(set.of(Timeframe::Daily, 0)[29].substr(0, 10), "2026.01.05");
    request.seed = 4;
    EXPECT_EQ(makeHistory(request).lines, makeHistory(request).lines);
    EXPECT_NE(makeHistory(request).lines, set.lines);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
#ifdef _WIN32
    // There the name can be busy for the instant of a swap; the program's
    // reader tries again, and so does this one.
    for (int attempt = 0; !in.is_open() && attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        in.open(path, std::ios::binary);
    }
#endif
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each test feeds a folder of its own, named after the test and the process.
class Feed : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ =
            fs::temp_directory_path() / ("vurezer-feed-" + std::string(test->test_suite_name()) +
                                         "-" + test->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        options_.folder = folder_.string();
        options_.intervalMs = 1;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string realTime(int pair) const { return readFile(folder_ / realTimeFileNameOf(pair)); }

    int run() {
        std::ostringstream err;
        const int status = runFeed(options_, StopFlag{0}, err);
        error_ = err.str();
        return status;
    }

    // Temporary files start with a dot.
    bool onlyFinishedFilesLeft() const {
        return std::none_of(
            fs::directory_iterator(folder_), fs::directory_iterator(),
            [](const auto& entry) { return entry.path().filename().string()[0] == '.'; });
    }

    fs::path folder_;
    FeedOptions options_;
    std::string error_;
};

TEST_F(Feed, AReaderNeverSeesAPartialFileAndAStopLeavesOnlyFinishedOnes) {
    options_.speed = 1e6; // no pause between writes
    StopFlag stop{0};
    std::ostringstream err;
    int status = -1;
    std::thread feed([&] { status = runFeed(options_, stop, err); });
    while (!fs::exists(folder_ / realTimeFileNameOf(PAIR_COUNT - 1))) {
        std::this_thread::yield();
    }
    const std::regex complete(R"(\d+\.\d{3}(\d\d)?\r\n)");
    long bad = 0;
    for (int read = 0; read < 3000; ++read) {
        bad += std::regex_match(realTime(read % PAIR_COUNT), complete) ? 0 : 1;
    }
    stop = SIGTERM;
    feed.join();
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

TEST_F(Feed, TickFileReplaysInOrderKeepsOldPricesForBadValuesAndEnds) {
    const fs::path ticks = folder_ / "ticks.txt";
    // Fields after the fifteenth are ignored, blank lines skipped, and a price
    // counts only strictly between 0 and 500, once rounded.
    std::ofstream(ticks, std::ios::binary)
        << "a,1.1,0.8,190,0.9,0.6,100,160,1.08,150,0.65,90,1.1,170,0.95,x\r\n \t\r\n"
           "b,0,500,-1,x,499.99,499.9999,161,600,150,0.65,90,1.1,170,0.95\n";
    options_.source = FeedSource::Ticks;
    options_.ticksFile = ticks.string();
    ASSERT_EQ(run(), 0) << error_;
    std::vector<std::string> prices;
    for (int pair = 0; pair < 9; ++pair) {
        prices.push_back(realTime(pair));
    }
    EXPECT_EQ(prices, (std::vector<std::string>{"1.10000\r\n", "0.80000\r\n", "190.000\r\n",
                                                "0.90000\r\n", "499.99000\r\n", "100.000\r\n",
                                                "161.000\r\n", "1.08000\r\n", "150.000\r\n"}));
    std::ofstream(ticks, std::ios::binary) << "a,1,2,3,4,5,6,7,8,9,10,11,12,13,14\n\nb,1,2\n";
    EXPECT_EQ(run(), 2);
    EXPECT_NE(error_.find("ticks.txt:3: a tick line needs a label and fourteen prices"),
              std::string::npos)
        << error_;
}

TEST_F(Feed, MadeHistoryFeedsTheHistorySourceOldestFirstAndItsAbsenceIsAnError) {
    options_.source = FeedSource::History;
    EXPECT_EQ(run(), 2);
    EXPECT_NE(error_.find("GBPUSD_H1.csv"), std::string::npos) << error_;

    options_.makeHistory = 4;
    options_.historyEnd = daysFromCivil({2026, 2, 13}) * MINUTES_PER_DAY + 23 * 60;
    ASSERT_EQ(run(), 0);
    const std::string h1 = readFile(folder_ / historyFileNameOf(3, Timeframe::OneHour));
    EXPECT_EQ(std::count(h1.begin(), h1.end(), '\n'), 4);
    EXPECT_EQ(h1.substr(0, 16), "2026.02.13 23:00");
    EXPECT_EQ(realTime(3).substr(0, 7), h1.substr(17, 7)); // newest close = first live price

    options_.makeHistory.reset();
    options_.count = 1;
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(realTime(3), h1.substr(h1.rfind(',', h1.size() - 3) + 1));
    std::ofstream(folder_ / historyFileNameOf(0, Timeframe::OneHour), std::ios::binary)
        << "2026.02.13 23:00 1.2\r\n";
    EXPECT_EQ(run(), 2);
    EXPECT_NE(error_.find("GBPUSD_H1.csv:1: "), std::string::npos) << error_;
}

TEST_F(Feed, StartRemovesTemporariesLeftByAKilledFeedAndNothingElse) {
    const std::vector<std::string> left = {".GBPUSD_RT.csv.4242.tmp", ".EURCHF_RT.csv.1.tmp"};
    const std::vector<std::string> kept = {".GBPUSD_RT.csv.42x.tmp", ".XAUUSD_RT.csv.42.tmp",
                                           "GBPUSD_RT.csv.42.tmp"};
    for (const auto& name : left) {
        std::ofstream(folder_ / name) << "1.2";
    }
    for (const auto& name : kept) {
        std::ofstream(folder_ / name) << "1.2";
    }
    options_.count = 1;
    ASSERT_EQ(run(), 0) << error_;
    for (const auto& name : left) {
        EXPECT_FALSE(fs::exists(folder_ / name)) << name;
    }
    for (const auto& name : kept) {
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    }
    EXPECT_NE(error_.find("removed 2 temporary file(s)"), std::string::npos) << error_;
}

// A folder stands where GBPUSD's file belongs for a while: the feed reports it
// once, keeps the other pairs current, and writes GBPUSD again once it can.
TEST_F(Feed, ABlockedFileIsReportedOnceRetriedAndItsRecoveryReported) {
    const fs::path blocked = folder_ / realTimeFileNameOf(0);
    fs::create_directories(blocked / "inside");
    options_.count = 3;
    EXPECT_EQ(run(), 1) << "still blocked at the end";
    EXPECT_EQ(realTime(PAIR_COUNT - 1).size(), 9U) << "the other pairs are written";
    const auto reports = [this](const std::string& text) {
        std::size_t count = 0;
        for (auto at = error_.find(text); at != std::string::npos; at = error_.find(text, at + 1)) {
            ++count;
        }
        return count;
    };
    EXPECT_EQ(reports("could not replace"), 1U) << error_;
    EXPECT_TRUE(onlyFinishedFilesLeft());

    options_.count.reset();
    options_.seed = 5;
    StopFlag stop{0};
    std::ostringstream err;
    int status = -1;
    std::thread feed([&] { status = runFeed(options_, stop, err); });
    const std::string before = realTime(PAIR_COUNT - 1);
    while (realTime(PAIR_COUNT - 1) == before) {
        std::this_thread::yield(); // the others move on meanwhile
    }
    fs::remove_all(blocked);
    while (!fs::is_regular_file(blocked)) {
        std::this_thread::yield();
    }
    stop = SIGTERM;
    feed.join();
    error_ = err.str();
    EXPECT_EQ(status, 0) << error_;
    EXPECT_EQ(reports("could not replace"), 1U) << error_;
    EXPECT_EQ(reports("GBPUSD_RT.csv is written again"), 1U) << error_;
    EXPECT_TRUE(onlyFinishedFilesLeft());
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(FeedCommandLine, ParsesSourcesAndRejectsBadValues) {
    const auto ticks =
        parseFeedCommand(words("--folder d --source ticks t.csv --speed 4 --once --seed 9"));
    EXPECT_EQ(ticks.options.source, FeedSource::Ticks);
    EXPECT_EQ(ticks.options.ticksFile, "t.csv");
    EXPECT_EQ(ticks.options.speed, 4.0);
    EXPECT_EQ(ticks.options.count, 1);
    EXPECT_EQ(ticks.options.seed, 9U);
    const FeedCommand history =
        parseFeedCommand({"--folder", "d", "--make-history", "300", "--end", "2026.02.13 23:00"});
    EXPECT_TRUE(history.error.empty()) << history.error;
    EXPECT_EQ(history.options.makeHistory, 300);
    EXPECT_TRUE(history.options.historyEnd.has_value());
    EXPECT_EQ(parseFeedCommand(words("--folder d --ticks t")).options.source, FeedSource::Ticks);
    for (const char* bad : {"", "--folder d --source ticks", "--folder d --interval-ms 0",
                            "--folder d --interval-ms 86400001", "--folder d --make-history 500",
                            "--folder d --end yesterday"}) {
        EXPECT_FALSE(parseFeedCommand(words(bad)).error.empty()) << bad;
    }
    // A prefix and a suffix narrow the symbols read from stdin, and only there.
    const FeedCommand command = parseFeedCommand(
        {"--folder", "d", "--source", "stdin", "--prefix", "m.", "--suffix", ".pro", "--once"});
    EXPECT_TRUE(command.error.empty()) << command.error;
    EXPECT_EQ(command.options.source, FeedSource::Stdin);
    EXPECT_EQ(command.options.prefix + "|" + command.options.suffix, "m.|.pro");
    for (const char* bad :
         {"--folder d --prefix m.", "--folder d --source ticks t --suffix x",
          "--folder d --source stdin --loop", "--folder d --source stdin --prefix"}) {
        EXPECT_FALSE(parseFeedCommand(words(bad)).error.empty()) << bad;
    }
}

constexpr int GBPUSD = 0, GBPJPY = 2, EURUSD = 7;

// "kind[pair=price ...]" or "bad: problem" or "other: symbol".
std::string describe(const StdinLine& line) {
    switch (line.kind) {
    case StdinLineKind::Blank:
        return "blank";
    case StdinLineKind::OtherSymbol:
        return "other: " + line.symbol;
    case StdinLineKind::Bad:
        return "bad: " + line.problem;
    case StdinLineKind::Prices:
        break;
    }
    std::ostringstream text;
    text << "prices";
    for (std::size_t pair = 0; pair < line.prices.size(); ++pair) {
        if (line.prices[pair]) {
            text << ' ' << PAIR_TABLE[pair] << '=' << *line.prices[pair];
        }
    }
    return text.str();
}

TEST(StdinLines, SymbolBidAskAndTickLayoutsWithBrokerNamesAndClearProblems) {
    const std::string tick = "t,1.25,0.85,190,0.9,0.6,100,160,1.08,150,0.65,90,1.1,170,0.95";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"eurusdm, 1.085 \r", "prices EURUSD=1.085"},
        {"GBPJPY,190.1,190.2", "prices GBPJPY=190.1"},
        {" \t", "blank"},
        {"XAUUSD,2300.5", "other: XAUUSD"},
        {"\x01\xff,1", "other: ??"},
        {"EURUSD,1.08 x", "bad: \"1.08 x\" is not a price"},
        {"USDJPY,499.9999", "bad: 499.9999 for USDJPY is not a price between 0 and 500"},
        {"a,1,2,3", "bad: expected SYMBOL,PRICE or SYMBOL,BID,ASK or a label and fourteen "
                    "prices, found 4 fields"},
        {std::string(5000, 'x') + ",1", "bad: longer than 4096 characters"},
        {tick, "prices GBPUSD=1.25 EURGBP=0.85 GBPJPY=190 USDCHF=0.9 NZDUSD=0.6 AUDJPY=100 "
               "EURJPY=160 EURUSD=1.08 USDJPY=150 AUDUSD=0.65 NZDJPY=90 GBPCHF=1.1 CHFJPY=170 "
               "EURCHF=0.95"},
        // A tick line's refused prices leave their pairs alone; extra fields are ignored.
        {"t,0,500,x,-1,,1,1,1,1,1,1,1,1,1.5,extra", "prices AUDJPY=1 EURJPY=1 EURUSD=1 USDJPY=1 "
                                                    "AUDUSD=1 NZDJPY=1 GBPCHF=1 CHFJPY=1 "
                                                    "EURCHF=1.5"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(describe(parseStdinLine(line, {})), expected) << line.substr(0, 40);
    }
    // A prefix or suffix narrows the match.
    const SymbolMatch narrow{"m.", "-x"};
    EXPECT_EQ(describe(parseStdinLine("M.eurusd-X,1.1", narrow)), "prices EURUSD=1.1");
    EXPECT_EQ(describe(parseStdinLine("EURUSD,1.1", narrow)), "other: EURUSD");
}

// Gives its text, then blocks as an open pipe does until released. It lives
// as long as the program, since the feed may leave its reading thread behind.
class OpenInput : public std::streambuf {
public:
    void serve(const std::string& text) {
        const std::lock_guard lock(mutex_);
        text_ = text;
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }
    void release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

protected:
    int_type underflow() override {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return released_; });
        return traits_type::eof();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
    bool released_ = false;
};

class StdinFeed : public Feed {
protected:
    StdinFeed() { options_.source = FeedSource::Stdin; }

    int run(std::istream& input, const StopFlag& stop) {
        std::ostringstream err;
        const int status = runFeed(options_, stop, err, input);
        error_ = err.str();
        return status;
    }
    int run(const std::string& text) {
        std::istringstream input(text);
        return run(input, StopFlag{0});
    }
    bool has(const std::string& text) const { return error_.find(text) != std::string::npos; }
};

TEST_F(StdinFeed, WritesTheLatestPricesReportsBadLinesByNumberAndSumsUpAtTheEnd) {
    ASSERT_EQ(run("EURUSDm,1.08500\r\nGBPJPY,190.1,190.2\nnot a price line\rXAUUSD,2300\n"
                  "XAUUSD,2301\n\nEURUSD,abc\nEURUSD,1.0851\n"),
              0)
        << error_;
    EXPECT_EQ(realTime(EURUSD), "1.08510\r\n");
    EXPECT_EQ(realTime(GBPJPY), "190.100\r\n");
    EXPECT_FALSE(fs::exists(folder_ / realTimeFileNameOf(GBPUSD))) << "no price, no file";
    EXPECT_TRUE(has("stdin line 3: expected SYMBOL,PRICE")) << error_;
    EXPECT_TRUE(has("stdin line 4: XAUUSD is none of the fourteen pairs")) << error_;
    EXPECT_FALSE(has("line 5:")) << "another symbol is named once";
    EXPECT_TRUE(has("stdin line 7: \"abc\" is not a price; skipped")) << error_;
    EXPECT_TRUE(std::regex_search(error_, std::regex(R"(8 lines read, [2-3] prices written, 4 )"
                                                     R"(lines skipped\n$)")))
        << error_;
    EXPECT_EQ(run(""), 0);
    EXPECT_TRUE(has("0 lines read, 0 prices written, 0 lines skipped")) << error_;
}

TEST_F(StdinFeed, OnceEndsAfterTheFirstWriteAndAStopEndsAFeedWaitingForInput) {
    static OpenInput once;
    once.serve("EURUSD,1.1\n");
    std::istream onceInput(&once);
    options_.count = 1;
    EXPECT_EQ(run(onceInput, StopFlag{0}), 0) << error_;
    EXPECT_EQ(realTime(EURUSD), "1.10000\r\n");
    once.release();

    static OpenInput waiting;
    waiting.serve("EURUSD,1.2\n");
    std::istream waitingInput(&waiting);
    options_.count.reset();
    StopFlag stop{0};
    std::thread stopper([&] {
        while (readFile(folder_ / realTimeFileNameOf(EURUSD)) != "1.20000\r\n") {
            std::this_thread::yield();
        }
        stop = SIGTERM;
    });
    EXPECT_EQ(run(waitingInput, stop), 0) << error_;
    stopper.join();
    EXPECT_TRUE(has("1 lines read, 1 prices written, 0 lines skipped")) << error_;
    waiting.release();
}

} // namespace
} // namespace vz
