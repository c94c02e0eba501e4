#include "platform/headless/headless_ui.h"
#include "shell/strength_chart.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace vz;

// A full hour of ticks in which every pair moves by up to `maxStep` pips a
// second, and the bias figures with them.
StrengthHistory hourOfTicks(int maxStep) {
    StrengthHistory history;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-maxStep, maxStep);
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

// The redraw a shown chart costs on each one-second tick: argument 1 is an
// ordinary market (a pip or so a second), 9 a restless one in which every
// column of every line is a long stroke.
void BM_StrengthChartRedraw(benchmark::State& state) {
    HeadlessUi ui;
    const WindowHandle window =
        ui.openWindow(0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, 0, "chart", {});
    const StrengthHistory history = hourOfTicks(static_cast<int>(state.range(0)));
    std::array<std::int32_t, PAIR_COUNT> slots{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        slots[static_cast<std::size_t>(pair)] = PAIR_COUNT - 1 - pair;
    }
    const StrengthChartView view{history, slots, "01-05-2026"};
    for (auto _ : state) {
        drawStrengthChart(ui, window, view);
    }
}
BENCHMARK(BM_StrengthChartRedraw)->Arg(1)->Arg(9)->Unit(benchmark::kMicrosecond);

} // namespace
