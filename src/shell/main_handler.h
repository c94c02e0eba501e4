#pragma once

#include "logging/active_logger.h"
#include "shell/app.h"

#include <string>

namespace vz {

inline constexpr const char* RELOAD_QUESTION = "You will be reloading your history arrays.\r"
                                               "You will need to setup your columns again.\r"
                                               "Are you sure you want to do this?";
inline constexpr const char* RELOAD_CAPTION = "Reload arrays?";

// Where a tick's live prices come from: the real-time files, or already
// placed in livePrices by whoever drives the tick (a replay).
enum class PriceSource { RealTimeFiles, AlreadyApplied };

// The single handler of the main window.
void handleMainWindowEvent(App& app, const WindowEvent& event);

// One tick of the one-second cycle. A tick that arrives while another is
// still running (a modal box let the platform deliver it) is dropped.
void runRealTimeTick(App& app, PriceSource source = PriceSource::RealTimeFiles);

// The "Real-Time Mode" check box was clicked.
void setRealTimeMode(App& app);

// A new pick in the "Reference Day:" list.
void changeReferenceDay(App& app);

// Log Timers menu ids 20..25.
void selectBiasLogInterval(App& app, int menuId);
// Caption and ticks of a Log Timers item; "" and 0 for other ids.
std::string logTimerCaption(int menuId);
int logTimerTicks(int menuId);

inline constexpr const char* REFERENCE_DROPPED_ENTRY =
    "Reference day no longer in the history: pick a day again.";

// File > Reload History, after a Yes to its question. A picked reference day
// whose record the reload emptied is dropped, as if never chosen.
void reloadHistoryCommand(App& app);

// The market as the active log records it, with the listed reference day.
ActiveLogSnapshot activeLogSnapshot(const App& app);

// The basket figures of the last ranking pass.
BasketFigures basketFigures(const App& app);

} // namespace vz
