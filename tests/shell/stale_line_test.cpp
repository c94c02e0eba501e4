#include "history_folder.h"

#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/stamped_files.h"
#include "shell/main_handler.h"
#include "shell/startup.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vz::testing {
namespace {

constexpr std::int64_t NS = 1'000'000'000;
constexpr int REAL_TIME_BOX_ID = 1, DAY_LIST = 3, LOG_LIST = 46;
const LocalTime WEDNESDAY{2026, 12, 9, 14, 0, 0};

// The program on the headless toolkit, over real files whose modification
// times the test sets, with a clock that moves only when told.
struct StaleLineTest : ::testing::Test {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem disk;
    StampedFileSystem files{disk};
    FixedClock clock{WEDNESDAY};
    App app{Host{ui, files, clock}};
    WindowHandle& main = app.host.windows.main;

    void SetUp() override {
        startUp(app, folder.path());
        stampAll();
        ui.pickListItem(main, DAY_LIST, 0);
        ui.dispatchPending();
        ui.clickButton(main, REAL_TIME_BOX_ID);
        ui.dispatchPending();
    }
    // Every real-time file written now, or all but one.
    void stampAll(int except = -1) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            if (pair != except) {
                files.setModifiedTime(folder.file(std::string(PAIR_TABLE[pair]) + "_RT.csv"),
                                      clock.utcSeconds() * NS);
            }
        }
    }
    void tickAfter(int seconds) {
        clock.advanceSeconds(seconds);
        ui.fireTimers(main);
        ui.dispatchPending();
    }
    // The text at the stale line's place with blanks trimmed, "" for none.
    std::string staleLine() {
        const std::string text = ui.textAt(main, STALE_LINE_X, STALE_LINE_Y);
        const auto end = text.find_last_not_of(' ');
        return end == std::string::npos ? "" : text.substr(0, end + 1);
    }
    Colour staleLineColour() {
        for (const DrawnText& text : ui.window(main)->texts) {
            if (text.x == STALE_LINE_X && text.y == STALE_LINE_Y) {
                return text.colour;
            }
        }
        return WHITE;
    }
    std::string newestLog(int row = 0) { return ui.reportGetCell(main, LOG_LIST, row, 2); }
};

TEST_F(StaleLineTest, AMinuteWithoutChangesShowsARedLineAndLogsOnceUntilPricesMove) {
    tickAfter(1);
    EXPECT_EQ(staleLine(), "");
    EXPECT_EQ(newestLog(), "New Reference date: 01-05-2026");
    tickAfter(59);
    EXPECT_EQ(staleLine(), "Prices stale since 14:00:00");
    EXPECT_EQ(staleLineColour(), STALE_LINE_COLOUR);
    EXPECT_EQ(ui.textAt(main, 25, 120), "Time: 14:01:00") << "the status lines go on";
    tickAfter(30);
    EXPECT_EQ(newestLog(0) + " | " + newestLog(1),
              "Prices stale since 14:00:00 | New Reference date: 01-05-2026");
    stampAll();
    tickAfter(1);
    EXPECT_EQ(staleLine(), "");
    EXPECT_EQ(newestLog(0) + " | " + newestLog(1),
              "Prices live again | Prices stale since 14:00:00");
}

TEST_F(StaleLineTest, WeekendShowsMarketClosedAndAReplayTickNeverLooks) {
    clock.set({2026, 12, 12, 15, 0, 0}); // Saturday
    stampAll();
    tickAfter(1);
    tickAfter(600);
    EXPECT_EQ(staleLine(), "Market closed");
    EXPECT_EQ(newestLog(), "New Reference date: 01-05-2026");
    clock.set(WEDNESDAY);
    ui.clickButton(main, REAL_TIME_BOX_ID);
    ui.dispatchPending();
    clock.advanceSeconds(3600);
    runRealTimeTick(app, PriceSource::AlreadyApplied);
    EXPECT_EQ(staleLine(), "");
    EXPECT_EQ(newestLog(), "New Reference date: 01-05-2026");
}

#ifdef VUREZER_FEED_BINARY
// The feed binary writes the folder's real-time files from a pipe, stops, and
// starts again. The test clock stands before the files' real times, so each
// file counts as changed when the program first sees it and from then on by
// the clock that sees it change.
TEST(FeedAndProgram, StoppedFeedShowsStaleAfterAMinuteOfTestClockAndResumedFeedLive) {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock({2024, 6, 12, 14, 0, 0}); // a Wednesday
    App app{Host{ui, files, clock}};
    const auto feed = [&folder](const std::string& lines) {
        const std::string command = std::string("'") + VUREZER_FEED_BINARY + "' --folder '" +
                                    folder.path() + "' --source stdin --interval-ms 1 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "w");
        ASSERT_NE(pipe, nullptr);
        std::fputs(lines.c_str(), pipe);
        EXPECT_EQ(::pclose(pipe), 0);
    };
    std::string prices;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        prices += std::string(PAIR_TABLE[pair]) + (pipFactor(pair) == 100 ? ",100.5\n" : ",1.05\n");
    }
    feed(prices);
    // Back-dated, so that the resumed feed's write shows as a change even on
    // a file system that keeps whole seconds.
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        std::filesystem::last_write_time(folder.file(std::string(PAIR_TABLE[pair]) + "_RT.csv"),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::seconds(10));
    }
    startUp(app, folder.path());
    const WindowHandle main = app.host.windows.main;
    ui.pickListItem(main, DAY_LIST, 0);
    ui.dispatchPending();
    ui.clickButton(main, REAL_TIME_BOX_ID);
    ui.dispatchPending();
    const auto tickAfter = [&](int seconds) {
        clock.advanceSeconds(seconds);
        ui.fireTimers(main);
        ui.dispatchPending();
        return ui.textAt(main, STALE_LINE_X, STALE_LINE_Y);
    };
    EXPECT_EQ(tickAfter(1), "");
    EXPECT_EQ(tickAfter(59), "") << "59 seconds";
    EXPECT_EQ(tickAfter(1), "Prices stale since 14:00:01");
    EXPECT_EQ(ui.reportGetCell(main, LOG_LIST, 0, 2), "Prices stale since 14:00:01");
    feed("EURUSD,1.0502\n");
    EXPECT_EQ(tickAfter(1), std::string(27, ' '));
    EXPECT_EQ(ui.reportGetCell(main, LOG_LIST, 0, 2), "Prices live again");
    EXPECT_EQ(app.market.livePrices[7], 1.0502F);
}
#endif

} // namespace
} // namespace vz::testing
