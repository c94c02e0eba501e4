#pragma once

#include "platform/host.h"

namespace vz {

// Main window marker cells. While markerState is 99 the up arrow erases all
// fourteen cells and the down arrow does nothing.
void drawUpArrow(Host& host, int markerState, int row);
void drawDownArrow(Host& host, int markerState, int row);

// The same for column k (1..5) of the multi-timeframe window.
void drawColumnUpArrow(Host& host, int k, int markerState, int row);
void drawColumnDownArrow(Host& host, int k, int markerState, int row);

} // namespace vz
