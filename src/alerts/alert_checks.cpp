#include "alerts/alert_checks.h"

#include "alerts/alert_options.h"
#include "logging/event_log.h"
#include "market/pairs.h"
#include "platform/text.h"

#include <algorithm>

namespace vz {

namespace {

constexpr std::size_t TOP_ROW = 0;
constexpr std::size_t BOTTOM_ROW = PAIR_COUNT - 1;

bool switchedOn(Host& host, int checkBoxId) {
    return host.ui.isChecked(host.windows.options, checkBoxId);
}

// The entry always comes first so that it is kept even if the sound fails.
void raise(Host& host, AlertState& state, const std::string& entry, int soundFieldId) {
    addEventLogRow(host, entry);
    const std::string wave = host.ui.getControlText(host.windows.options, soundFieldId);
    if (!wave.empty()) {
        host.ui.playWave(wave);
        checkAlertSound(wave, state, host);
    }
}

std::string rowText(const std::array<std::string, 14>* rows, std::size_t row) {
    return rows != nullptr ? (*rows)[row] : std::string();
}

// True when exactly one of the two symbols belongs to the first half.
bool acrossHalves(const std::string& a, const std::string& b) {
    return isFirstHalfSymbol(a) != isFirstHalfSymbol(b);
}

void checkOpposingEnd(const AlertInputs& inputs, std::size_t row, const std::string& oldAnchor,
                      const char* caption, AlertState& state, Host& host) {
    const std::string current = rowText(inputs.rowSymbols, row);
    if (current != oldAnchor && acrossHalves(current, oldAnchor)) {
        raise(host, state, caption + current + ":" + rowText(inputs.rowPipsTexts, row),
              OPT_ANCHORS_SOUND);
    }
}

void checkOpposingAnchors(const AlertInputs& inputs, AlertState& state, Host& host) {
    if (!switchedOn(host, OPT_ANCHORS_BOX)) {
        return;
    }
    checkOpposingEnd(inputs, TOP_ROW, inputs.topAnchorPair, "New opposing top anchor: ", state,
                     host);
    checkOpposingEnd(inputs, BOTTOM_ROW, inputs.bottomAnchorPair,
                     "New opposing bottom anchor: ", state, host);
}

void checkBiasFlip(const AlertInputs& inputs, AlertState& state, Host& host) {
    if (!switchedOn(host, OPT_FLIP_BOX)) {
        return;
    }
    if (inputs.previousRefBias >= 0 && inputs.referenceBias < 0) {
        raise(host, state, "Reference Bias Flipped Negative!", OPT_FLIP_SOUND);
    } else if (inputs.previousRefBias <= 0 && inputs.referenceBias > 0) {
        raise(host, state, "Reference Bias Flipped Positive!", OPT_FLIP_SOUND);
    }
}

int firstHalfPairsOnTop(const AlertInputs& inputs) {
    if (inputs.rowSymbols == nullptr || inputs.groupList == nullptr) {
        return 0;
    }
    const auto groupBegin = inputs.groupList->begin();
    const auto groupEnd = groupBegin + HALF_SIZE;
    int count = 0;
    for (std::size_t row = 0; row < static_cast<std::size_t>(HALF_SIZE); ++row) {
        if (std::find(groupBegin, groupEnd, (*inputs.rowSymbols)[row]) != groupEnd) {
            ++count;
        }
    }
    return count;
}

void checkGrouping(const AlertInputs& inputs, AlertState& state, Host& host) {
    if (!switchedOn(host, OPT_GROUPING_BOX)) {
        return;
    }
    const int count = firstHalfPairsOnTop(inputs);
    const bool grouped = count == 0 || count == HALF_SIZE;
    if (state.groupedAlertLatch == 0 && grouped) {
        raise(host, state, "Pairs are perfectly grouped.", OPT_GROUPING_SOUND);
        state.groupedAlertLatch = 1;
    } else if (state.groupedAlertLatch == 1 && !grouped) {
        state.groupedAlertLatch = 0;
    }
}

bool validIndex(int index) {
    return index >= 0 && index < PAIR_COUNT;
}

void checkPairInSlot(const AlertInputs& inputs, AlertState& state, Host& host) {
    if (!switchedOn(host, OPT_PAIR_BOX)) {
        return;
    }
    const int slot = host.ui.getListSelection(host.windows.options, OPT_SLOT_LIST);
    const int pair = host.ui.getListSelection(host.windows.options, OPT_PAIR_LIST);
    // An incomplete choice never fires.
    if (!validIndex(slot) || !validIndex(pair)) {
        return;
    }
    const std::string symbol = rowText(inputs.rowSymbols, static_cast<std::size_t>(slot));
    if (symbol != PAIR_TABLE[static_cast<std::size_t>(pair)]) {
        return;
    }
    raise(host, state, "Pair: " + symbol + " is in slot: " + formatNumber(slot + 1),
          OPT_PAIR_SOUND);
    // Fires once; the user re-arms it by checking the box again.
    host.ui.setChecked(host.windows.options, OPT_PAIR_BOX, false);
}

} // namespace

void checkAlertSound(const std::string& path, AlertState& state, Host& host) {
    if (path.empty()) {
        return;
    }
    if (host.ui.canPlayWave(path)) {
        state.unplayableSounds.erase(path);
    } else if (state.unplayableSounds.insert(path).second) {
        addEventLogRow(host, "Alert sound cannot be played: " + path);
    }
}

void runAlertCheck(AlertCheck check, const AlertInputs& inputs, AlertState& state, Host& host) {
    switch (check) {
    case AlertCheck::OpposingAnchors:
        checkOpposingAnchors(inputs, state, host);
        break;
    case AlertCheck::RefBiasFlip:
        checkBiasFlip(inputs, state, host);
        break;
    case AlertCheck::Grouping:
        checkGrouping(inputs, state, host);
        break;
    case AlertCheck::PairInSlot:
        checkPairInSlot(inputs, state, host);
        break;
    }
}

} // namespace vz
