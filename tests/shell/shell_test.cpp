#include "shell_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz::testing {
namespace {

using StartUpTest = ShellTest;

TEST_F(StartUpTest, FreshStartShowsFilledListsAndLockedControlsThenADayPickRanks) {
    // Five daily lines: the list ends with the empty record after the data.
    EXPECT_EQ(control(main, 3).items[4] + "|" + control(main, 3).items[5], "01-09-2026|");
    EXPECT_EQ(text(main, 44) + " " + lists(), "0 6:-1 6:-1 6:-1 6:-1 5:-1 4:-1");
    EXPECT_EQ(switches(), "RT:off AL:off Buy:off Sell:off Close:off Clear:off MTF:on");
    EXPECT_TRUE(ui.timers().empty() && ui.messageBoxes().empty() && app.shell.appRunning == 1);
    EXPECT_TRUE(visible(main) && !visible(mtf) && !visible(options));
    EXPECT_TRUE(menuChecked(22) && ui.menuItem(main, 31)->greyed && ui.menuItem(main, 36)->greyed);

    pick(main, 3, 2);
    EXPECT_EQ(newestLog() + " " + switches(), "New Reference date: 01-07-2026 " + DAY_PICKED);
    // Live prices are those of the load (line 0), 20 pips below day 2 everywhere.
    EXPECT_EQ(text(main, 5) + text(main, 20) + "/" + text(main, 33), "EURUSD 20/ -20");
    EXPECT_TRUE(control(main, 5).backgroundColour == SECOND_GROUP_COLOUR &&
                control(main, 18).backgroundColour == FIRST_GROUP_COLOUR);
}

struct MissingDailyFileTest : ShellTest {
    void SetUp() override {
        folder.remove("GBPUSD.csv");
        ShellTest::SetUp();
    }
};

TEST_F(MissingDailyFileTest, ReportsOnceFinishesStartUpAndEndsAfterOnePass) {
    EXPECT_EQ(boxes(), "File opening error: GBPUSD.csv history file could not be opened.");
    EXPECT_EQ(lists(), "1:-1 1:-1 1:-1 1:-1 5:-1 4:-1"); // GBPUSD has no daily data
    EXPECT_EQ(newestLog(9), "Started VU Vurezer");
    int waits = 0;
    ui.setIdleHook([&] { ++waits; });
    runEventLoop(app);
    EXPECT_EQ(waits, 1);
}

// A fresh toolkit hands out the same window handles as the fixture's.
TEST_F(StartUpTest, QuitAndCloseBoxEndWithCodeZeroClosingMainOptionsMultiTimeframeThenChart) {
    for (const bool quit : {true, false}) {
        HeadlessUi fresh;
        Host host{fresh, files, clock};
        fresh.setIdleHook([&] { quit ? fresh.pickMenu(main, 4) : fresh.requestClose(main); });
        EXPECT_EQ(runVurezer(host, folder.path()), 0) << quit;
        EXPECT_EQ(fresh.closedWindows(), (std::vector{main, options, mtf, app.chart.window}))
            << quit;
    }
}

using MainWindowTest = ShellTest;

TEST_F(MainWindowTest, SwappedRowsGetArrowsAndAnUnmovedRowKeepsItsArrow) {
    setDescendingPips();
    startRealTime();
    tick();
    EXPECT_EQ(arrows(), "");
    folder.setLivePips(3, 20); // the pairs in rows 3 and 4 swap places
    folder.setLivePips(4, 30);
    tick();
    EXPECT_EQ(text(main, 8) + " " + arrows(), "NZDUSD 3:up 4:down");
    folder.setLivePips(9, -40);
    folder.setLivePips(10, -30);
    tick();
    EXPECT_EQ(arrows(), "3:up 4:down 9:up 10:down");
    const std::string log = newestLog(3);
    pick(main, 3, 0); // the day already shown: no new pick
    EXPECT_EQ(arrows() + " | " + newestLog(3), "3:up 4:down 9:up 10:down | " + log);
    EXPECT_TRUE(!app.ranking.topAnchorPair.empty() &&
                app.ranking.previousRefBias != NO_PREVIOUS_BIAS);
    pick(main, 3, 1); // a new day erases every cell
    EXPECT_EQ(arrows(), "");
}

TEST_F(MainWindowTest, TickCountsPeriodicBiasEntryAndShorterIntervalFiringAtOnce) {
    startRealTime();
    app.shell.tickInProgress = true; // a tick arriving during a tick is dropped
    tick();
    app.shell.tickInProgress = false;
    click(main, 40);
    folder.setLivePips(0, 12);
    tick(61);
    // 61 counted, none dropped, and no periodic entry yet.
    EXPECT_EQ(std::to_string(app.shell.biasLogTickCount) + text(main, 44) + "/" + newestLog(),
              "61 12/Ref. Bias =  0");
    menu(25);
    tick();
    EXPECT_EQ(newestLog(2) + std::to_string(app.shell.biasLogTickCount),
              "RB =  12 BB =  12 AB =  12 | Buy Profit:  12 pips.0");
    menu(22);
    EXPECT_TRUE(menuChecked(22) && !menuChecked(25) && !menuChecked(20) &&
                app.shell.biasLogIntervalTicks == 900);
}

TEST_F(MainWindowTest,
       ActiveLoggerWritesTheListedDayAndStopsWithRealTimeModeButTheBiasLogCountGoesOn) {
    startRealTime();
    click(main, 51);
    tick(60);
    const std::string log = readFile(folder.file("12-06-2026_AL.csv"));
    EXPECT_TRUE(log.find("\n14:30:00,") < log.find(",01-05-2026\r\n")) << log;
    tick(3);
    click(main, 1);
    EXPECT_FALSE(ui.timerRunning(main, 1) || app.shell.realTimeMode ||
                 app.shell.activeLoggerEnabled);
    EXPECT_EQ(switches(), DAY_PICKED);
    click(main, 1);
    EXPECT_EQ(switches(), TRADING);
    EXPECT_EQ(app.shell.activeLoggerTickCount, 3);
    // The bias log's count keeps its value through Real-Time Mode off and on.
    EXPECT_EQ(app.shell.biasLogTickCount, 63);
    tick();
    EXPECT_EQ(app.shell.biasLogTickCount, 64);
}

TEST_F(MainWindowTest, StatusLinesAndBasketIdleOpenClosedIdle) {
    folder.setLivePips(0, 12);
    folder.setLivePips(PAIR_COUNT - 1, -3);
    startRealTime();
    tick();
    const int places[][2] = {{25, 70}, {25, 85}, {25, 100}, {25, 120}, {200, 70}, {200, 85}};
    EXPECT_EQ(each(
                  0, 5, [&](int i) { return ui.textAt(main, places[i][0], places[i][1]); }, "|"),
              "Ref. Bias:  15    |Anchor Bias:  9      |Basket Bias:  9      |Time: 14:30:00|"
              "Buy Power:  12     |Sell Power:  -3      ");
    click(main, 41); // opening logs the figures of the last pass
    EXPECT_EQ(newestLog(2) + " " + switches(),
              "SELL - Basket Bias:  9  Anchor Bias:  9 | Ref. Bias =  15 "
              "RT[x]:off AL:on Buy:off Sell:off Close:on Clear:off MTF:on");
    folder.setLivePips(0, -8); // GBPUSD 20 pips lower
    tick();
    pick(main, 3, 1); // a new day must not unlock Real-Time Mode under the open basket
    click(main, 42);
    EXPECT_EQ(newestLog() + " " + switches(),
              "Basket Profit:  20 RT[x]:off AL:on Buy:off Sell:off Close:off Clear:on MTF:on");
    folder.setLivePips(0, -20);
    tick();
    EXPECT_EQ(text(main, 44), " 20");
    click(main, 43);
    EXPECT_EQ(text(main, 44) + switches(), TRADING);
    EXPECT_EQ(ui.textAt(main, 210, 199), std::string(24, ' '));
}

TEST_F(MainWindowTest, ColumnPickRecomputesOnlyThatColumn) {
    setDescendingPips();
    click(main, 50);
    EXPECT_TRUE(visible(mtf));
    pick(mtf, 13, 0);
    // Live prices of the load sit at line 0, the column's reference.
    EXPECT_EQ(text(mtf, 140) + text(mtf, 160) + "/" + ui.textAt(mtf, 535, 396),
              "GBPUSD 0/Ref. Bias:  0    ");
    EXPECT_EQ(text(mtf, 20) + text(mtf, 180) + "/" + ui.textAt(mtf, 25, 396), "Pair1Pair1/");
    act(&HeadlessUi::requestClose, mtf);
    EXPECT_FALSE(visible(mtf));
    startRealTime();
    tick();
    EXPECT_EQ(text(mtf, 160) + "/" + text(mtf, 20), " 60/Pair1");
}

TEST_F(MainWindowTest, ReloadAnsweredNoChangesNothingYesClearsEveryColumn) {
    startRealTime();
    click(main, 50);
    pick(mtf, 10, 2);
    pick(mtf, 14, 1);
    folder.writeAll({.dailyLines = 8, .fourHourLines = 7, .oneHourLines = 6});
    ui.queueMessageBoxAnswer(ANSWER_NO);
    menu(1);
    EXPECT_EQ(boxes(), "Reload arrays?: You will be reloading your history arrays.\rYou will need "
                       "to setup your columns again.\rAre you sure you want to do this?");
    EXPECT_EQ(ui.messageBoxes()[0].style, MB_QUESTION_YES_NO);
    EXPECT_EQ(lists() + " " + text(mtf, 20), "6:0 6:2 6:-1 6:-1 5:-1 4:1 EURUSD");
    ui.queueMessageBoxAnswer(ANSWER_YES);
    menu(1);
    EXPECT_EQ(lists(), "9:-1 9:-1 9:-1 9:-1 8:-1 7:-1");
    for (const TimeframeColumn& column : app.columns) {
        EXPECT_TRUE(column.referenceIndex == NO_REFERENCE && column.markerState == 99);
    }
    const auto uncleared = [&](int id) {
        const ControlState* box = ui.control(mtf, id);
        const bool blank = !box || (box->text.empty() && box->textColour == BLACK &&
                                    box->backgroundColour == WHITE);
        return blank ? "" : std::to_string(id);
    };
    EXPECT_EQ(each(20, 213, uncleared), "");
    EXPECT_TRUE(ui.timerRunning(main, 1) && app.shell.realTimeMode == 1);
    tick(); // the main ranking goes on, the columns stay blank
    EXPECT_EQ(text(mtf, 20) + "/" + text(main, 5), "/GBPUSD");
}

// Exit checks the pair alert; the close box does not, and the run goes on.
TEST_F(MainWindowTest, OptionsCloseBoxOnlyHidesEvenWithAnIncompletePairAlert) {
    startRealTime();
    menu(35);
    ui.queueFileAnswer("");
    click(options, 8);
    act(&HeadlessUi::requestClose, options);
    EXPECT_FALSE(visible(options));
    EXPECT_TRUE(ui.messageBoxes().empty() && control(options, 8).checked);
    tick();
    EXPECT_TRUE(app.shell.appRunning == 1 && ui.timerRunning(main, 1) &&
                app.shell.biasLogTickCount == 1);
}

} // namespace
} // namespace vz::testing
