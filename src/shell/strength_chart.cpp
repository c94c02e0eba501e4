#include "shell/strength_chart.h"

#include "platform/palette.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace vz {

namespace {

inline constexpr std::array<Colour, PAIR_COUNT> PAIR_COLOURS = {
    rgb(31, 119, 180),  rgb(255, 127, 14), rgb(44, 160, 44),   rgb(214, 39, 40),
    rgb(148, 103, 189), rgb(140, 86, 75),  rgb(227, 119, 194), rgb(127, 127, 127),
    rgb(188, 189, 34),  rgb(23, 190, 207), rgb(0, 0, 128),     rgb(128, 0, 0),
    rgb(0, 128, 128),   rgb(170, 0, 255)};

inline constexpr int GRID_STEPS = 5;
inline constexpr long long MAX_GRID_STEP = 1'000'000'000'000'000LL;
inline constexpr int TIME_LABEL_TICKS = 600; // ten minutes of one-second ticks
inline constexpr int LABEL_HEIGHT = 14;
inline constexpr int TIME_LABEL_HALF_WIDTH = 17; // "HH:MM" centred on its mark
inline constexpr int PLOT_RIGHT = CHART_PLOT_LEFT + CHART_PLOT_COLUMNS; // first column past it
inline constexpr int LABELS_RIGHT = CHART_WINDOW_WIDTH - 20;            // room for the widest name

struct Panel {
    int top;
    int height;
};

constexpr Panel PAIR_PANEL{CHART_PAIR_TOP, CHART_PAIR_HEIGHT};
constexpr Panel BIAS_PANEL{CHART_BIAS_TOP, CHART_BIAS_HEIGHT};

struct BiasSeries {
    const char* name;
    Colour colour;
    std::int32_t StrengthSample::*field;
};

inline constexpr std::array<BiasSeries, 3> BIAS_SERIES = {{
    {"Ref. Bias", REFERENCE_BIAS_COLOUR, &StrengthSample::referenceBias},
    {"Buy Power", BUY_POWER_COLOUR, &StrengthSample::buyPower},
    {"Sell Power", SELL_POWER_COLOUR, &StrengthSample::sellPower},
}};

inline constexpr int SERIES_COUNT = PAIR_COUNT + static_cast<int>(BIAS_SERIES.size());

// The fourteen pairs, bottom slot first so the strongest lines end up on
// top, then the three bias figures.
struct SeriesPlan {
    std::array<int, PAIR_COUNT> pairInDrawingOrder{};
    ChartScale pairScale;
    ChartScale biasScale;

    Colour colour(int series) const {
        if (series < PAIR_COUNT) {
            return pairColour(pairInDrawingOrder[static_cast<std::size_t>(series)]);
        }
        return BIAS_SERIES[static_cast<std::size_t>(series - PAIR_COUNT)].colour;
    }
    const ChartScale& scale(int series) const {
        return series < PAIR_COUNT ? pairScale : biasScale;
    }
};

// What one canvas column of a series covers: its newest value and the
// extremes of the ticks in it, so a long hour loses no spike.
struct ColumnSpan {
    std::int32_t last = 0;
    std::int32_t low = 0;
    std::int32_t high = 0;
};

long long floorToStep(long long value, long long step) {
    const long long q = value / step;
    return (q * step > value ? q - 1 : q) * step;
}

long long ceilToStep(long long value, long long step) {
    const long long q = value / step;
    return (q * step < value ? q + 1 : q) * step;
}

// Walks the samples from the oldest to the newest and hands each column's
// spans, one per series, to `draw` once the column is complete.
template <typename Draw>
void forEachColumn(const StrengthHistory& history, const SeriesPlan& plan, Draw draw) {
    std::array<ColumnSpan, SERIES_COUNT> spans{};
    int column = -1;
    int slot = (history.next - history.count + STRENGTH_HISTORY_TICKS) % STRENGTH_HISTORY_TICKS;
    for (int age = history.count - 1; age >= 0; --age) {
        const StrengthSample& sample = history.ring[static_cast<std::size_t>(slot)];
        slot = slot + 1 == STRENGTH_HISTORY_TICKS ? 0 : slot + 1;
        const int x = chartColumnX(age);
        const bool fresh = x != column;
        if (fresh && column >= 0) {
            draw(column, spans);
        }
        column = x;
        const auto take = [fresh](ColumnSpan& span, std::int32_t value) {
            span.last = value;
            span.low = fresh ? value : std::min(span.low, value);
            span.high = fresh ? value : std::max(span.high, value);
        };
        for (std::size_t series = 0; series < PAIR_COUNT; ++series) {
            take(spans[series],
                 sample.pairPips[static_cast<std::size_t>(plan.pairInDrawingOrder[series])]);
        }
        for (std::size_t i = 0; i < BIAS_SERIES.size(); ++i) {
            take(spans[PAIR_COUNT + i], sample.*BIAS_SERIES[i].field);
        }
    }
    if (column >= 0) {
        draw(column, spans);
    }
}

// Every series as one vertical stroke per column, from where the series
// left the column before to the extremes of this one: a connected line
// at two drawing calls per column, however many ticks each column holds.
void plotSeries(Ui& ui, WindowHandle window, const StrengthHistory& history,
                const SeriesPlan& plan) {
    std::array<int, SERIES_COUNT> lastY{};
    bool first = true;
    forEachColumn(history, plan, [&](int x, const std::array<ColumnSpan, SERIES_COUNT>& spans) {
        for (int series = 0; series < SERIES_COUNT; ++series) {
            const ColumnSpan& span = spans[static_cast<std::size_t>(series)];
            const ChartScale& scale = plan.scale(series);
            int& previous = lastY[static_cast<std::size_t>(series)];
            int top = scale.y(span.high);
            int bottom = scale.y(span.low);
            if (!first) {
                top = std::min(top, previous);
                bottom = std::max(bottom, previous);
            }
            previous = scale.y(span.last);
            ui.moveTo(window, x, top);
            ui.lineTo(window, x, bottom + 1, plan.colour(series));
        }
        first = false;
    });
}

void printAt(Ui& ui, WindowHandle window, int x, int y, Colour colour, const std::string& text) {
    ui.setDrawColour(window, colour);
    ui.moveTo(window, x, y);
    ui.printText(window, text);
}

// Background over a strip of labels, so a shorter or moved label leaves
// nothing of the one before.
void clearStrip(Ui& ui, WindowHandle window, int left, int top, int width, int height) {
    ui.drawRect(window, left, top, width, height, BACKGROUND_COLOUR, BACKGROUND_COLOUR);
}

std::string clockText(int secondOfDay) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", secondOfDay / 3600 % 24, secondOfDay / 60 % 60);
    return text;
}

