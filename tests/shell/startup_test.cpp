#include "shell_fixture.h"

#include "engine/columns.h"
#include "platform/palette.h"
#include "shell/main_window.h"

namespace vz::testing {
namespace {

using StartUpTest = ShellTest;

TEST_F(StartUpTest, FreshStartShowsCaptionsEmptySelectionsAndLockedControls) {
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(text(mainWindow(), 5 + row), "Pair" + std::to_string(row + 1));
        EXPECT_EQ(text(mainWindow(), 20 + row), "Price" + std::to_string(row + 1));
    }
    EXPECT_EQ(text(mainWindow(), 44), "0");
    // Five daily lines: the list ends with the empty record after the data.
    const ControlState& days = control(mainWindow(), 3);
    ASSERT_EQ(days.items.size(), 6U);
    EXPECT_EQ(days.items[0], "01-05-2026");
    EXPECT_EQ(days.items[4], "01-09-2026");
    EXPECT_EQ(days.items[5], "");
    EXPECT_EQ(days.selection, -1);
    for (int list : {10, 11, 12}) {
        EXPECT_EQ(control(mtfWindow(), list).items, days.items);
    }
    EXPECT_EQ(control(mtfWindow(), 13).items.size(), 5U);
    EXPECT_EQ(control(mtfWindow(), 14).items.size(), 4U);
    EXPECT_EQ(control(mtfWindow(), 14).items[0], "01-05-2026 00:00");
    for (int list = 10; list <= 14; ++list) {
        EXPECT_EQ(control(mtfWindow(), list).selection, -1);
    }
    for (int box : {1, 51}) {
        EXPECT_FALSE(control(mainWindow(), box).checked);
        EXPECT_FALSE(control(mainWindow(), box).enabled);
    }
    for (int button : {40, 41, 42, 43}) {
        EXPECT_FALSE(control(mainWindow(), button).enabled) << button;
    }
    EXPECT_TRUE(control(mainWindow(), 50).enabled);
    EXPECT_EQ(logRows(), std::vector<std::string>{"Started VU Vurezer"});
    EXPECT_TRUE(ui.timers().empty());
    EXPECT_EQ(app.shell.appRunning, 1);
    EXPECT_TRUE(ui.messageBoxes().empty());
}

TEST_F(StartUpTest, WindowsMenusAndDecorationsAreBuiltAsLaidOut) {
    const WindowState* main = ui.window(mainWindow());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->caption, "Orvex VU Vurezer - Tarvo Edition v20");
    EXPECT_TRUE(main->visible);
    EXPECT_EQ(main->width, 630);
    EXPECT_EQ(main->height, 535);
    const WindowState* mtf = ui.window(mtfWindow());
    ASSERT_NE(mtf, nullptr);
    EXPECT_EQ(mtf->caption, "Multi-Timeframe Slots");
    EXPECT_FALSE(mtf->visible);
    EXPECT_TRUE(mtf->centred);
    EXPECT_EQ(mtf->width, 875);
    ASSERT_NE(ui.window(optionsWindow()), nullptr);
    EXPECT_FALSE(ui.window(optionsWindow())->visible);

    EXPECT_EQ(control(mtfWindow(), 13).width, 118);
    EXPECT_EQ(control(mtfWindow(), 12).width, 108);
    EXPECT_EQ(text(mtfWindow(), 213), "Price14");
    EXPECT_EQ(control(mtfWindow(), 200).x, 775);

    EXPECT_EQ(ui.pixel(mainWindow(), 100, 306), BLACK);
    EXPECT_EQ(ui.pixel(mainWindow(), 200, 150), BLACK); // simulator frame
    EXPECT_EQ(ui.textAt(mainWindow(), 200, 112), "RT Trade Simulator");
    EXPECT_EQ(control(mainWindow(), 46).columns,
              (std::vector<std::string>{"Date", "Time", "Description"}));

    ASSERT_NE(ui.menuItem(mainWindow(), 22), nullptr);
    EXPECT_TRUE(ui.menuItem(mainWindow(), 22)->checked);
    EXPECT_TRUE(ui.menuItem(mainWindow(), 31)->greyed);
    EXPECT_TRUE(ui.menuItem(mainWindow(), 36)->greyed);
    EXPECT_TRUE(ui.menuItem(mainWindow(), 30)->checked);
}

class MissingDailyFileTest : public ShellTest {
protected:
    void SetUp() override {
        folder.remove("GBPUSD.csv");
        ShellTest::SetUp();
    }
};

TEST_F(MissingDailyFileTest, ReportsOnceFinishesStartUpAndEndsAfterOnePass) {
    ASSERT_EQ(ui.messageBoxes().size(), 1U);
    EXPECT_EQ(ui.messageBoxes()[0].caption, "File opening error");
    EXPECT_EQ(ui.messageBoxes()[0].text, "GBPUSD.csv history file could not be opened.");
    EXPECT_EQ(control(mainWindow(), 3).items.size(), 1U); // GBPUSD has no daily data
    EXPECT_EQ(control(mtfWindow(), 13).items.size(), 5U);
    EXPECT_EQ(logRows(), std::vector<std::string>{"Started VU Vurezer"});
    EXPECT_EQ(app.shell.appRunning, 0);

    int waits = 0;
    ui.setIdleHook([&] { ++waits; });
    runEventLoop(app);
    EXPECT_EQ(waits, 1);
}

