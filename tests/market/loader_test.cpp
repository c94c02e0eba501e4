#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/memory_files.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vz {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
constexpr Timeframe D1 = Timeframe::Daily, H4 = Timeframe::FourHour, H1 = Timeframe::OneHour;

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
    static std::string bars(int count, Timeframe timeframe, const char* lineEnd = "\r\n") {
        const std::string label = timeframe == D1 ? "2024.01.02," : "2024.01.02 04:00,";
        std::string bytes;
        for (int line = 0; line < count; ++line) {
            bytes += label + std::to_string(100 + line) + ".5,1.0" + lineEnd;
        }
        return bytes;
    }
    void writeAll(int lines) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            writeFile(realTimeFileName("", pair), "1.25");
            for (const Timeframe timeframe : ALL_TIMEFRAMES) {
                writeFile(historyFileName("", pair, timeframe), bars(lines, timeframe));
            }
        }
    }
    float price(Timeframe t, int pair, int i) const { return market.history.bar(t, pair, i).price; }
    // "Caption: text" of every message box, each checked for its style and owner.
    Lines boxes(int style) const {
        Lines shown;
        for (const MessageBoxRecord& box : ui.messageBoxes()) {
            EXPECT_TRUE(box.style == style && box.owner == host.windows.main) << box.text;
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }

    fs::path folder_ =
        fs::temp_directory_path() / ("vurezer-market-" + std::to_string(std::random_device{}()));
    StdFileSystem files;
    HeadlessUi ui;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
};

TEST_F(MarketFolder, LoadFillsRecordsExtentsAndLivePricesAndReportsEachMissingFile) {
    writeAll(20);
    writeFile("USDJPY_RT.csv", "-1");
    writeFile("EURUSD_H1.csv", "2024.01.02 04:00,x\r\n" + bars(30, H1));
    writeFile("GBPUSD_H4.csv", bars(25, H4));
    writeFile("GBPUSD.csv", bars(20, D1, "\r"));
    writeFile("GBPJPY.csv", bars(19, D1) + "2024.01.09,9.5");
    writeFile("EURJPY.csv", "2024.01.02,1.5,2" + std::string(300, '7') + "\r\n" + bars(19, D1));
    EXPECT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListedIndex, (std::array<int, 3>{20, 20, 0}));
    EXPECT_EQ((std::vector{price(D1, 0, 19), price(D1, 2, 19), price(D1, 6, 0), price(D1, 6, 1),
                           market.livePrices[0], market.livePrices[8]}),
              (std::vector{119.5F, 9.5F, 1.5F, 100.5F, 1.25F, -1.0F}));

    writeAll(600);
    ASSERT_TRUE(loadHistory(market, host));
    EXPECT_EQ(market.lastListed(D1), 498);
    EXPECT_EQ(price(D1, 0, 499), 0.0F);

    writeAll(10);
    for (const char* name : {"EURJPY_H1.csv", "GBPUSD_H4.csv", "NZDUSD.csv"}) {
        fs::remove(folder_ / name);
    }
    EXPECT_FALSE(loadHistory(market, host));
    EXPECT_EQ(boxes(MB_ERROR),
              (Lines{"File opening error: NZDUSD.csv history file could not be opened.",
                     "File opening error: GBPUSD.csv 4-Hour history file could not be opened.",
                     "File opening error: EURJPY.csv 1-Hour history file could not be opened."}));
    // The unopened file keeps its records; every reloaded one is cut to the new length.
    EXPECT_EQ(price(H4, 0, 39), 139.5F);
    EXPECT_EQ(market.history.bar(H4, 1, 10).text, "");
    EXPECT_EQ(market.lastListed(H4), 10);
}

TEST_F(MarketFolder, RealTimeAcceptsOnlyPricesStrictlyBetweenZeroAnd500) {
    const std::vector<std::pair<std::string, float>> cases = {
        {"499.99\r", 499.99F}, {"500", 7.0F}, {"0.0001", 0.0001F}, {"0", 7.0F},      {"-3.5", 7.0F},
        {"word", 7.0F},        {"", 7.0F},    {"1.5,2.5", 1.5F},   {" 1.5E2", 1.5F}, {"\n42", 7.0F},
        {"12.25\n13", 12.25F}, {"1e9", 1.0F}, {"600.5", 7.0F},     {"no file", 7.0F}};
    market.livePrices.fill(7.0F);
    for (int pair = 0; pair + 1 < PAIR_COUNT; ++pair) {
        writeFile(realTimeFileName("", pair), cases[static_cast<std::size_t>(pair)].first);
    }
    readRealTimePrices(market, host);
    EXPECT_EQ(boxes(MB_INFORMATION), Lines{"Not Found: Realtime file not found: " +
                                           market.programFolder + "EURCHF_RT.csv"});
    for (std::size_t pair = 0; pair < cases.size(); ++pair) {
        EXPECT_EQ(market.livePrices[pair], cases[pair].second) << cases[pair].first;
    }
}