// Box, horizontal gridlines with their values, the zero line, and the
// ten-minute marks with the clock time of the tick at each.
void drawFrame(Ui& ui, WindowHandle window, const StrengthHistory& history, const Panel& panel,
               const ChartScale& scale) {
    clearStrip(ui, window, 0, panel.top - 8, CHART_PLOT_LEFT - 1, panel.height + 16);
    clearStrip(ui, window, CHART_PLOT_LEFT - 20, panel.top + panel.height + 1,
               CHART_PLOT_COLUMNS + 40, LABEL_HEIGHT + 3);
    ui.drawRect(window, CHART_PLOT_LEFT - 1, panel.top - 1, CHART_PLOT_COLUMNS + 2,
                panel.height + 2, BLACK, CHART_PLOT_BACKGROUND);
    for (int age = 0; age <= STRENGTH_HISTORY_TICKS; age += TIME_LABEL_TICKS) {
        const int x = std::max(chartColumnX(age), CHART_PLOT_LEFT);
        ui.drawLine(window, x, panel.top, x, panel.top + panel.height, CHART_GRID_COLOUR);
        // The left edge shows the oldest tick the ring can hold.
        const int labelAge = std::min(age, STRENGTH_HISTORY_TICKS - 1);
        if (labelAge < history.count) {
            const int secondOfDay = strengthSampleAt(history, labelAge).secondOfDay;
            printAt(ui, window, x - TIME_LABEL_HALF_WIDTH, panel.top + panel.height + 3, BLACK,
                    clockText(secondOfDay));
        }
    }
    ui.setTextBackground(window, BACKGROUND_COLOUR);
    for (long long value = scale.lowest; value <= scale.highest; value += scale.step) {
        const int y = scale.y(value);
        const Colour colour = value == 0 ? CHART_ZERO_COLOUR : CHART_GRID_COLOUR;
        ui.drawLine(window, CHART_PLOT_LEFT, y, PLOT_RIGHT, y, colour);
        printAt(ui, window, 4, y - 6, BLACK, formatNumber(static_cast<double>(value)));
    }
}

// The range of the pairs' pips and of the bias figures over the hour.
struct ValueRanges {
    long long pairLow = 0, pairHigh = 0, biasLow = 0, biasHigh = 0;
};

ValueRanges valueRanges(const StrengthHistory& history) {
    ValueRanges ranges;
    // Which samples are held matters here, not their order.
    for (int slot = 0; slot < history.count; ++slot) {
        const StrengthSample& sample = history.ring[static_cast<std::size_t>(slot)];
        for (std::int32_t pips : sample.pairPips) {
            ranges.pairLow = std::min<long long>(ranges.pairLow, pips);
            ranges.pairHigh = std::max<long long>(ranges.pairHigh, pips);
        }
        for (const BiasSeries& series : BIAS_SERIES) {
            ranges.biasLow = std::min<long long>(ranges.biasLow, sample.*series.field);
            ranges.biasHigh = std::max<long long>(ranges.biasHigh, sample.*series.field);
        }
    }
    return ranges;
}

