#include "shell_fixture.h"

#include "engine/columns.h"
#include "platform/palette.h"
#include "shell/main_handler.h"

namespace vz::testing {
namespace {

const std::vector<int> DESCENDING = {60, 50, 40, 30, 20, 10, 0, -10, -20, -30, -40, -50, -60, -70};

using ReferenceDayTest = ShellTest;

TEST_F(ReferenceDayTest, PickRanksLogsAndUnlocksRealTimeMode) {
    pickDay(2);
    EXPECT_EQ(app.market.referenceDayIndex, 2);
    EXPECT_EQ(lastLogRow(), "New Reference date: 01-07-2026");
    EXPECT_TRUE(control(mainWindow(), 1).enabled);
    EXPECT_FALSE(control(mainWindow(), 51).enabled);
    // Live prices are those of the load (line 0), 20 pips below day 2 everywhere.
    EXPECT_EQ(text(mainWindow(), 5), "EURUSD");
    EXPECT_EQ(text(mainWindow(), 20), " 20");
    EXPECT_EQ(text(mainWindow(), 33), " -20");
    EXPECT_EQ(control(mainWindow(), 5).backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(control(mainWindow(), 18).backgroundColour, FIRST_GROUP_COLOUR);
    // The first pass draws no arrows.
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(ui.pixel(mainWindow(), 10, MAIN_ROW_TOP + ROW_PITCH * row + 5),
                  BACKGROUND_COLOUR);
    }
}

using TickTest = ShellTest;

TEST_F(TickTest, StatusLinesKeepTheirBlanks) {
    startRealTime();
    EXPECT_TRUE(ui.timerRunning(mainWindow(), 1));
    setPips({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -3});
    tick();
    EXPECT_EQ(ui.textAt(mainWindow(), 25, 70), "Ref. Bias:  15    ");
    EXPECT_EQ(ui.textAt(mainWindow(), 25, 85), "Anchor Bias:  9      ");
    EXPECT_EQ(ui.textAt(mainWindow(), 25, 100), "Basket Bias:  9      ");
    EXPECT_EQ(ui.textAt(mainWindow(), 25, 120), "Time: 14:30:00");
    EXPECT_EQ(ui.textAt(mainWindow(), 200, 70), "Buy Power:  12     ");
    EXPECT_EQ(ui.textAt(mainWindow(), 200, 85), "Sell Power:  -3      ");
}

TEST_F(TickTest, SwappedRowsGetArrowsAndAnUnmovedRowKeepsItsArrow) {
    setPips(DESCENDING);
    startRealTime();
    tick();
    const auto arrowAt = [&](int row) {
        return ui.pixel(mainWindow(), 10, MAIN_ROW_TOP + ROW_PITCH * row + 10);
    };
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(arrowAt(row), BACKGROUND_COLOUR) << row;
    }
    std::vector<int> swapped = DESCENDING;
    std::swap(swapped[3], swapped[4]);
    setPips(swapped);
    tick();
    EXPECT_EQ(text(mainWindow(), 8), "NZDUSD");
    EXPECT_EQ(arrowAt(3), UP_ARROW_COLOUR);
    EXPECT_EQ(arrowAt(4), DOWN_ARROW_COLOUR);
    EXPECT_EQ(arrowAt(2), BACKGROUND_COLOUR);

    std::swap(swapped[9], swapped[10]);
    setPips(swapped);
    tick();
    EXPECT_EQ(arrowAt(3), UP_ARROW_COLOUR);
    EXPECT_EQ(arrowAt(4), DOWN_ARROW_COLOUR);
    EXPECT_EQ(arrowAt(9), UP_ARROW_COLOUR);

