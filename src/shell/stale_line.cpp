#include "shell/stale_line.h"

#include "logging/event_log.h"
#include "market/data_files.h"
#include "market/market_data.h"

namespace vz {

namespace {

// A shorter line is padded with blanks so that it covers the longer one it
// replaces; an empty one leaves only blanks.
void drawStaleLine(StaleDisplay& display, Host& host, const std::string& line) {
    if (line == display.shown) {
        return;
    }
    std::string text = line;
    if (text.size() < display.shown.size()) {
        text.append(display.shown.size() - text.size(), ' ');
    }
    Ui& ui = host.ui;
    const WindowHandle main = host.windows.main;
    ui.setDrawColour(main, STALE_LINE_COLOUR);
    ui.moveTo(main, STALE_LINE_X, STALE_LINE_Y);
    ui.printText(main, text);
    ui.setDrawColour(main, BLACK);
    display.shown = line;
}

} // namespace

void watchLivePrices(StaleDisplay& display, const MarketData& market, Host& host) {
    FileTimes modified{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        modified[static_cast<std::size_t>(pair)] =
            host.files.modifiedTime(realTimeFileName(market.programFolder, pair));
    }
    const std::int64_t nowUtc = host.clock.utcSeconds();
    const std::int64_t offset = localOffsetSeconds(secondsSinceEpoch(host.clock.now()), nowUtc);
    const PriceWatchReport report = watchPrices(display.watch, modified, nowUtc, offset);
    for (const std::string& entry : report.entries) {
        addEventLogRow(host, entry);
    }
    drawStaleLine(display, host, report.line);
}

void clearStaleLine(StaleDisplay& display, Host& host) {
    drawStaleLine(display, host, "");
}

} // namespace vz
