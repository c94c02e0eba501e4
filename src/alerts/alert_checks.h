#pragma once

#include "market/pairs.h"
#include "platform/host.h"

#include <array>
#include <set>
#include <string>

namespace vz {

enum class AlertCheck { OpposingAnchors = 1, RefBiasFlip = 2, Grouping = 3, PairInSlot = 4 };

// The part of the ranking the detectors look at.
struct AlertInputs {
    const std::array<std::string, PAIR_COUNT>* rowSymbols = nullptr; // slot rows 0..13
    const std::array<std::string, PAIR_COUNT>* rowPipsTexts =
        nullptr; // as shown, with the leading blank
    int referenceBias = 0;
    int previousRefBias = 0;
    std::string topAnchorPair; // the anchors recorded before this pass's update
    std::string bottomAnchorPair;
    const std::array<std::string, PAIR_COUNT>* groupList = nullptr;
};

struct AlertState {
    int groupedAlertLatch = 0;
    // Sound files already reported as unplayable. A file that plays again is
    // dropped, so that breaking it later is reported anew.
    std::set<std::string> unplayableSounds;
};

// Runs one detector: reads its switch, lists and sound field from the options
// window, logs its entry in the event log, then plays its sound.
void runAlertCheck(AlertCheck check, const AlertInputs& inputs, AlertState& state, Host& host);

// A chosen sound file that cannot be played would leave its alert silent.
// The first time that is found, the event log says "Alert sound cannot be
// played: " followed by the path as chosen. An empty path is no choice.
void checkAlertSound(const std::string& path, AlertState& state, Host& host);

} // namespace vz
