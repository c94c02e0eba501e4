#pragma once

#include "alerts/alert_checks.h"
#include "platform/host.h"

#include <string>

namespace vz {

// Control ids of the "Sounds/Alert Options" window.
inline constexpr int OPT_EXIT_BUTTON = 1;
inline constexpr int OPT_ANCHORS_BOX = 2;
inline constexpr int OPT_ANCHORS_SOUND = 3;
inline constexpr int OPT_FLIP_BOX = 4;
inline constexpr int OPT_FLIP_SOUND = 5;
inline constexpr int OPT_GROUPING_BOX = 6;
inline constexpr int OPT_GROUPING_SOUND = 7;
inline constexpr int OPT_PAIR_BOX = 8;
inline constexpr int OPT_PAIR_SOUND = 9;
inline constexpr int OPT_PAIR_LIST = 10;
inline constexpr int OPT_SLOT_LIST = 11;

// Opens the hidden, centred options window with its controls and lists and
// returns its handle. The handler must route events to handleOptionsEvent.
WindowHandle buildOptionsWindow(Host& host, EventHandler handler);

// CloseRequest hides; check boxes 2/4/6/8 run chooseAlertSound; Exit runs
// closeAlertOptions; everything else is ignored.
void handleOptionsEvent(Host& host, AlertState& alerts, const WindowEvent& event);

// A click on check box 2, 4, 6 or 8: when it is now on, asks for a wave file
// and puts the answer ("" when cancelled) into the box's sound field. A file
// that cannot be played is reported in the event log at once.
void chooseAlertSound(Host& host, AlertState& alerts, int checkBoxId);

// The Exit button: hides the window unless the pair alert is armed without a
// pair or without a slot, which is reported instead.
void closeAlertOptions(Host& host);

} // namespace vz
