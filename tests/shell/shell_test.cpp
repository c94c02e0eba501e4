#include "history_folder.h"

#include "engine/columns.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/palette.h"
#include "shell/app.h"
#include "shell/main_handler.h"
#include "shell/main_window.h"
#include "shell/startup.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz::testing {
namespace {

using Texts = std::vector<std::string>;

const std::vector<int> DESCENDING = {60, 50, 40, 30, 20, 10, 0, -10, -20, -30, -40, -50, -60, -70};

// The first and last pairs at the given pips, every other pair at 0.
std::vector<int> endPips(int first, int last = 0) {
    std::vector<int> pips(PAIR_COUNT, 0);
    pips.front() = first;
    pips.back() = last;
    return pips;
}

// The program started on the headless toolkit over a generated folder.
struct ShellTest : ::testing::Test {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    App app{Host{ui, files, clock}};
    WindowHandle &main = app.host.windows.main, &mtf = app.host.windows.multiTimeframe,
                 &options = app.host.windows.options;

    void SetUp() override { startUp(app, folder.path()); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    const ControlState& control(WindowHandle window, int id) { return *ui.control(window, id); }
    bool enabled(int id) { return control(main, id).enabled; }
    // The newest `count` event-log descriptions, oldest first.
    Texts newestLogRows(int count = 1000) {
        Texts rows;
        for (int row = std::min(count, ui.reportRowCount(main, 46)) - 1; row >= 0; --row) {
            rows.push_back(ui.reportGetCell(main, 46, row, 2));
        }
        return rows;
    }

    void settle() { ui.dispatchPending(); }
    void pick(WindowHandle window, int list, int index) {
        ui.pickListItem(window, list, index);
        settle();
    }
    void toggle(WindowHandle window, int id) {
        ui.toggleCheckBox(window, id);
        settle();
    }
    void click(WindowHandle window, int id) {
        ui.clickButton(window, id);
        settle();
    }
    void menu(int id) {
        ui.pickMenu(main, id);
        settle();
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            ui.fireTimers(main);
            settle();
        }
    }
    // Reference day 0 picked and Real-Time Mode on.
    void startRealTime() {
        pick(main, 3, 0);
        toggle(main, 1);
    }
    // Live prices showing these pips against day 0 on the next ticks.
    void setPips(const std::vector<int>& pips) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, pips[static_cast<std::size_t>(pair)]);
        }
    }
};

using StartUpTest = ShellTest;

TEST_F(StartUpTest, FreshStartShowsCaptionsFilledListsAndLockedControls) {
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(text(main, 5 + row), "Pair" + std::to_string(row + 1));
        EXPECT_EQ(text(main, 20 + row), "Price" + std::to_string(row + 1));
    }
    EXPECT_EQ(text(main, 44), "0");
    // Five daily lines: the list ends with the empty record after the data.
    const ControlState& days = control(main, 3);
    EXPECT_EQ(days.items,
              (Texts{"01-05-2026", "01-06-2026", "01-07-2026", "01-08-2026", "01-09-2026", ""}));
    EXPECT_EQ(days.selection, -1);
    EXPECT_EQ(control(mtf, 14).items,
              (Texts{"01-05-2026 00:00", "01-05-2026 01:00", "01-05-2026 02:00", ""}));
    const std::size_t listSizes[] = {6, 6, 6, 5, 4}; // daily three times, 4-hour, 1-hour
    for (int list = 10; list <= 14; ++list) {
        EXPECT_EQ(control(mtf, list).items.size(), listSizes[list - 10]) << list;
        EXPECT_EQ(control(mtf, list).selection, -1);
    }
    for (int id : {1, 51, 40, 41, 42, 43}) {
        EXPECT_FALSE(control(main, id).checked || control(main, id).enabled) << id;
    }
    EXPECT_TRUE(enabled(50));
    EXPECT_EQ(newestLogRows(), Texts{"Started VU Vurezer"});
    EXPECT_TRUE(ui.timers().empty());
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(app.shell.appRunning, 1);

    EXPECT_EQ(ui.window(main)->caption, MAIN_WINDOW_CAPTION);
    EXPECT_EQ(ui.window(mtf)->caption, "Multi-Timeframe Slots");
    EXPECT_TRUE(ui.window(main)->visible && !ui.window(mtf)->visible &&
                !ui.window(options)->visible);
    EXPECT_TRUE(ui.menuItem(main, 22)->checked && ui.menuItem(main, 30)->checked);
    EXPECT_TRUE(ui.menuItem(main, 31)->greyed && ui.menuItem(main, 36)->greyed);
}

