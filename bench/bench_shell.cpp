#include "full_folder.h"

#include "engine/columns.h"
#include "logging/event_log.h"
#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "shell/main_handler.h"
#include "shell/main_window.h"
#include "shell/startup.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace vz;
using vz::bench::FullFolder;

// The bare system calls: what no loader can beat.
std::size_t openReadClose(const std::vector<std::string>& paths) {
    static std::array<char, 64 * 1024> buffer;
    std::size_t total = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) {
            continue;
        }
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
            total += static_cast<std::size_t>(got);
        }
        ::close(fd);
    }
    return total;
}

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

void BM_LoadFullHistoryFloor(benchmark::State& state) {
    FullFolder folder;
    const std::vector<std::string> paths = folder.dataFiles();
    for (auto _ : state) {
        benchmark::DoNotOptimize(openReadClose(paths));
    }
}
BENCHMARK(BM_LoadFullHistoryFloor)->Unit(benchmark::kMillisecond);

void BM_ReadRealTimePrices(benchmark::State& state) {
    FullFolder folder;
    Desk desk;
    startUp(desk.app, folder.folder());
    for (auto _ : state) {
        readRealTimePrices(desk.app.market, desk.app.host);
    }
}
BENCHMARK(BM_ReadRealTimePrices)->Unit(benchmark::kMicrosecond);

// The same 14 files through open/read/close, inside this process.
void BM_RealTimeFloor14(benchmark::State& state) {
    FullFolder folder;
    const std::vector<std::string> all = folder.dataFiles();
    const std::vector<std::string> paths(all.end() - PAIR_COUNT, all.end());
    for (auto _ : state) {
        benchmark::DoNotOptimize(openReadClose(paths));
    }
}
BENCHMARK(BM_RealTimeFloor14)->Unit(benchmark::kMicrosecond);

// The program as a trader runs it: every column chosen, the active logger
// on and a basket open.
void setUpBusyProgram(App& app, HeadlessUi& ui, const std::string& folder) {
    startUp(app, folder);
    const WindowHandle main = app.host.windows.main;
    ui.pickListItem(main, REFERENCE_DAY_LIST, 10);
    ui.dispatchPending();
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        ui.pickListItem(app.host.windows.multiTimeframe, columnLayout(k).listId, 20 + k);
        ui.dispatchPending();
    }
    ui.toggleCheckBox(main, REAL_TIME_BOX);
    ui.dispatchPending();
    ui.toggleCheckBox(main, ACTIVE_LOGGER_BOX);
    ui.clickButton(main, BUY_BUTTON);
    ui.dispatchPending();
}

// One second of the program with the 14 real-time reads.
void realTimeTick(benchmark::State& state, bool unseenSkipped) {
    FullFolder folder;
    Desk desk;
    desk.ui.setWatched(!unseenSkipped);
    setUpBusyProgram(desk.app, desk.ui, folder.folder());
    for (auto _ : state) {
        runRealTimeTick(desk.app);
        // The event log of a long run is cleared now and then by its user.
        if (desk.ui.reportRowCount(desk.app.host.windows.main, EVENT_LOG_LIST) > 1000) {
            desk.ui.reportClear(desk.app.host.windows.main, EVENT_LOG_LIST);
        }
    }
}
void BM_RealTimeTickWithAllColumns(benchmark::State& state) {
    realTimeTick(state, false);
}
BENCHMARK(BM_RealTimeTickWithAllColumns)->Unit(benchmark::kMicrosecond);

void BM_RealTimeTickUnseenSkipped(benchmark::State& state) {
    realTimeTick(state, true);
}
BENCHMARK(BM_RealTimeTickUnseenSkipped)->Unit(benchmark::kMicrosecond);

// Moves one price a little per tick, a different pair each time, so rows
// change places now and then as they do in a live market.
void nudgePrice(App& app, int& step) {
    auto& price = app.market.livePrices[static_cast<std::size_t>(step % PAIR_COUNT)];
    price *= (++step % 2 == 0) ? 1.002F : 0.998F;
}

// The same tick on prices already in place: the program's own work alone.
// Painted, the headless canvases cost most of it; nobody watches the
// replay's windows, and the "Unseen" variant measures it that way.
void tickWithoutReads(benchmark::State& state, bool unseenSkipped) {
    FullFolder folder;
    Desk desk;
    desk.ui.setWatched(!unseenSkipped);
    setUpBusyProgram(desk.app, desk.ui, folder.folder());
    int step = 0;
    for (auto _ : state) {
        nudgePrice(desk.app, step);
        runRealTimeTick(desk.app, PriceSource::AlreadyApplied);
        if (desk.ui.reportRowCount(desk.app.host.windows.main, EVENT_LOG_LIST) > 1000) {
            desk.ui.reportClear(desk.app.host.windows.main, EVENT_LOG_LIST);
        }
    }
}
void BM_TickWithoutReads(benchmark::State& state) {
    tickWithoutReads(state, false);
}
BENCHMARK(BM_TickWithoutReads)->Unit(benchmark::kMicrosecond);

void BM_TickWithoutReadsUnseenSkipped(benchmark::State& state) {
    tickWithoutReads(state, true);
}
BENCHMARK(BM_TickWithoutReadsUnseenSkipped)->Unit(benchmark::kMicrosecond);

// The replay's tick on prices already in place with only the main ranking
// chosen: the work the numpy core times, which reads and converts its ticks
// before its clock starts. The alerts, anchors and status the program keeps
// on top of that are in it too.
void BM_ReplayTickWithoutItsText(benchmark::State& state) {
    FullFolder folder;
    Desk desk;
    desk.ui.setWatched(false);
    startUp(desk.app, folder.folder());
    const WindowHandle main = desk.app.host.windows.main;
    desk.ui.pickListItem(main, REFERENCE_DAY_LIST, 10);
    desk.ui.dispatchPending();
    desk.ui.toggleCheckBox(main, REAL_TIME_BOX);
    desk.ui.dispatchPending();
    int step = 0;
    for (auto _ : state) {
        nudgePrice(desk.app, step);
        runRealTimeTick(desk.app, PriceSource::AlreadyApplied);
    }
}
BENCHMARK(BM_ReplayTickWithoutItsText)->Unit(benchmark::kMicrosecond);

} // namespace
