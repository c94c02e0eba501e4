#pragma once

#include "shell/app.h"

#include <string_view>

namespace vz {

inline constexpr std::string_view MTF_WINDOW_CAPTION = "Multi-Timeframe Slots";

// Opens the hidden, centred "Multi-Timeframe Slots" window with its five
// columns; events go to handleMultiTimeframeEvent.
WindowHandle buildMultiTimeframeWindow(App& app);

// Close box hides; a new pick in a column's list recomputes that column.
void handleMultiTimeframeEvent(App& app, const WindowEvent& event);

// After a reload every column waits for a new pick: no reference, boxes
// emptied and painted black on white, arrow cells erased.
void resetColumnsAfterReload(App& app);

} // namespace vz
