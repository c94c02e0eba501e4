#include "gui_support.h"

#include "platform/headless/headless_ui.h"
#include "platform/palette.h"
#include "platform/qt/qt_ui.h"
#include "shell/strength_chart.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

// Both toolkits draw the chart's lines and boxes with one rule, so away
// from the printed labels, whose glyphs differ, the plots agree pixel for
// pixel.
TEST(StrengthChartOnQtTest, PlotsMatchTheHeadlessDrawingPixelForPixel) {
    StrengthHistory history;
    StrengthSample sample;
    for (int tick = 0; tick < STRENGTH_HISTORY_TICKS + 700; ++tick) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            sample.pairPips[static_cast<std::size_t>(pair)] = (tick / (pair + 5)) % 90 - 40 + pair;
        }
        sample.referenceBias = tick % 500 - 200;
        sample.buyPower = tick % 300;
        sample.sellPower = -(tick % 200);
        sample.secondOfDay = 36000 + tick;
        recordStrengthSample(history, sample);
    }
    std::array<std::int32_t, PAIR_COUNT> rowOfPair{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        rowOfPair[static_cast<std::size_t>(pair)] = pair;
    }
    const StrengthChartView view{history, rowOfPair, "01-05-2026"};

    QtUi qt;
    HeadlessUi headless;
    const WindowHandle onQt =
        qt.openWindow(0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, 0, "chart", {});
    const WindowHandle onHeadless =
        headless.openWindow(0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, 0, "chart", {});
    for (Ui* ui : {static_cast<Ui*>(&qt), static_cast<Ui*>(&headless)}) {
        const WindowHandle window = ui == &qt ? onQt : onHeadless;
        ui->setWindowBackground(window, BACKGROUND_COLOUR);
        drawStrengthChart(*ui, window, view);
    }
    const QImage& canvas = *qt.canvas(onQt);
    int differing = 0;
    int coloured = 0;
    for (int top : {CHART_PAIR_TOP, CHART_BIAS_TOP}) {
        const int height = top == CHART_PAIR_TOP ? CHART_PAIR_HEIGHT : CHART_BIAS_HEIGHT;
        for (int y = top - 1; y <= top + height; ++y) {
            for (int x = CHART_PLOT_LEFT - 1; x <= CHART_PLOT_LEFT + CHART_PLOT_COLUMNS; ++x) {
                const Colour expected = headless.pixel(onHeadless, x, y);
                differing += test::pixelAt(canvas, x, y) != expected ? 1 : 0;
                coloured += expected != CHART_PLOT_BACKGROUND && expected != CHART_GRID_COLOUR &&
                                    expected != BLACK
                                ? 1
                                : 0;
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(coloured, CHART_PLOT_COLUMNS * 10); // the lines are there to compare
}

} // namespace
} // namespace vz
