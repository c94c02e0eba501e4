#include "engine/columns.h"
#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "shell/main_handler.h"
#include "shell/startup.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace vz;

// A program folder with 499 bars in every history file and a real-time
// file per pair: the largest history the program loads.
class FullFolder {
public:
    FullFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("vurezer-bench-folder-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            for (Timeframe timeframe : ALL_TIMEFRAMES) {
                writeHistory(pair, timeframe);
            }
            std::ofstream(realTimeFileName(folder(), pair)) << basePrice(pair) << "\r\n";
        }
    }
    ~FullFolder() { std::filesystem::remove_all(path_); }
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;

    std::string folder() const { return path_.string() + "/"; }

private:
    static double basePrice(int pair) { return pipFactor(pair) == 100 ? 150.0 : 1.25; }

    void writeHistory(int pair, Timeframe timeframe) const {
        std::ofstream out(historyFileName(folder(), pair, timeframe), std::ios::binary);
        const bool daily = timeframe == Timeframe::Daily;
        char line[64];
        for (int k = 0; k < HISTORY_LOAD_LIMIT; ++k) {
            const double price = basePrice(pair) * (1.0 + 0.0001 * ((k * 7 + pair) % 50));
            std::snprintf(line, sizeof line,
                          daily ? "2025.%02d.%02d,%.5f\r\n" : "2025.%02d.%02d 10:00,%.5f\r\n",
                          k % 12 + 1, k % 28 + 1, price);
            out << line;
        }
    }

    std::filesystem::path path_;
};

struct Desk {
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    App app{host};
};

void BM_LoadFullHistory(benchmark::State& state) {
    FullFolder folder;
    Desk desk;
    startUp(desk.app, folder.folder());
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadHistory(desk.app.market, desk.app.host));
    }
}
BENCHMARK(BM_LoadFullHistory)->Unit(benchmark::kMillisecond);

// One second of the program with every column chosen: the real-time files
// are read, the main ranking and all five columns run, the status lines are
// drawn.
void BM_RealTimeTickWithAllColumns(benchmark::State& state) {
    FullFolder folder;
    Desk desk;
    App& app = desk.app;
    startUp(app, folder.folder());
    app.market.referenceDayIndex = 10;
    app.shell.referenceDayChosen = true; // as a pick in the list leaves it
    for (int k = 0; k < COLUMN_COUNT; ++k) {
        app.columns[static_cast<std::size_t>(k)].referenceIndex = 20 + k;
    }
    for (auto _ : state) {
        runRealTimeTick(app);
    }
}
BENCHMARK(BM_RealTimeTickWithAllColumns)->Unit(benchmark::kMicrosecond);

} // namespace