struct MissingDailyFileTest : ShellTest {
    void SetUp() override {
        folder.remove("GBPUSD.csv");
        ShellTest::SetUp();
    }
};

TEST_F(MissingDailyFileTest, ReportsOnceFinishesStartUpAndEndsAfterOnePass) {
    ASSERT_EQ(ui.messageBoxes().size(), 1U);
    EXPECT_EQ(ui.messageBoxes()[0].caption, "File opening error");
    EXPECT_EQ(ui.messageBoxes()[0].text, "GBPUSD.csv history file could not be opened.");
    EXPECT_EQ(control(main, 3).items.size(), 1U); // GBPUSD has no daily data
    EXPECT_EQ(control(mtf, 13).items.size(), 5U);
    EXPECT_EQ(newestLogRows(), Texts{"Started VU Vurezer"});
    int waits = 0;
    ui.setIdleHook([&] { ++waits; });
    runEventLoop(app);
    EXPECT_EQ(waits, 1);
}

using ShutdownTest = ShellTest;

TEST_F(ShutdownTest, QuitEndsTheLoopAndShutDownClosesAllWindowsInOrder) {
    const std::vector<WindowHandle> inOrder{main, options, mtf};
    ui.setIdleHook([&] { ui.pickMenu(main, 4); });
    runEventLoop(app);
    shutDown(app);
    EXPECT_EQ(ui.closedWindows(), inOrder);
}

TEST(RunVurezerTest, CloseBoxEndsTheProgramWithExitCodeZero) {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    const WindowHandle main{1}; // the first window opened
    ui.setIdleHook([&] { ui.requestClose(main); });
    EXPECT_EQ(runVurezer(host, folder.path()), 0);
    ASSERT_EQ(ui.closedWindows().size(), 3U);
    EXPECT_EQ(ui.closedWindows().front(), main);
}

using MainWindowTest = ShellTest;

TEST_F(MainWindowTest, DayPickRanksLogsAndUnlocksRealTimeMode) {
    pick(main, 3, 2);
    EXPECT_EQ(app.market.referenceDayIndex, 2);
    EXPECT_EQ(newestLogRows(1), Texts{"New Reference date: 01-07-2026"});
    EXPECT_TRUE(enabled(1));
    EXPECT_FALSE(enabled(51));
    // Live prices are those of the load (line 0), 20 pips below day 2 everywhere.
    EXPECT_EQ(text(main, 5), "EURUSD");
    EXPECT_EQ(text(main, 20), " 20");
    EXPECT_EQ(text(main, 33), " -20");
    EXPECT_EQ(control(main, 5).backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(control(main, 18).backgroundColour, FIRST_GROUP_COLOUR);
}

TEST_F(MainWindowTest, SwappedRowsGetArrowsAndAnUnmovedRowKeepsItsArrow) {
    const auto arrowAt = [&](int row) {
        return ui.pixel(main, 10, MAIN_ROW_TOP + ROW_PITCH * row + 10);
    };
    setPips(DESCENDING);
    startRealTime();
    tick();
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(arrowAt(row), BACKGROUND_COLOUR) << row;
    }
    std::vector<int> swapped = DESCENDING;
    std::swap(swapped[3], swapped[4]);
    setPips(swapped);
    tick();
    EXPECT_EQ(text(main, 8), "NZDUSD");
    EXPECT_EQ((std::vector{arrowAt(2), arrowAt(3), arrowAt(4)}),
              (std::vector{BACKGROUND_COLOUR, UP_ARROW_COLOUR, DOWN_ARROW_COLOUR}));

    std::swap(swapped[9], swapped[10]);
    setPips(swapped);
    tick();
    EXPECT_EQ((std::vector{arrowAt(3), arrowAt(4), arrowAt(9)}),
              (std::vector{UP_ARROW_COLOUR, DOWN_ARROW_COLOUR, UP_ARROW_COLOUR}));
    pick(main, 3, 0); // a new day erases every cell
    EXPECT_EQ(arrowAt(3), BACKGROUND_COLOUR);
}

