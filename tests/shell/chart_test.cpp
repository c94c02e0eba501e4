#include "shell_fixture.h"

#include "shell/chart_window.h"
#include "shell/main_window.h"
#include "shell/strength_chart.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz::testing {
namespace {

TEST(StrengthScaleTest, GridStepsAreRoundAndScalesHoldZeroAndEveryValue) {
    const std::pair<long long, long long> steps[] = {{1, 1},  {5, 1},   {6, 2},
                                                     {11, 5}, {26, 10}, {251, 100}};
    for (const auto& [span, step] : steps) {
        EXPECT_EQ(roundGridStep(span, 5), step) << span;
    }
    // Spans far beyond 32-bit pips still give a step, without overflow.
    EXPECT_GT(roundGridStep(1'000'000'000'000LL, 5), 100'000'000'000LL);

    const ChartScale allAbove = chooseChartScale(37, 180, 100, 201);
    EXPECT_EQ(allAbove.lowest, 0); // the zero line is always in sight
    EXPECT_EQ(allAbove.highest % allAbove.step, 0);
    EXPECT_GE(allAbove.highest, 180);
    EXPECT_EQ(allAbove.y(allAbove.highest), 100);
    EXPECT_EQ(allAbove.y(0), 300);
    EXPECT_EQ(allAbove.y(1'000'000), 100); // clamped into the box

    const ChartScale flat = chooseChartScale(0, 0, 0, 21);
    EXPECT_LT(flat.lowest, 0);
    EXPECT_GT(flat.highest, 0);
    EXPECT_EQ(flat.y(0), 10);
}

TEST(StrengthChartDrawingTest, BeforeAnyRankingEveryPairIsNamedOnceInTableOrder) {
    HeadlessUi ui;
    const WindowHandle window =
        ui.openWindow(0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, 0, "chart", {});
    const StrengthHistory empty;
    const std::array<std::int32_t, PAIR_COUNT> allInRowZero{};
    drawStrengthChart(ui, window, {empty, allInRowZero, ""});
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(ui.textAt(window, CHART_LABEL_X, pairLabelY(row)),
                  PAIR_TABLE[static_cast<std::size_t>(row)]);
    }
}

// The program on the headless toolkit, day 0 picked and Real-Time Mode on;
// each tick a second later on the clock.
struct ChartTest : ShellTest {
    WindowHandle& chart = app.chart.window;

    void SetUp() override {
        ShellTest::SetUp();
        startRealTime();
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            clock.advanceSeconds(1);
            act(&HeadlessUi::fireTimers, main);
        }
    }
    void openChart() { act(&HeadlessUi::pickMenu, main, MENU_STRENGTH_CHART); }
    bool shown() { return ui.window(chart)->visible; }
    // Every pixel of the chart's canvas, for before-and-after comparisons.
    std::vector<Colour> canvas() {
        std::vector<Colour> pixels;
        for (int y = 0; y < CHART_WINDOW_HEIGHT; ++y) {
            for (int x = 0; x < CHART_WINDOW_WIDTH; ++x) {
                pixels.push_back(ui.pixel(chart, x, y));
            }
        }
        return pixels;
    }
    // Rows of column x inside the pairs' plot painted in the colour.
    std::vector<int> rowsIn(int x, Colour colour) {
        std::vector<int> rows;
        for (int y = CHART_PAIR_TOP; y < CHART_PAIR_TOP + CHART_PAIR_HEIGHT; ++y) {
            if (ui.pixel(chart, x, y) == colour) {
                rows.push_back(y);
            }
        }
        return rows;
    }
    int zeroRow() {
        // Far left: no samples there in a short run, only the gridlines.
        const std::vector<int> rows = rowsIn(CHART_PLOT_LEFT + 3, CHART_ZERO_COLOUR);
        EXPECT_EQ(rows.size(), 1U);
        return rows.empty() ? -1 : rows.front();
    }
    std::string namesInRowOrder() {
        std::string names;
        for (int row = 0; row < PAIR_COUNT; ++row) {
            names += ui.textAt(chart, CHART_LABEL_X, pairLabelY(row)) + " ";
        }
        return names;
    }
    std::string slotRows() {
        std::string names;
        for (const std::string& symbol : app.ranking.rowSymbols) {
            names += symbol + " ";
        }
        return names;
    }
};

