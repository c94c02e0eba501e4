// The start-up load on a whole program folder made from the input: parts
// split by NUL bytes become the 42 history files and the 14 real-time files
// in turn (over again from the first part when they run out), a part that is
// just "!" a file that cannot be opened. A folder that loads is then used as
// a trader would: a reference day picked, Real-Time Mode on, two ticks.
#include "fuzz_support.h"

#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/memory_files.h"
#include "shell/main_handler.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

using namespace vz;

const std::string FOLDER = "data/";

void fillFolder(MemoryFileSystem& files, const std::vector<std::string>& parts) {
    std::size_t next = 0;
    auto place = [&](const std::string& path) {
        const std::string& content = parts[next++ % parts.size()];
        if (content != "!") {
            files.put(path, content);
        }
    };
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        for (const Timeframe timeframe : ALL_TIMEFRAMES) {
            place(historyFileName(FOLDER, pair, timeframe));
        }
    }
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        place(realTimeFileName(FOLDER, pair));
    }
}

void useLikeATrader(App& app, HeadlessUi& ui) {
    const WindowHandle main = app.host.windows.main;
    const int lastDay = app.market.lastListed(Timeframe::Daily);
    ui.pickListItem(main, REFERENCE_DAY_LIST, lastDay > 0 ? lastDay : 0);
    ui.dispatchPending();
    ui.toggleCheckBox(main, REAL_TIME_BOX);
    ui.dispatchPending();
    // The first live prices are taken without the range test, so whatever
    // the files hold reaches the ranking here.
    if (app.shell.realTimeMode == 1) {
        runRealTimeTick(app);
        runRealTimeTick(app);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeadlessUi ui;
    ui.setPaintsPixels(false);
    MemoryFileSystem files;
    FixedClock clock;
    fillFolder(files, fuzz::splitOn(fuzz::bytesOf(data, size), '\0'));
    App app(Host{ui, files, clock});
    startUp(app, FOLDER);
    if (app.shell.appRunning != 0) {
        useLikeATrader(app, ui);
    }
    return 0;
}
