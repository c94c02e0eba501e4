#include "alerts/alert_checks.h"
#include "engine/columns.h"
#include "engine/pips.h"
#include "engine/ranking.h"
#include "logging/event_log.h"
#include "market/data_files.h"
#include "market/market_data.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/memory_files.h"
#include "platform/host.h"
#include "platform/palette.h"
#include "simulator/basket.h"

#include <array>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vz;

class NoFiles final : public FileSystem {
public:
    std::unique_ptr<TextFile> openFile(const std::string&, FileMode) override { return nullptr; }
    bool exists(const std::string&) override { return false; }
};

// Prices that move a little on every call, so the ranking keeps reshuffling.
void fillMarket(MarketData& market) {
    fillGroupList(market);
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const float base = pipFactor(pair) == 100 ? 150.0F : 1.25F;
        for (Timeframe timeframe : ALL_TIMEFRAMES) {
            market.history.bar(timeframe, pair, 3).price = base;
        }
        market.livePrices[static_cast<std::size_t>(pair)] = base * (1.0F + 0.001F * pair);
    }
    market.referenceDayIndex = 3;
}

void nudge(MarketData& market, int step) {
    const auto pair = static_cast<std::size_t>(step % PAIR_COUNT);
    market.livePrices[pair] *= (step % 2 == 0) ? 1.002F : 0.998F;
}

struct Desk {
    HeadlessUi ui;
    NoFiles files;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;

    Desk() {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        host.windows.options = ui.openWindow(0, 0, 400, 300, WINDOW_POPUP, "options", {});
        host.windows.multiTimeframe = ui.openWindow(0, 0, 875, 480, WINDOW_POPUP, "mtf", {});
        for (int id = 5; id < 34; ++id) {
            ui.createControl(host.windows.main, ControlKind::TextBox, "", 0, 0, 70, 20,
                             STYLE_TEXT_READ_ONLY_CENTRED, id);
        }
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
        for (int id = 20; id < 54; ++id) {
            ui.createControl(host.windows.multiTimeframe, ControlKind::TextBox, "", 0, 0, 70, 20,
                             STYLE_TEXT_READ_ONLY_CENTRED, id);
        }
        fillMarket(market);
    }
};

void BM_MainRankingPass(benchmark::State& state) {
    Desk desk;
    MainRanking ranking;
    AlertState alerts;
    int step = 0;
    for (auto _ : state) {
        nudge(desk.market, step++);
        rankMainSlots(ranking, desk.market, alerts, desk.host);
    }
}
BENCHMARK(BM_MainRankingPass);

void BM_ColumnPass(benchmark::State& state) {
    Desk desk;
    ColumnSet columns = initialColumns();
    columns[0].referenceIndex = 3;
    int step = 0;
    for (auto _ : state) {
        nudge(desk.market, step++);
        rankColumn(columns[0], 1, desk.market, desk.host);
    }
}
BENCHMARK(BM_ColumnPass);

void BM_SlotEntriesAndSort(benchmark::State& state) {
    MarketData market;
    fillMarket(market);
    const auto reference = referencePrices(market.history, Timeframe::Daily, 3);
    int step = 0;
    for (auto _ : state) {
        nudge(market, step++);
        SlotList entries = buildSlotEntries(market.livePrices, *reference);
        exchangeSort(entries);
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BM_SlotEntriesAndSort);

// Lines as the exporters write them: the price after a date, with and
// without further fields, and a real-time line.
const std::array<std::string, 4> REALISTIC_LINES = {"1.08734", "157.218,157.301,156.990,157.112",
                                                    "  0.91234\r", "-12.5"};

void BM_ParseNumber(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseNumber(REALISTIC_LINES[i++ % REALISTIC_LINES.size()]));
    }
}
BENCHMARK(BM_ParseNumber);

// One history file of 499 four-hour bars, line by line.
void BM_ReadTextLine(benchmark::State& state) {
    MemoryFileSystem files;
    std::string bytes;
    for (int k = 0; k < HISTORY_LOAD_LIMIT; ++k) {
        bytes += "2025.06.13 16:00,1.0" + std::to_string(8000 + k) + "\r\n";
    }
    files.put("GBPUSD_H4.csv", bytes);
    std::string_view line;
    for (auto _ : state) {
        auto file = files.openFile("GBPUSD_H4.csv", FileMode::Read);
        TextLineReader lines(*file, HISTORY_LINE_LIMIT);
        while (lines.next(line)) {
            benchmark::DoNotOptimize(line.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * HISTORY_LOAD_LIMIT);
}
BENCHMARK(BM_ReadTextLine)->Unit(benchmark::kMicrosecond);

void BM_UpdateBasketProfit(benchmark::State& state) {
    Desk desk;
    Basket basket;
    basket.direction = TradeDirection::Buy;
    basket.entryPrices = desk.market.livePrices;
    desk.ui.createControl(desk.host.windows.main, ControlKind::TextBox, "0", 288, 194, 70, 20,
                          STYLE_TEXT_CENTRED, PROFIT_BOX);
    int step = 0;
    for (auto _ : state) {
        nudge(desk.market, step++);
        updateBasketProfit(desk.host, basket, desk.market.livePrices);
    }
}
BENCHMARK(BM_UpdateBasketProfit);

} // namespace
