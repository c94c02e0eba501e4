#pragma once

#include "shell/app.h"

#include <string_view>

namespace vz {

inline constexpr std::string_view CHART_WINDOW_CAPTION = "Strength Chart";

// Opens the hidden, centred "Strength Chart" window; events go to
// handleStrengthChartEvent.
WindowHandle buildStrengthChartWindow(App& app);

// The close box hides the window; the samples keep being taken.
void handleStrengthChartEvent(App& app, const WindowEvent& event);

// Options > Strength Chart: shows the window with the chart as it stands.
void showStrengthChart(App& app);

// After each tick's ranking: keeps the sample, and redraws while shown.
void followStrengthChart(App& app);

// A new reference day: the samples so far measured against the old one.
void restartStrengthChart(App& app, std::string referenceDay);

} // namespace vz