    pickDay(0); // a new day erases every cell
    EXPECT_EQ(arrowAt(3), BACKGROUND_COLOUR);
    EXPECT_EQ(arrowAt(9), BACKGROUND_COLOUR);
}

TEST_F(TickTest, ShorterIntervalFiresAtOnceWithTheProfitLine) {
    startRealTime();
    click(mainWindow(), 40);
    setPips({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    tick(61);
    EXPECT_EQ(text(mainWindow(), 44), " 12");
    for (const std::string& row : logRows()) {
        EXPECT_NE(row.rfind("RB = ", 0), 0U) << row;
    }
    menu(25);
    tick();
    const auto rows = logRows();
    ASSERT_GE(rows.size(), 2U);
    EXPECT_EQ(rows[rows.size() - 2], "RB =  12 BB =  12 AB =  12");
    EXPECT_EQ(rows.back(), "Buy Profit:  12 pips.");
    EXPECT_EQ(app.shell.biasLogTickCount, 0);

    menu(22);
    for (int id = 20; id <= 25; ++id) {
        EXPECT_EQ(ui.menuItem(mainWindow(), id)->checked, id == 22) << id;
    }
    EXPECT_EQ(app.shell.biasLogIntervalTicks, 900);
}

TEST_F(TickTest, ATickArrivingDuringATickIsDropped) {
    startRealTime();
    app.shell.tickInProgress = true;
    tick();
    EXPECT_EQ(app.shell.biasLogTickCount, 0);
    app.shell.tickInProgress = false;
    tick();
    EXPECT_EQ(app.shell.biasLogTickCount, 1);
}

TEST_F(TickTest, SwitchingRealTimeOffSwitchesTheLoggerOff) {
    startRealTime();
    toggle(mainWindow(), 51);
    EXPECT_EQ(app.shell.activeLoggerEnabled, 1);
    tick(3);
    EXPECT_EQ(app.shell.activeLoggerTickCount, 3);

    toggle(mainWindow(), 1);
    EXPECT_EQ(app.shell.realTimeMode, 0);
    EXPECT_FALSE(ui.timerRunning(mainWindow(), 1));
    EXPECT_EQ(app.shell.activeLoggerEnabled, 0);
    EXPECT_FALSE(control(mainWindow(), 51).checked);
    for (int id : {40, 41, 51}) {
        EXPECT_FALSE(control(mainWindow(), id).enabled) << id;
    }
    toggle(mainWindow(), 1);
    EXPECT_FALSE(control(mainWindow(), 51).checked);
    EXPECT_TRUE(control(mainWindow(), 51).enabled);
    EXPECT_EQ(app.shell.activeLoggerTickCount, 3);
}

TEST_F(TickTest, ActiveLoggerWritesTheListedReferenceDay) {
    startRealTime();
    toggle(mainWindow(), 51);
    tick(60);
    std::ifstream log(folder.file("12-06-2026_AL.csv"), std::ios::binary);
    std::string header, row;
    ASSERT_TRUE(std::getline(log, header));
    ASSERT_TRUE(std::getline(log, row));
    EXPECT_EQ(row.substr(0, 9), "14:30:00,");
    EXPECT_EQ(row.substr(row.size() - 12), ",01-05-2026\r");
    EXPECT_EQ(app.shell.activeLoggerTickCount, 0);
}

using BasketTest = ShellTest;

TEST_F(BasketTest, IdleOpenClosedIdle) {
    startRealTime();
    const auto enabled = [&](int id) { return control(mainWindow(), id).enabled; };
    EXPECT_TRUE(enabled(40) && enabled(41) && !enabled(42) && !enabled(43));

    click(mainWindow(), 41);
    EXPECT_EQ(app.basket.direction, TradeDirection::Sell);
    EXPECT_TRUE(!enabled(40) && !enabled(41) && enabled(42) && !enabled(43) && !enabled(1));
    EXPECT_EQ(ui.textAt(mainWindow(), 210, 199), "SELL Basket    ");
    setPips({-8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    tick();
    EXPECT_EQ(text(mainWindow(), 44), " 8");

    click(mainWindow(), 42);
    EXPECT_EQ(lastLogRow(), "Basket Profit:  8");
    EXPECT_TRUE(!enabled(40) && !enabled(42) && enabled(43) && !enabled(1));
    setPips({-20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    tick();
    EXPECT_EQ(text(mainWindow(), 44), " 8");

    click(mainWindow(), 43);
    EXPECT_EQ(text(mainWindow(), 44), "");
    EXPECT_TRUE(enabled(40) && enabled(41) && !enabled(42) && !enabled(43) && enabled(1));
    EXPECT_EQ(ui.textAt(mainWindow(), 210, 199), std::string(24, ' '));
}

TEST_F(BasketTest, OpeningLogsTheFiguresOfTheLastPass) {
    setPips({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -3});
    startRealTime();
    tick();
    click(mainWindow(), 40);
    const auto rows = logRows();
    ASSERT_GE(rows.size(), 2U);
    EXPECT_EQ(rows[rows.size() - 2], "BUY - Basket Bias:  9  Anchor Bias:  9");
    EXPECT_EQ(rows.back(), "Ref. Bias =  15");
}

using MultiTimeframeTest = ShellTest;

TEST_F(MultiTimeframeTest, PickRecomputesOnlyThatColumn) {
    setPips(DESCENDING);
    click(mainWindow(), 50);
    EXPECT_TRUE(ui.window(mtfWindow())->visible);
    ui.pickListItem(mtfWindow(), 13, 0);
    settle();
    EXPECT_EQ(app.columns[3].referenceIndex, 0);
    // Live prices of the load sit at line 0, the column's reference.
    EXPECT_EQ(text(mtfWindow(), 140), "GBPUSD");
    EXPECT_EQ(text(mtfWindow(), 160), " 0");
    EXPECT_EQ(ui.textAt(mtfWindow(), 535, 396), "Ref. Bias:  0    ");
    EXPECT_EQ(text(mtfWindow(), 20), "Pair1");
    EXPECT_EQ(text(mtfWindow(), 180), "Pair1");
    EXPECT_EQ(ui.textAt(mtfWindow(), 25, 396), "");

    ui.requestClose(mtfWindow());
    settle();
    EXPECT_FALSE(ui.window(mtfWindow())->visible);
    startRealTime();
    tick();
    EXPECT_EQ(text(mtfWindow(), 160), " 60");
    EXPECT_EQ(text(mtfWindow(), 20), "Pair1");
    click(mainWindow(), 50);
    EXPECT_TRUE(ui.window(mtfWindow())->visible);
    EXPECT_EQ(app.columns[3].referenceIndex, 0);
}

} // namespace
} // namespace vz::testing