SeriesPlan planSeries(const StrengthChartView& view) {
    SeriesPlan plan;
    // Before the first ranking pass every pair still says row 0: equal rows
    // keep the pair table's order, so each pair is named exactly once.
    std::array<int, PAIR_COUNT> byRow{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        byRow[static_cast<std::size_t>(pair)] = pair;
    }
    std::stable_sort(byRow.begin(), byRow.end(), [&view](int a, int b) {
        return view.pairSlot[static_cast<std::size_t>(a)] <
               view.pairSlot[static_cast<std::size_t>(b)];
    });
    std::reverse_copy(byRow.begin(), byRow.end(), plan.pairInDrawingOrder.begin());
    const ValueRanges ranges = valueRanges(view.history);
    plan.pairScale =
        chooseChartScale(ranges.pairLow, ranges.pairHigh, PAIR_PANEL.top, PAIR_PANEL.height);
    plan.biasScale =
        chooseChartScale(ranges.biasLow, ranges.biasHigh, BIAS_PANEL.top, BIAS_PANEL.height);
    return plan;
}

void drawTitle(Ui& ui, WindowHandle window, const StrengthChartView& view) {
    clearStrip(ui, window, 0, CHART_TITLE_Y - 2, LABELS_RIGHT, LABEL_HEIGHT + 4);
    const std::string day = view.referenceDay.empty() ? "(none picked yet)" : view.referenceDay;
    printAt(ui, window, CHART_TITLE_X, CHART_TITLE_Y, BLACK,
            "Pips since the reference day " + day + ", last 60 minutes of ticks");
    clearStrip(ui, window, 0, BIAS_PANEL.top - 24, CHART_PLOT_LEFT + 240, 14);
    printAt(ui, window, CHART_PLOT_LEFT, BIAS_PANEL.top - 22, BLACK,
            "Ref. Bias, Buy Power and Sell Power");
}

// Each pair's name beside the plot, in slot order, joined to the end of
// its line by a short stroke in its colour.
void drawPairNames(Ui& ui, WindowHandle window, const StrengthChartView& view,
                   const SeriesPlan& plan) {
    // Down to the plot's last row, clear of the time labels below it.
    clearStrip(ui, window, PLOT_RIGHT + 1, PAIR_PANEL.top - 8, LABELS_RIGHT - PLOT_RIGHT - 1,
               PAIR_PANEL.height + 9);
    for (int series = 0; series < PAIR_COUNT; ++series) {
        const int pair = plan.pairInDrawingOrder[static_cast<std::size_t>(series)];
        const int labelY = pairLabelY(PAIR_COUNT - 1 - series);
        const Colour colour = pairColour(pair);
        if (view.history.count > 0) {
            const std::int32_t newest =
                strengthSampleAt(view.history, 0).pairPips[static_cast<std::size_t>(pair)];
            ui.drawLine(window, PLOT_RIGHT + 1, plan.pairScale.y(newest), CHART_LABEL_X - 3,
                        labelY + 6, colour);
        }
        printAt(ui, window, CHART_LABEL_X, labelY, colour,
                std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]));
    }
    for (std::size_t i = 0; i < BIAS_SERIES.size(); ++i) {
        printAt(ui, window, CHART_LABEL_X, BIAS_PANEL.top + static_cast<int>(i) * CHART_LABEL_PITCH,
                BIAS_SERIES[i].colour, BIAS_SERIES[i].name);
    }
}

} // namespace

Colour pairColour(int pair) {
    return PAIR_COLOURS[static_cast<std::size_t>(std::clamp(pair, 0, PAIR_COUNT - 1))];
}

int chartColumnX(int age) {
    return PLOT_RIGHT - 1 - age * CHART_PLOT_COLUMNS / STRENGTH_HISTORY_TICKS;
}

int pairLabelY(int row) {
    return CHART_PAIR_TOP + 4 + row * CHART_LABEL_PITCH;
}

long long roundGridStep(long long span, int maxSteps) {
    const long long steps = std::clamp(maxSteps, 1, 1000);
    // Far beyond any span of 32-bit pips, and no product below overflows.
    for (long long power = 1; power <= MAX_GRID_STEP; power *= 10) {
        for (long long factor : {1, 2, 5}) {
            if (span <= factor * power * steps) {
                return factor * power;
            }
        }
    }
    return MAX_GRID_STEP;
}

ChartScale chooseChartScale(long long low, long long high, int top, int height) {
    low = std::min(low, 0LL);
    high = std::max(high, 0LL);
    if (low == high) {
        low = -10;
        high = 10;
    }
    ChartScale scale;
    scale.step = roundGridStep(high - low, GRID_STEPS);
    scale.lowest = floorToStep(low, scale.step);
    scale.highest = ceilToStep(high, scale.step);
    scale.top = top;
    scale.height = height;
    scale.rowsPerUnit =
        static_cast<double>(height - 1) / static_cast<double>(scale.highest - scale.lowest);
    return scale;
}

void drawStrengthChart(Ui& ui, WindowHandle window, const StrengthChartView& view) {
    const SeriesPlan plan = planSeries(view);
    ui.setTextBackground(window, BACKGROUND_COLOUR);
    drawTitle(ui, window, view);
    drawFrame(ui, window, view.history, PAIR_PANEL, plan.pairScale);
    drawFrame(ui, window, view.history, BIAS_PANEL, plan.biasScale);
    plotSeries(ui, window, view.history, plan);
    drawPairNames(ui, window, view, plan);
    ui.setDrawColour(window, BLACK);
}

} // namespace vz
