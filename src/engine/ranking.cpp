#include "engine/ranking.h"

#include "engine/slot_arrows.h"
#include "logging/event_log.h"
#include "platform/text.h"

#include <cstdlib>

namespace vz {

namespace {

AlertInputs alertInputs(const MainRanking& ranking, const MarketData& market) {
    AlertInputs inputs;
    inputs.rowSymbols = &ranking.rowSymbols;
    inputs.rowPipsTexts = &ranking.rowPipsTexts;
    inputs.referenceBias = ranking.referenceBias;
    inputs.previousRefBias = ranking.previousRefBias;
    inputs.topAnchorPair = ranking.topAnchorPair;
    inputs.bottomAnchorPair = ranking.bottomAnchorPair;
    inputs.groupList = &market.groupList;
    return inputs;
}

SlotList measurePairs(MainRanking& ranking, const MarketData& market) {
    const auto reference =
        referencePrices(market.history, Timeframe::Daily, market.referenceDayIndex);
    // A day outside the history has no prices, like a day the exporter left empty.
    const SlotList entries =
        buildSlotEntries(market.livePrices, reference.value_or(std::array<float, PAIR_COUNT>{}));
    for (std::size_t p = 0; p < entries.size(); ++p) {
        ranking.pairPips[p] = entries[p].pips;
    }
    return entries;
}

void applyPowers(MainRanking& ranking) {
    const Powers powers = computePowers(ranking.pairPips);
    ranking.buyPower = powers.buyPower;
    ranking.sellPower = powers.sellPower;
    ranking.basketBias = powers.basketBias;
    ranking.referenceBias = powers.referenceBias;
}

void checkBiasFlip(MainRanking& ranking, const MarketData& market, AlertState& alerts, Host& host) {
    // The flag, not the 9999 marker, says whether there was a previous pass:
    // a real bias can be 9999 too.
    if (ranking.hasPreviousPass) {
        runAlertCheck(AlertCheck::RefBiasFlip, alertInputs(ranking, market), alerts, host);
    }
    ranking.previousRefBias = ranking.referenceBias;
    ranking.hasPreviousPass = true;
}

// The alerts and anchors read the rows from the ranking, never from the
// boxes, so boxes nobody watches are left unwritten.
void showRows(MainRanking& ranking, const SlotList& sorted, Host& host) {
    const WindowHandle main = host.windows.main;
    const bool watched = host.ui.isWatched();
    for (int r = 0; r < PAIR_COUNT; ++r) {
        const auto row = static_cast<std::size_t>(r);
        const SlotEntry& entry = sorted[row];
        ranking.rowSymbols[row] = entry.symbol;
        ranking.rowPipsTexts[row].clear();
        appendWholeNumber(ranking.rowPipsTexts[row], entry.pips);
        if (watched) {
            host.ui.setControlText(main, MAIN_NAME_BOX_FIRST + r, entry.symbol);
            host.ui.setControlColours(main, MAIN_NAME_BOX_FIRST + r, BLACK, entry.colour);
            host.ui.setControlText(main, MAIN_PIPS_BOX_FIRST + r, ranking.rowPipsTexts[row]);
        }
    }
    ranking.rows = sorted;
}

void markMovedPairs(MainRanking& ranking, Host& host) {
    const bool watched = host.ui.isWatched();
    for (int r = 0; r < PAIR_COUNT; ++r) {
        const int pair = ranking.rows[static_cast<std::size_t>(r)].pair;
        std::int32_t& slot = ranking.pairSlot[static_cast<std::size_t>(pair)];
        if (watched && slot > r) {
            drawUpArrow(host, ranking.slotMarkerState, r);
        } else if (watched && slot < r) {
            drawDownArrow(host, ranking.slotMarkerState, r);
        }
        slot = r;
    }
    ranking.slotMarkerState = 0;
}

// One end of the ranking and the anchor recorded for it.
struct AnchorEnd {
    int row;
    const char* announcement;
    std::string MainRanking::*pair;
    std::int32_t MainRanking::*pips;
};

constexpr AnchorEnd TOP_END{0, "New +anchor: ", &MainRanking::topAnchorPair,
                            &MainRanking::topAnchorPips};
constexpr AnchorEnd BOTTOM_END{PAIR_COUNT - 1, "New -anchor: ", &MainRanking::bottomAnchorPair,
                               &MainRanking::bottomAnchorPips};

void trackAnchor(const AnchorEnd& end, MainRanking& ranking, const MarketData& market,
                 AlertState& alerts, Host& host) {
    const auto row = static_cast<std::size_t>(end.row);
    const std::string& symbol = ranking.rowSymbols[row];
    const std::int32_t pips = ranking.rows[row].pips;
    std::string& recordedPair = ranking.*end.pair;
    std::int32_t& recordedPips = ranking.*end.pips;
    if (!recordedPair.empty()) {
        const std::int64_t shift = static_cast<std::int64_t>(pips) - recordedPips;
        if (symbol == recordedPair || std::llabs(shift) <= ANCHOR_SHIFT_PIPS) {
            return;
        }
        addEventLogRow(host, end.announcement + symbol + ":" + ranking.rowPipsTexts[row]);
        // The detector compares against the anchors as they stood before this one.
        runAlertCheck(AlertCheck::OpposingAnchors, alertInputs(ranking, market), alerts, host);
    }
    recordedPair = symbol;
    recordedPips = pips;
}

} // namespace

void resetForNewReferenceDay(MainRanking& ranking) {
    ranking.topAnchorPair.clear();
    ranking.topAnchorPips = 0;
    ranking.bottomAnchorPair.clear();
    ranking.bottomAnchorPips = 0;
    ranking.previousRefBias = NO_PREVIOUS_BIAS;
    ranking.hasPreviousPass = false;
    ranking.slotMarkerState = MARKERS_SUPPRESSED;
}

void rankMainSlots(MainRanking& ranking, const MarketData& market, AlertState& alerts, Host& host) {
    SlotList entries = measurePairs(ranking, market);
    applyPowers(ranking);
    checkBiasFlip(ranking, market, alerts, host);
    exchangeSort(entries);
    showRows(ranking, entries, host);
    markMovedPairs(ranking, host);
    const std::int64_t ends = static_cast<std::int64_t>(entries.front().pips) + entries.back().pips;
    ranking.anchorBias = saturatedSum(ends);
    trackAnchor(TOP_END, ranking, market, alerts, host);
    trackAnchor(BOTTOM_END, ranking, market, alerts, host);
    runAlertCheck(AlertCheck::Grouping, alertInputs(ranking, market), alerts, host);
    runAlertCheck(AlertCheck::PairInSlot, alertInputs(ranking, market), alerts, host);
}

} // namespace vz