using ShutdownTest = ShellTest;

TEST_F(ShutdownTest, QuitEndsTheLoopAndShutDownClosesAllWindowsInOrder) {
    const WindowSet windows = app.host.windows;
    ui.setIdleHook([&] { ui.pickMenu(windows.main, 4); });
    runEventLoop(app);
    EXPECT_EQ(app.shell.appRunning, 0);
    shutDown(app);
    const std::vector<WindowHandle> expected{windows.main, windows.options,
                                             windows.multiTimeframe};
    EXPECT_EQ(ui.closedWindows(), expected);
}

TEST(RunVurezerTest, CloseBoxEndsTheProgramWithExitCodeZero) {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    int waits = 0;
    // The main window is the first one opened.
    ui.setIdleHook([&] {
        ++waits;
        if (waits == 3) {
            ui.requestClose(WindowHandle{1});
        }
    });
    EXPECT_EQ(runVurezer(host, folder.path()), 0);
    EXPECT_EQ(waits, 3);
    const WindowState* main = ui.window(WindowHandle{1});
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->caption, MAIN_WINDOW_CAPTION);
    EXPECT_FALSE(main->open);
}

using ReloadTest = ShellTest;

TEST_F(ReloadTest, AnsweringNoChangesNothing) {
    pickDay(1);
    ui.pickListItem(mtfWindow(), 10, 2);
    settle();
    folder.writeAll({.dailyLines = 8, .fourHourLines = 8, .oneHourLines = 8});
    ui.queueMessageBoxAnswer(ANSWER_NO);
    menu(1);
    ASSERT_EQ(ui.messageBoxes().size(), 1U);
    EXPECT_EQ(ui.messageBoxes()[0].caption, "Reload arrays?");
    EXPECT_EQ(ui.messageBoxes()[0].text,
              "You will be reloading your history arrays.\rYou will need to setup your columns "
              "again.\rAre you sure you want to do this?");
    EXPECT_EQ(ui.messageBoxes()[0].style, MB_QUESTION_YES_NO);
    EXPECT_EQ(control(mainWindow(), 3).items.size(), 6U);
    EXPECT_EQ(app.columns[0].referenceIndex, 2);
    EXPECT_EQ(text(mtfWindow(), 20), "EURUSD");
}

TEST_F(ReloadTest, AnsweringYesRefillsListsAndClearsEveryColumn) {
    startRealTime();
    ui.pickListItem(mtfWindow(), 10, 2);
    ui.pickListItem(mtfWindow(), 14, 1);
    settle();
    folder.writeAll({.dailyLines = 8, .fourHourLines = 7, .oneHourLines = 6});
    ui.queueMessageBoxAnswer(ANSWER_YES);
    menu(1);

    EXPECT_EQ(control(mainWindow(), 3).items.size(), 9U);
    EXPECT_EQ(control(mainWindow(), 3).selection, -1);
    EXPECT_EQ(control(mtfWindow(), 11).items.size(), 9U);
    EXPECT_EQ(control(mtfWindow(), 13).items.size(), 8U);
    EXPECT_EQ(control(mtfWindow(), 14).items.size(), 7U);
    for (const TimeframeColumn& column : app.columns) {
        EXPECT_EQ(column.referenceIndex, NO_REFERENCE);
        EXPECT_EQ(column.markerState, 99);
    }
    for (int id : {20, 33, 53, 60, 120, 193, 213}) {
        EXPECT_EQ(text(mtfWindow(), id), "") << id;
        EXPECT_EQ(control(mtfWindow(), id).textColour, BLACK);
        EXPECT_EQ(control(mtfWindow(), id).backgroundColour, WHITE);
    }
    EXPECT_EQ(app.shell.appRunning, 1);

    // The timer keeps running, the main ranking goes on, the columns stay blank.
    EXPECT_TRUE(ui.timerRunning(mainWindow(), 1));
    tick();
    EXPECT_EQ(text(mtfWindow(), 20), "");
    EXPECT_EQ(text(mainWindow(), 5), "GBPUSD");
}

using OptionsWindowTest = ShellTest;

TEST_F(OptionsWindowTest, ExitWithPairAlertArmedButNothingChosenShowsBothMessages) {
    menu(35);
    ASSERT_TRUE(ui.window(optionsWindow())->visible);
    ui.queueFileAnswer("");
    toggle(optionsWindow(), 8);
    click(optionsWindow(), 1);
    ASSERT_EQ(ui.messageBoxes().size(), 2U);
    EXPECT_EQ(ui.messageBoxes()[0].text, "Please Select a Pair or uncheck the box.");
    EXPECT_EQ(ui.messageBoxes()[1].text, "Please Select a Target Slot for the pair.");
    EXPECT_TRUE(ui.window(optionsWindow())->visible);

    toggle(optionsWindow(), 8);
    click(optionsWindow(), 1);
    EXPECT_FALSE(ui.window(optionsWindow())->visible);
}

} // namespace
} // namespace vz::testing
