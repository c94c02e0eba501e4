#include "platform/headless/headless_ui.h"
#include "shell/strength_chart.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace vz;

// A full hour of restless markets: every pair and figure moves on every
// tick, so every column of every line needs its own stroke.
StrengthHistory restlessHour() {
    StrengthHistory history;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-9, 9);
    StrengthSample sample;
    for (int tick = 0; tick < STRENGTH_HISTORY_TICKS; ++tick) {
        for (auto& pips : sample.pairPips) {
            pips += step(random);
        }
        sample.referenceBias += step(random) * 5;
        sample.buyPower += step(random) * 3;
        sample.sellPower += step(random) * 3;
        sample.secondOfDay = tick;
        recordStrengthSample(history, sample);
    }
    return history;
}

// The redraw a shown chart costs on each one-second tick.
void BM_StrengthChartRedraw(benchmark::State& state) {
    HeadlessUi ui;
    const WindowHandle window =
        ui.openWindow(0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, 0, "chart", {});
    const StrengthHistory history = restlessHour();
    std::array<std::int32_t, PAIR_COUNT> slots{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        slots[static_cast<std::size_t>(pair)] = PAIR_COUNT - 1 - pair;
    }
    const StrengthChartView view{history, slots, "01-05-2026"};
    for (auto _ : state) {
        drawStrengthChart(ui, window, view);
    }
}
BENCHMARK(BM_StrengthChartRedraw)->Unit(benchmark::kMicrosecond);

} // namespace
