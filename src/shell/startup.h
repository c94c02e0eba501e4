#pragma once

#include "shell/app.h"

#include <functional>
#include <string>

namespace vz {

inline constexpr const char* STARTED_ENTRY = "Started VU Vurezer";

// The run's defaults, with the data files looked for in programFolder.
void initialiseShellState(App& app, const std::string& programFolder);

// The date lists of both windows, from record 0 to each timeframe's listed
// extent, with nothing selected.
void fillReferenceLists(App& app);

// Everything before the event loop: defaults, pair lists, the three windows,
// the history, the date lists and the first event-log entry. A history file
// that cannot be opened lets start-up finish and ends the run after one pass
// of the loop.
void startUp(App& app, const std::string& programFolder);

// Waits for and dispatches events until appRunning drops; always one pass.
void runEventLoop(App& app);

// Closes the main, options, multi-timeframe and strength chart windows, in
// that order.
void shutDown(App& app);

// Called once start-up is done, just before the event loop begins.
using StartedHook = std::function<void(const WindowSet& windows)>;

// The whole program on the given host; returns the process exit code.
int runVurezer(Host& host, const std::string& programFolder, const StartedHook& started = {});

} // namespace vz
