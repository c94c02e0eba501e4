#pragma once

#include "engine/strength_history.h"
#include "platform/ui.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace vz {

// Geometry of the chart window's canvas (client pixels).
inline constexpr int CHART_WINDOW_WIDTH = 720;
inline constexpr int CHART_WINDOW_HEIGHT = 600;
inline constexpr int CHART_PLOT_LEFT = 64;     // first column inside the plot boxes
inline constexpr int CHART_PLOT_COLUMNS = 540; // one column per 6 2/3 ticks
inline constexpr int CHART_PAIR_TOP = 40;      // first row inside the pairs' plot box
inline constexpr int CHART_PAIR_HEIGHT = 300;
inline constexpr int CHART_BIAS_TOP = 390;
inline constexpr int CHART_BIAS_HEIGHT = 130;
inline constexpr int CHART_LABEL_X = 624; // names at the right of the plots
inline constexpr int CHART_LABEL_PITCH = 20;
inline constexpr int CHART_TITLE_X = 10;
inline constexpr int CHART_TITLE_Y = 6;
inline constexpr Colour CHART_PLOT_BACKGROUND = WHITE;
inline constexpr Colour CHART_GRID_COLOUR = rgb(222, 222, 222);
inline constexpr Colour CHART_ZERO_COLOUR = BLACK;
inline constexpr Colour REFERENCE_BIAS_COLOUR = BLACK;
inline constexpr Colour BUY_POWER_COLOUR = rgb(0, 150, 70);
inline constexpr Colour SELL_POWER_COLOUR = rgb(214, 0, 110);

// Fourteen colours told apart at a glance, by pair index.
Colour pairColour(int pair);

// The canvas column of the sample `age` ticks old (0 = newest, at the right
// edge); left of CHART_PLOT_LEFT once older than the chart shows.
int chartColumnX(int age);

// Top of the name of the pair in slot row `row`, beside the pairs' plot.
int pairLabelY(int row);

// The smallest step of 1, 2 or 5 times a power of ten that cuts `span`
// into at most `maxSteps` parts.
long long roundGridStep(long long span, int maxSteps);

// Values from `lowest` to `highest` (gridline multiples of `step`) spread
// over the rows top .. top + height - 1.
struct ChartScale {
    long long lowest = -10;
    long long highest = 10;
    long long step = 5;
    int top = 0;
    int height = 1;
    double rowsPerUnit = 0.0; // (height - 1) / (highest - lowest)
    // Values beyond the scale stay on its edge rows.
    int y(long long value) const {
        const auto offset = static_cast<double>(std::clamp(value, lowest, highest) - lowest);
        return top + height - 1 - static_cast<int>(offset * rowsPerUnit + 0.5);
    }
};

// A scale that shows every value from `low` to `high` and the zero line.
ChartScale chooseChartScale(long long low, long long high, int top, int height);

// What the chart shows besides the samples.
struct StrengthChartView {
    const StrengthHistory& history;
    // Slot row of each pair after the last pass: the order of the names.
    const std::array<std::int32_t, PAIR_COUNT>& pairSlot;
    std::string referenceDay; // "" before a day has been picked
};

// Redraws the whole chart on the window's canvas.
void drawStrengthChart(Ui& ui, WindowHandle window, const StrengthChartView& view);

} // namespace vz
