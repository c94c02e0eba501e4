#pragma once

#include "engine/pips.h"
#include "market/market_data.h"
#include "platform/host.h"

#include <array>
#include <cstdint>

namespace vz {

inline constexpr int COLUMN_COUNT = 5;
inline constexpr int NO_REFERENCE = 999;
inline constexpr int MTF_ROW_TOP = 60;

// Where column k (1..5) lives in the multi-timeframe window.
struct ColumnLayout {
    Timeframe timeframe;
    int listId;       // reference list
    int firstNameBox; // name box of row r: firstNameBox + r; pips box: + 20
    int x;            // left edge of boxes and bias texts
    int cellLeft;     // arrow cell
    int shaftX;       // first of the two shaft columns
    int headLeftX;
    int headRightX;
    int listWidth;
};

inline constexpr std::array<ColumnLayout, COLUMN_COUNT> COLUMN_LAYOUTS = {{
    {Timeframe::Daily, 10, 20, 25, 3, 10, 5, 15, 108},
    {Timeframe::Daily, 11, 60, 195, 178, 185, 180, 190, 108},
    {Timeframe::Daily, 12, 100, 365, 348, 355, 350, 360, 108},
    {Timeframe::FourHour, 13, 140, 535, 518, 525, 520, 530, 118},
    {Timeframe::OneHour, 14, 180, 700, 683, 690, 685, 695, 118},
}};

const ColumnLayout& columnLayout(int k);

struct TimeframeColumn {
    Timeframe timeframe = Timeframe::Daily;
    std::int32_t referenceIndex = NO_REFERENCE;
    std::int32_t markerState = 99;
    std::array<std::int32_t, PAIR_COUNT> pairSlot{};
    std::int32_t referenceBias = 0;
    std::int32_t buyPower = 0;
    std::int32_t sellPower = 0;
    SlotList rows{}; // after the last pass, row 0 first
};

using ColumnSet = std::array<TimeframeColumn, COLUMN_COUNT>;

// Start values: each column's timeframe, no reference, arrows suppressed.
ColumnSet initialColumns();

// One pass of column k (1..5) against its reference bar.
void rankColumn(TimeframeColumn& column, int k, const MarketData& market, Host& host);

} // namespace vz
