#include "engine/columns.h"

#include "engine/slot_arrows.h"
#include "platform/text.h"

#include <algorithm>
#include <string>

namespace vz {

namespace {

constexpr int REF_BIAS_LINE_Y = 396;
constexpr int BUY_POWER_LINE_Y = 411;
constexpr int SELL_POWER_LINE_Y = 426;
constexpr int PIPS_BOX_OFFSET = 20;

void printAt(Host& host, int x, int y, const FigureText& text) {
    host.ui.moveTo(host.windows.multiTimeframe, x, y);
    host.ui.printText(host.windows.multiTimeframe, text.view());
}

// The trailing blanks wipe the end of a longer figure printed there before.
void printFigures(const TimeframeColumn& column, const ColumnLayout& layout, Host& host) {
    printAt(host, layout.x, REF_BIAS_LINE_Y,
            FigureText("Ref. Bias: ", column.referenceBias, "    "));
    printAt(host, layout.x, BUY_POWER_LINE_Y, FigureText("Buy Power: ", column.buyPower, "     "));
    printAt(host, layout.x, SELL_POWER_LINE_Y,
            FigureText("Sell Power: ", column.sellPower, "      "));
}

void showRows(const SlotList& sorted, const ColumnLayout& layout, Host& host) {
    const WindowHandle window = host.windows.multiTimeframe;
    for (int r = 0; r < PAIR_COUNT; ++r) {
        const SlotEntry& entry = sorted[static_cast<std::size_t>(r)];
        const int nameBox = layout.firstNameBox + r;
        host.ui.setControlText(window, nameBox, entry.symbol);
        host.ui.setControlColours(window, nameBox, BLACK, entry.colour);
        host.ui.setControlText(window, nameBox + PIPS_BOX_OFFSET,
                               FigureText("", entry.pips, "").view());
    }
}

void markMovedPairs(TimeframeColumn& column, const SlotList& sorted, int k, Host& host) {
    const bool watched = host.ui.isWatched();
    for (int r = 0; r < PAIR_COUNT; ++r) {
        const int pair = sorted[static_cast<std::size_t>(r)].pair;
        std::int32_t& slot = column.pairSlot[static_cast<std::size_t>(pair)];
        if (watched && slot > r) {
            drawColumnUpArrow(host, k, column.markerState, r);
        } else if (watched && slot < r) {
            drawColumnDownArrow(host, k, column.markerState, r);
        }
        slot = r;
    }
    column.markerState = 0;
}

} // namespace

const ColumnLayout& columnLayout(int k) {
    const int index = std::clamp(k, 1, COLUMN_COUNT) - 1;
    return COLUMN_LAYOUTS[static_cast<std::size_t>(index)];
}

ColumnSet initialColumns() {
    ColumnSet columns{};
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        columns[static_cast<std::size_t>(k - 1)].timeframe = columnLayout(k).timeframe;
    }
    return columns;
}

void rankColumn(TimeframeColumn& column, int k, const MarketData& market, Host& host) {
    if (k < 1 || k > COLUMN_COUNT) {
        return;
    }
    // A column without a chosen bar (or with one outside the history) has
    // nothing to measure against and keeps what it shows.
    const auto reference = referencePrices(market.history, column.timeframe, column.referenceIndex);
    if (!reference) {
        return;
    }
    const ColumnLayout& layout = columnLayout(k);
    SlotList entries = buildSlotEntries(market.livePrices, *reference);
    std::array<std::int32_t, PAIR_COUNT> pips{};
    for (std::size_t p = 0; p < entries.size(); ++p) {
        pips[p] = entries[p].pips;
    }
    const Powers powers = computePowers(pips);
    column.buyPower = powers.buyPower;
    column.sellPower = powers.sellPower;
    column.referenceBias = powers.referenceBias;
    exchangeSort(entries);
    // The columns' figures and rows are read from the column, never from the
    // window, so a window nobody watches is left as it is.
    if (host.ui.isWatched()) {
        printFigures(column, layout, host);
        showRows(entries, layout, host);
    }
    markMovedPairs(column, entries, k, host);
    column.rows = entries;
}

} // namespace vz