TEST_F(ChartTest, RisingPairEndsAboveTheZeroLineInItsColourWithNamesInSlotOrder) {
    openChart();
    folder.setLivePips(0, 10);  // GBPUSD
    folder.setLivePips(7, -30); // EURUSD
    tick(30);
    folder.setLivePips(0, 80);
    tick(30);

    const int zero = zeroRow();
    const int newest = chartColumnX(0);
    const std::vector<int> gbpusd = rowsIn(newest, pairColour(0));
    const std::vector<int> eurusd = rowsIn(newest, pairColour(7));
    ASSERT_FALSE(gbpusd.empty());
    ASSERT_FALSE(eurusd.empty());
    EXPECT_LT(gbpusd.back(), zero);
    EXPECT_GT(eurusd.front(), zero);
    // The jump from 10 to 80 pips shows as a climb, not only as its end.
    const std::vector<int> beforeJump = rowsIn(chartColumnX(45), pairColour(0));
    ASSERT_FALSE(beforeJump.empty());
    EXPECT_GT(beforeJump.front(), gbpusd.front());

    EXPECT_EQ(namesInRowOrder(), slotRows());
    const std::vector<DrawnText>& texts = ui.window(chart)->texts;
    const auto gbpusdName = std::find_if(texts.rbegin(), texts.rend(), [](const DrawnText& t) {
        return t.x == CHART_LABEL_X && t.y == pairLabelY(0);
    });
    ASSERT_NE(gbpusdName, texts.rend());
    EXPECT_EQ(gbpusdName->colour, pairColour(0));
}

TEST_F(ChartTest, MenuOpensTheHiddenChartUpToDateAndTheCloseBoxHidesItAgain) {
    EXPECT_FALSE(shown());
    const std::vector<Colour> blank = canvas();
    folder.setLivePips(2, 50); // GBPJPY
    tick(20);
    EXPECT_EQ(canvas(), blank);

    openChart();
    EXPECT_TRUE(shown());
    EXPECT_FALSE(rowsIn(chartColumnX(0), pairColour(2)).empty());
    act(&HeadlessUi::requestClose, chart);
    EXPECT_FALSE(shown());
    EXPECT_TRUE(ui.window(main)->visible && app.shell.appRunning == 1);
    const std::vector<Colour> atClose = canvas();
    tick(20);
    EXPECT_EQ(canvas(), atClose);
    EXPECT_EQ(app.strengthHistory.count, 40); // samples are still taken
}

TEST_F(ChartTest, TheRingWrapsAfterAnHourAndANewDayClearsIt) {
    folder.setLivePips(4, 400); // NZDUSD far up for the first minutes
    tick(100);
    folder.setLivePips(4, 20);
    tick(STRENGTH_HISTORY_TICKS - 50);
    openChart();
    // The 400-pip minutes are still within the hour: the scale reaches them.
    const int highScaleRow = rowsIn(chartColumnX(0), pairColour(4)).front();
    tick(60);
    EXPECT_EQ(app.strengthHistory.count, STRENGTH_HISTORY_TICKS);
    const std::vector<int> oldest = rowsIn(CHART_PLOT_LEFT, pairColour(4));
    const std::vector<int> newest = rowsIn(chartColumnX(0), pairColour(4));
    ASSERT_FALSE(oldest.empty());
    EXPECT_EQ(oldest, newest);               // flat at 20 pips over the whole hour
    EXPECT_LT(newest.front(), highScaleRow); // 20 pips now fill more of the box

    act(&HeadlessUi::pickListItem, main, REFERENCE_DAY_LIST, 1);
    EXPECT_EQ(app.strengthHistory.count, 0);
    EXPECT_TRUE(rowsIn(chartColumnX(0), pairColour(4)).empty());
    EXPECT_EQ(ui.textAt(chart, CHART_TITLE_X, CHART_TITLE_Y),
              "Pips since the reference day 01-06-2026, last 60 minutes of ticks");
}

} // namespace
} // namespace vz::testing
