#include "tools/feed/feed_run.h"
#include "tools/feed/stdin_lines.h"

#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vz {
namespace {

constexpr std::size_t GBPUSD = 0, GBPJPY = 2, EURUSD = 7;

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
        {"EURUSD,1.085", "prices EURUSD=1.085"},
        {"eurusdm, 1.085 \r", "prices EURUSD=1.085"},
        {"EURUSD.pro,1.085e0", "prices EURUSD=1.085"},
        {"GBPJPY,190.1,190.2", "prices GBPJPY=190.1"},
        {" \t", "blank"},
        {"", "blank"},
        {"\r", "blank"},
        {"XAUUSD,2300.5", "other: XAUUSD"},
        {"\x01\xff,1", "other: ??"},
        {"EURUSD,abc", "bad: \"abc\" is not a price"},
        {"EURUSD,1.08,", "bad: \"\" is not a price"},
        {"EURUSD,nan", "bad: \"nan\" is not a price"},
        {"EURUSD,1.08 x", "bad: \"1.08 x\" is not a price"},
        {"EURUSD,0", "bad: 0 for EURUSD is not a price between 0 and 500"},
        {"USDJPY,499.9999", "bad: 499.9999 for USDJPY is not a price between 0 and 500"},
        {"EURUSD,-1.08", "bad: -1.08 for EURUSD is not a price between 0 and 500"},
        {",1.08", "bad: the symbol is missing"},
        {"EURUSD", "bad: expected SYMBOL,PRICE or SYMBOL,BID,ASK or a label and fourteen prices, "
                   "found 1 fields"},
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
    const std::string longSymbol(100, 'Q');
    EXPECT_EQ(describe(parseStdinLine(longSymbol + ",1", {})),
              "other: " + longSymbol.substr(0, 24) + "...");
    // A prefix or suffix narrows the match.
    const SymbolMatch narrow{"m.", "-x"};
    EXPECT_EQ(describe(parseStdinLine("M.eurusd-X,1.1", narrow)), "prices EURUSD=1.1");
    EXPECT_EQ(describe(parseStdinLine("EURUSD,1.1", narrow)), "other: EURUSD");
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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

class StdinFeed : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("vurezer-stdin-test-" + std::string(test->name()) +
                                               "-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        options_.folder = folder_.string();
        options_.source = FeedSource::Stdin;
        options_.intervalMs = 1;
    }
    void TearDown() override { fs::remove_all(folder_); }

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
    std::string realTime(std::size_t pair) const {
        return readFile(folder_ / realTimeFileNameOf(static_cast<int>(pair)));
    }
    bool has(const std::string& text) const { return error_.find(text) != std::string::npos; }

    fs::path folder_;
    FeedOptions options_;
    std::string error_;
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

TEST_F(StdinFeed, CommandLineTakesPrefixAndSuffixWithStdinOnly) {
    const FeedCommand command = parseFeedCommand(
        {"--folder", "d", "--source", "stdin", "--prefix", "m.", "--suffix", ".pro", "--once"});
    EXPECT_TRUE(command.error.empty()) << command.error;
    EXPECT_EQ(command.options.source, FeedSource::Stdin);
    EXPECT_EQ(command.options.prefix + "|" + command.options.suffix, "m.|.pro");
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--folder", "d", "--prefix", "m."},
          {"--folder", "d", "--source", "ticks", "t", "--suffix", "x"},
          {"--folder", "d", "--source", "stdin", "--loop"},
          {"--folder", "d", "--source", "stdin", "--prefix"}}) {
        EXPECT_FALSE(parseFeedCommand(bad).error.empty()) << bad.back();
    }
}

} // namespace
} // namespace vz