#ifndef _WIN32
// The history files and real-time files of a folder were pipes, a folder and
// a device: each used to hold the program in open() until another program
// wrote to it; now each is a file that cannot be opened.
TEST_F(MarketFolder, PipesFoldersAndDevicesNeverHoldTheLoaderOrTheTick) {
    writeAll(5);
    const std::vector<fs::path> pipes = {folder_ / "GBPUSD_RT.csv", folder_ / "EURGBP_H4.csv"};
    for (const fs::path& pipe : pipes) {
        fs::remove(pipe);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    }
    fs::remove(folder_ / "GBPJPY_RT.csv");
    fs::create_directory(folder_ / "GBPJPY_RT.csv");
    fs::remove(folder_ / "USDCHF_RT.csv");
    fs::create_symlink("/dev/zero", folder_ / "USDCHF_RT.csv");
    market.livePrices.fill(7.0F);
    auto run = std::async(std::launch::async, [&] {
        const bool loaded = loadHistory(market, host);
        readRealTimePrices(market, host);
        return loaded;
    });
    if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let every stuck open through (a writer that comes and goes), then fail.
        while (run.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            for (const fs::path& pipe : pipes) {
                ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
            }
        }
        FAIL() << "a pipe held the loader";
    }
    EXPECT_FALSE(run.get());
    Lines shown;
    for (const MessageBoxRecord& box : ui.messageBoxes()) {
        shown.push_back(box.caption + ": " + box.text.substr(box.text.rfind('/') + 1));
    }
    EXPECT_EQ(shown,
              (Lines{"File opening error: EURGBP.csv 4-Hour history file could not be opened.",
                     "Not Found: GBPUSD_RT.csv", "Not Found: GBPJPY_RT.csv",
                     "Not Found: USDCHF_RT.csv"}));
    EXPECT_EQ(market.livePrices[0], 7.0F);
    EXPECT_EQ(market.livePrices[1], 1.25F);
}
#endif

class MemoryMarket : public ::testing::Test {
protected:
    MemoryMarket() {
        market.programFolder = "/program/";
        host.windows.main = ui.openWindow(0, 0, 400, 300, 0, "Main", {});
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            files.put(realTimeFileName(market.programFolder, pair), "1.25\r\n");
        }
        market.livePrices.fill(7.0F);
    }
    Lines linesOf(const std::string& bytes, std::size_t limit) {
        files.put("/lines.txt", bytes);
        auto file = files.openFile("/lines.txt", FileMode::Read);
        TextLineReader reader(*file, limit);
        Lines lines;
        for (std::string_view line; reader.next(line);) {
            lines.emplace_back(line);
        }
        return lines;
    }
    Lines byteReaderLinesOf(const std::string& bytes) {
        files.put("/lines.txt", bytes);
        auto file = files.openFile("/lines.txt", FileMode::Read);
        Lines lines;
        while (auto line = readTextLine(*file)) {
            lines.push_back(*line);
        }
        return lines;
    }

    MemoryFileSystem files;
    HeadlessUi ui;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
};

TEST_F(MemoryMarket, EachLineEndStyleEndsOneLineAndTheBlockReaderEndsLinesWhereTheByteReaderDoes) {
    const std::size_t block = TextLineReader::BLOCK_BYTES;
    const std::vector<std::string> inputs = {
        "a\r\nb\rc\n\rd\r\re",
        "a\n\n",
        "",
        "\r",
        "x\r",
        std::string(block - 1, 'a') + "\r\nb",   // CR LF split across two blocks
        std::string(block - 1, 'c') + "\r\rz\n", // lone CR at a block's end
        std::string(block, 'd') + "\n" + std::string(block, 'e'),
    };
    for (const std::string& bytes : inputs) {
        EXPECT_EQ(linesOf(bytes, 1 << 20), byteReaderLinesOf(bytes)) << bytes.substr(0, 20);
    }
    EXPECT_EQ(byteReaderLinesOf("a\r\nb\rc\n\rd\r\re"), (Lines{"a", "b", "c", "", "d", "", "e"}));
    EXPECT_EQ(byteReaderLinesOf("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(byteReaderLinesOf(""), Lines{});
}

TEST_F(MemoryMarket, BlockReaderCutsAnOverlongLineAndGoesOnWithTheNext) {
    EXPECT_EQ(linesOf(std::string(40000, '7') + "\r\nnext\r\n", 4096),
              (Lines{std::string(4096, '7'), "next"}));
    EXPECT_EQ(linesOf("abcdef\r\nxy\rlong line\n", 4), (Lines{"abcd", "xy", "long"}));
}

// A real-time file of one 50 MB line used to be read whole on every tick.
// Now the first line is looked at up to a few KiB; a longer one is a bad
// value and the pair keeps its price, at load time too.
TEST_F(MemoryMarket, AFirstLineTooLongForAPriceIsABadValueAndIsNotReadWhole) {
    files.put(realTimeFileName(market.programFolder, 0),
              "1.5" + std::string(50 * 1024 * 1024, '0'));
    const std::string fits = "2.5" + std::string(REAL_TIME_LINE_LIMIT - 3, '0');
    files.put(realTimeFileName(market.programFolder, 1), fits + "\r\n3");
    files.put(realTimeFileName(market.programFolder, 2), fits + "0\r\n3");
    files.put(realTimeFileName(market.programFolder, 3), fits);

    readRealTimePrices(market, host);
    const std::array<float, 4> expected = {7.0F, 2.5F, 7.0F, 2.5F};
    EXPECT_EQ((std::array<float, 4>{market.livePrices[0], market.livePrices[1],
                                    market.livePrices[2], market.livePrices[3]}),
              expected);
    EXPECT_EQ(market.livePrices[4], 1.25F);
    EXPECT_LT(files.bytesRead(), std::size_t{64 * 1024});

    market.livePrices.fill(7.0F);
    loadHistory(market, host);
    EXPECT_EQ(market.livePrices[0], 7.0F);
    EXPECT_EQ(market.livePrices[1], 2.5F);
    EXPECT_LT(files.bytesRead(), std::size_t{128 * 1024});
}

} // namespace
} // namespace vz