TEST_F(MainWindowTest, TickCountsPeriodicBiasEntryAndShorterIntervalFiringAtOnce) {
    startRealTime();
    app.shell.tickInProgress = true; // a tick arriving during a tick is dropped
    tick();
    app.shell.tickInProgress = false;
    click(main, 40);
    setPips(endPips(12));
    tick(61);
    EXPECT_EQ(app.shell.biasLogTickCount, 61);
    EXPECT_EQ(text(main, 44), " 12");
    EXPECT_EQ(newestLogRows(1), Texts{"Ref. Bias =  0"}); // no periodic entry yet
    menu(25);
    tick();
    EXPECT_EQ(newestLogRows(2), (Texts{"RB =  12 BB =  12 AB =  12", "Buy Profit:  12 pips."}));
    EXPECT_EQ(app.shell.biasLogTickCount, 0);

    menu(22);
    for (int id = 20; id <= 25; ++id) {
        EXPECT_EQ(ui.menuItem(main, id)->checked, id == 22) << id;
    }
    EXPECT_EQ(app.shell.biasLogIntervalTicks, 900);
}

TEST_F(MainWindowTest, ActiveLoggerWritesTheListedDayAndStopsWithRealTimeMode) {
    startRealTime();
    toggle(main, 51);
    tick(60);
    std::ifstream log(folder.file("12-06-2026_AL.csv"), std::ios::binary);
    std::string header, row;
    ASSERT_TRUE(std::getline(log, header) && std::getline(log, row));
    EXPECT_EQ(row.substr(0, 9), "14:30:00,");
    EXPECT_EQ(row.substr(row.size() - 12), ",01-05-2026\r");
    tick(3);
    EXPECT_EQ(app.shell.activeLoggerTickCount, 3);

    toggle(main, 1);
    EXPECT_EQ(app.shell.realTimeMode, 0);
    EXPECT_FALSE(ui.timerRunning(main, 1));
    EXPECT_EQ(app.shell.activeLoggerEnabled, 0);
    EXPECT_FALSE(control(main, 51).checked || enabled(51) || enabled(40) || enabled(41));
    toggle(main, 1);
    EXPECT_FALSE(control(main, 51).checked);
    EXPECT_TRUE(enabled(51));
    EXPECT_EQ(app.shell.activeLoggerTickCount, 3);
}

TEST_F(MainWindowTest, StatusLinesAndBasketIdleOpenClosedIdle) {
    setPips(endPips(12, -3));
    startRealTime();
    EXPECT_TRUE(ui.timerRunning(main, 1));
    EXPECT_TRUE(enabled(40) && enabled(41) && !enabled(42) && !enabled(43));
    tick();
    EXPECT_EQ(ui.textAt(main, 25, 70), "Ref. Bias:  15    ");
    EXPECT_EQ(ui.textAt(main, 25, 85), "Anchor Bias:  9      ");
    EXPECT_EQ(ui.textAt(main, 25, 100), "Basket Bias:  9      ");
    EXPECT_EQ(ui.textAt(main, 25, 120), "Time: 14:30:00");
    EXPECT_EQ(ui.textAt(main, 200, 70), "Buy Power:  12     ");
    EXPECT_EQ(ui.textAt(main, 200, 85), "Sell Power:  -3      ");
    // Opening logs the figures of the last pass.
    click(main, 41);
    EXPECT_EQ(newestLogRows(2),
              (Texts{"SELL - Basket Bias:  9  Anchor Bias:  9", "Ref. Bias =  15"}));
    EXPECT_TRUE(!enabled(40) && !enabled(41) && enabled(42) && !enabled(43) && !enabled(1));
    setPips(endPips(-8, -3)); // GBPUSD 20 pips lower
    tick();
    EXPECT_EQ(text(main, 44), " 20");

    click(main, 42);
    EXPECT_EQ(newestLogRows(1), Texts{"Basket Profit:  20"});
    EXPECT_TRUE(!enabled(40) && !enabled(42) && enabled(43) && !enabled(1));
    setPips(endPips(-20, -3));
    tick();
    EXPECT_EQ(text(main, 44), " 20");

    click(main, 43);
    EXPECT_EQ(text(main, 44), "");
    EXPECT_TRUE(enabled(40) && enabled(41) && !enabled(42) && !enabled(43) && enabled(1));
    EXPECT_EQ(ui.textAt(main, 210, 199), std::string(24, ' '));
}

