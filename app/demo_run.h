#pragma once

#include "platform/host.h"

#include <QString>

namespace vz {

class QtUi;

// The environment variable that asks for a demo run: the path of the picture
// to write. Only scripts/demo sets it, on machines without a display.
inline constexpr const char* DEMO_SCREENSHOT_VARIABLE = "VUREZER_DEMO_SCREENSHOT";
// The reference day the demo picks: the 21st bar from the newest.
inline constexpr int DEMO_REFERENCE_DAY = 20;
inline constexpr int DEMO_TICK_SECONDS = 6;

// Plays the user once the windows exist: picks a reference day and ticks
// "Real-Time Mode" through the controls themselves, lets the ticks run for a
// few seconds, writes a picture of the main window to screenshotPath and
// closes that window, which ends the run.
void startDemoRun(QtUi& ui, const WindowSet& windows, const QString& screenshotPath);

} // namespace vz
