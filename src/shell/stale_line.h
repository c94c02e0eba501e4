#pragma once

#include "market/price_watch.h"
#include "platform/colour.h"
#include "platform/host.h"

#include <string>

namespace vz {

struct MarketData;

// Where the line about stale prices goes: the free space right of the mode
// check boxes, above the status lines.
inline constexpr int STALE_LINE_X = 300;
inline constexpr int STALE_LINE_Y = 50;
inline constexpr Colour STALE_LINE_COLOUR = rgb(204, 0, 0);

// The watch over the real-time files and the line it last drew.
struct StaleDisplay {
    PriceWatch watch;
    std::string shown;
};

// Reads the modification times of the fourteen real-time files, logs what
// the watch reports and draws or removes its line. Runs in the real-time
// reading of a tick only.
void watchLivePrices(StaleDisplay& display, const MarketData& market, Host& host);

// Takes the line away, as when Real-Time Mode is switched off.
void clearStaleLine(StaleDisplay& display, Host& host);

} // namespace vz
