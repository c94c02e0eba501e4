#pragma once

#include "shell/app.h"

#include <string_view>

namespace vz {

inline constexpr std::string_view MAIN_WINDOW_CAPTION = "Orvex VU Vurezer - Tarvo Edition v20";

// Main window control ids.
inline constexpr int REFERENCE_DAY_LABEL = 2;
inline constexpr int REFERENCE_DAY_LIST = 3;
inline constexpr int ACTIVE_LOGGER_BOX = 51;
inline constexpr int MULTI_TIMEFRAME_BUTTON = 50;

// Main window menu ids.
inline constexpr int MENU_RELOAD_HISTORY = 1;
inline constexpr int MENU_SAVE_LOG = 2;
inline constexpr int MENU_CLEAR_LOG = 3;
inline constexpr int MENU_QUIT = 4;
inline constexpr int MENU_FIRST_LOG_TIMER = 20;
inline constexpr int MENU_LAST_LOG_TIMER = 25;
inline constexpr int MENU_DEFAULT_LOG_TIMER = 22;
inline constexpr int MENU_TARVO_PAIRS = 30;
inline constexpr int MENU_ORVEX_ORIGINAL = 31;
inline constexpr int MENU_SOUND_ALERTS = 35;
inline constexpr int MENU_PAIR_ALERTS = 36;
inline constexpr int MENU_STRENGTH_CHART = 37;

// Opens the visible main window with every control, its drawn decorations and
// its menu bar; events go to handleMainWindowEvent.
WindowHandle buildMainWindow(App& app);

} // namespace vz
