#pragma once

#include "alerts/alert_checks.h"
#include "engine/pips.h"
#include "market/market_data.h"
#include "platform/host.h"

#include <array>
#include <cstdint>
#include <string>

namespace vz {

inline constexpr int NO_PREVIOUS_BIAS = 9999;
inline constexpr int MARKERS_SUPPRESSED = 99;
inline constexpr int ANCHOR_SHIFT_PIPS = 5;
inline constexpr int MAIN_ROW_TOP = 140;
inline constexpr int ROW_PITCH = 24;
inline constexpr int MAIN_NAME_BOX_FIRST = 5;  // name box of row r: 5 + r
inline constexpr int MAIN_PIPS_BOX_FIRST = 20; // pips box of row r: 20 + r

// The main ranking's results and memory between passes.
struct MainRanking {
    std::array<std::int32_t, PAIR_COUNT> pairPips{};
    std::array<std::int32_t, PAIR_COUNT> pairSlot{};
    std::int32_t buyPower = 0;
    std::int32_t sellPower = 0;
    std::int32_t referenceBias = 0;
    std::int32_t basketBias = 0;
    std::int32_t anchorBias = 0;
    // NO_PREVIOUS_BIAS when there was no previous pass; hasPreviousPass says
    // so on its own, so that a real bias of 9999 is not mistaken for "none".
    std::int32_t previousRefBias = NO_PREVIOUS_BIAS;
    bool hasPreviousPass = false;
    std::int32_t slotMarkerState = MARKERS_SUPPRESSED;
    std::string topAnchorPair;
    std::int32_t topAnchorPips = 0;
    std::string bottomAnchorPair;
    std::int32_t bottomAnchorPips = 0;
    // The slot table as shown: symbol and pips text of rows 0..13.
    std::array<std::string, PAIR_COUNT> rowSymbols{};
    std::array<std::string, PAIR_COUNT> rowPipsTexts{};
    SlotList rows{};
};

// What a new reference day resets before its first pass.
void resetForNewReferenceDay(MainRanking& ranking);

// One ranking pass against the daily bar at referenceDayIndex: slot rows in
// the main window, arrows, anchors with their entries, and the alert checks.
void rankMainSlots(MainRanking& ranking, const MarketData& market, AlertState& alerts, Host& host);

} // namespace vz
