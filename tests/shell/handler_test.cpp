#include "shell_fixture.h"

#include "shell/main_handler.h"

#include <gtest/gtest.h>
#include <string>

namespace vz::testing {
namespace {

const std::string START = "RT:off AL:off Buy:off Sell:off Close:off Clear:off MTF:on";

// Eight daily bars at start, so that a reload can shrink the history below
// a picked day.
struct ReloadTest : ShellTest {
    void SetUp() override {
        folder.writeAll({.dailyLines = 8, .fourHourLines = 4, .oneHourLines = 3});
        ShellTest::SetUp();
    }
    void reloadWith(int dailyLines) {
        folder.writeAll({.dailyLines = dailyLines, .fourHourLines = 4, .oneHourLines = 3});
        ui.queueMessageBoxAnswer(ANSWER_YES);
        menu(1);
    }
    int logRows() { return ui.reportRowCount(main, 46); }
};

TEST_F(ReloadTest, ShorterFilesEmptyTheListsByTheirEarlierCounts) {
    reloadWith(2);
    // Two bars and the blank record after them; nothing left over from before.
    EXPECT_EQ(lists(), "3:-1 3:-1 3:-1 3:-1 5:-1 4:-1");
    EXPECT_EQ(control(main, 3).items, (std::vector<std::string>{"01-05-2026", "01-06-2026", ""}));
    EXPECT_EQ(control(mtf, 12).items, control(main, 3).items);
}

TEST_F(ReloadTest, DayEmptiedByTheReloadIsDroppedAndRealTimeModeLockedAsAtStart) {
    setDescendingPips();
    pick(main, 3, 6);
    click(main, 1);
    click(main, 51);
    tick(3);
    const std::string rows = text(main, 5) + text(main, 20);
    const int rowsBefore = logRows();
    reloadWith(5);
    EXPECT_EQ(newestLog(), REFERENCE_DROPPED_ENTRY);
    EXPECT_EQ(logRows(), rowsBefore + 1); // no anchor or alert entries
    EXPECT_EQ(switches(), START);
    EXPECT_FALSE(ui.timerRunning(main, 1) || app.shell.realTimeMode ||
                 app.shell.activeLoggerEnabled);
    EXPECT_EQ(arrows(), "");
    EXPECT_EQ(text(main, 5) + text(main, 20), rows);
    EXPECT_EQ(activeLogSnapshot(app).referenceDay, "");
    pick(main, 3, 1); // a new pick works as at start
    EXPECT_EQ(switches(), DAY_PICKED);
}

TEST_F(ReloadTest, DayStillHeldKeepsRankingAndTheTimerRuns) {
    pick(main, 3, 3);
    click(main, 1);
    tick();
    reloadWith(5);
    EXPECT_EQ(newestLog(), "New Reference date: 01-08-2026");
    EXPECT_TRUE(ui.timerRunning(main, 1) && app.shell.realTimeMode == 1);
    tick();
    EXPECT_EQ(text(main, 33), " -30");
}

TEST_F(ReloadTest, OpenBasketKeepsItsTicksButTheyNoLongerRank) {
    pick(main, 3, 6);
    click(main, 1);
    click(main, 40);
    tick();
    const std::string rows = text(main, 5) + text(main, 20);
    reloadWith(5);
    EXPECT_EQ(newestLog(), REFERENCE_DROPPED_ENTRY);
    EXPECT_EQ(switches(), "RT[x]:off AL:on Buy:off Sell:off Close:on Clear:off MTF:on");
    folder.setLivePips(0, 15);
    tick();
    EXPECT_EQ(text(main, 5) + text(main, 20) + "|" + text(main, 44), rows + "| 15");
    EXPECT_EQ(newestLog(), REFERENCE_DROPPED_ENTRY);
    click(main, 42);
    click(main, 43); // once cleared, Real-Time Mode waits for a new pick
    EXPECT_EQ(switches(), START);
    EXPECT_FALSE(ui.timerRunning(main, 1));
}

using HandlerTest = ShellTest;

TEST_F(HandlerTest, RepickingTheShownColumnReferenceKeepsItsArrows) {
    setDescendingPips();
    startRealTime();
    click(main, 50);
    pick(mtf, 10, 0);
    tick();
    EXPECT_EQ(app.columns[0].markerState, 0);
    pick(mtf, 10, 0);
    EXPECT_EQ(app.columns[0].markerState, 0);
}

// Buy disables Real-Time Mode; the click on that box queued behind it must
// neither act nor stay visible.
TEST_F(HandlerTest, ClickDroppedBehindBuyLeavesRealTimeModeShownAsItIs) {
    startRealTime();
    ui.clickButton(main, 40);
    ui.clickButton(main, 1);
    ui.dispatchPending();
    EXPECT_EQ(switches(), "RT[x]:off AL:on Buy:off Sell:off Close:on Clear:off MTF:on");
    EXPECT_TRUE(app.shell.realTimeMode == 1 && ui.timerRunning(main, 1));
}

TEST_F(HandlerTest, PickWithRealTimeModeOffDrawsTheNewDaysStatusLines) {
    pick(main, 3, 2); // every pair 20 pips below day 2: the first half at -20 each
    EXPECT_EQ(ui.textAt(main, 25, 70) + "|" + ui.textAt(main, 200, 70) + "|" +
                  ui.textAt(main, 200, 85) + "|" + ui.textAt(main, 25, 85),
              "Ref. Bias:  -280    |Buy Power:  -140     |Sell Power:  140      |"
              "Anchor Bias:  0      ");
}

TEST_F(HandlerTest, ProfitBoxTakesNoTypingAndTheLogQuotesWhatTheProgramWrote) {
    startRealTime();
    click(main, 40);
    folder.setLivePips(0, 7);
    tick();
    ui.typeText(main, 44, " 9999");
    click(main, 42);
    EXPECT_EQ(newestLog(), "Basket Profit:  7");
}

// Step 4 logs the profit before step 7 refreshes it: the entry quotes what the
// previous tick left in the box.
TEST_F(HandlerTest, PeriodicEntryQuotesThePreviousTicksProfit) {
    startRealTime();
    click(main, 40);
    menu(25);
    tick(59);
    folder.setLivePips(0, 12);
    tick();
    EXPECT_EQ(newestLog(2) + "|" + text(main, 44),
              "RB =  12 BB =  12 AB =  12 | Buy Profit:  0 pips.| 12");
}

TEST_F(HandlerTest, FileMenuSaveAndClearLogGoThroughTheMainHandler) {
    menu(2);
    EXPECT_EQ(readFile(folder.file("12-06-2026_1430.txt")),
              "12-06-2026,14:30:00,Started VU Vurezer\r\n");
    ui.queueMessageBoxAnswer(ANSWER_NO);
    menu(3);
    EXPECT_EQ(newestLog(), "Started VU Vurezer");
    menu(3);
    EXPECT_EQ(ui.reportRowCount(main, 46), 0);
    EXPECT_EQ(boxes(), "Complete: Log file creation complete. | Clear Log: Are you sure you want "
                       "to clear your log? | Clear Log: Are you sure you want to clear your log?");
}

} // namespace
} // namespace vz::testing