TEST_F(MainWindowTest, ColumnPickRecomputesOnlyThatColumn) {
    setPips(DESCENDING);
    click(main, 50);
    EXPECT_TRUE(ui.window(mtf)->visible);
    pick(mtf, 13, 0);
    EXPECT_EQ(app.columns[3].referenceIndex, 0);
    // Live prices of the load sit at line 0, the column's reference.
    EXPECT_EQ(text(mtf, 140), "GBPUSD");
    EXPECT_EQ(text(mtf, 160), " 0");
    EXPECT_EQ(ui.textAt(mtf, 535, 396), "Ref. Bias:  0    ");
    EXPECT_EQ(text(mtf, 20), "Pair1");
    EXPECT_EQ(text(mtf, 180), "Pair1");
    EXPECT_EQ(ui.textAt(mtf, 25, 396), "");

    ui.requestClose(mtf);
    settle();
    EXPECT_FALSE(ui.window(mtf)->visible);
    startRealTime();
    tick();
    EXPECT_EQ(text(mtf, 160), " 60");
    EXPECT_EQ(text(mtf, 20), "Pair1");
}

TEST_F(MainWindowTest, ReloadAnsweredNoChangesNothingYesClearsEveryColumn) {
    startRealTime();
    pick(mtf, 10, 2);
    pick(mtf, 14, 1);
    folder.writeAll({.dailyLines = 8, .fourHourLines = 7, .oneHourLines = 6});
    ui.queueMessageBoxAnswer(ANSWER_NO);
    menu(1);
    ASSERT_EQ(ui.messageBoxes().size(), 1U);
    EXPECT_EQ(ui.messageBoxes()[0].caption, "Reload arrays?");
    EXPECT_EQ(ui.messageBoxes()[0].text,
              "You will be reloading your history arrays.\rYou will need to setup your columns "
              "again.\rAre you sure you want to do this?");
    EXPECT_EQ(ui.messageBoxes()[0].style, MB_QUESTION_YES_NO);
    EXPECT_EQ(control(main, 3).items.size(), 6U);
    EXPECT_EQ(app.columns[0].referenceIndex, 2);
    EXPECT_EQ(text(mtf, 20), "EURUSD");

    ui.queueMessageBoxAnswer(ANSWER_YES);
    menu(1);
    EXPECT_EQ(control(main, 3).items.size(), 9U);
    EXPECT_EQ(control(main, 3).selection, -1);
    EXPECT_EQ(control(mtf, 11).items.size(), 9U);
    EXPECT_EQ(control(mtf, 13).items.size(), 8U);
    EXPECT_EQ(control(mtf, 14).items.size(), 7U);
    for (const TimeframeColumn& column : app.columns) {
        EXPECT_EQ(column.referenceIndex, NO_REFERENCE);
        EXPECT_EQ(column.markerState, 99);
    }
    for (int id : {20, 33, 53, 60, 120, 193, 213}) {
        EXPECT_EQ(text(mtf, id), "") << id;
        EXPECT_EQ(control(mtf, id).textColour, BLACK);
        EXPECT_EQ(control(mtf, id).backgroundColour, WHITE);
    }
    // The timer keeps running, the main ranking goes on, the columns stay blank.
    tick();
    EXPECT_EQ(text(mtf, 20), "");
    EXPECT_EQ(text(main, 5), "GBPUSD");
}

TEST_F(MainWindowTest, OptionsExitWithPairAlertArmedButNothingChosenShowsBothMessages) {
    menu(35);
    ASSERT_TRUE(ui.window(options)->visible);
    ui.queueFileAnswer("");
    toggle(options, 8);
    click(options, 1);
    ASSERT_EQ(ui.messageBoxes().size(), 2U);
    EXPECT_EQ(ui.messageBoxes()[0].text, "Please Select a Pair or uncheck the box.");
    EXPECT_EQ(ui.messageBoxes()[1].text, "Please Select a Target Slot for the pair.");
    EXPECT_TRUE(ui.window(options)->visible);
    toggle(options, 8);
    click(options, 1);
    EXPECT_FALSE(ui.window(options)->visible);
}

} // namespace
} // namespace vz::testing
