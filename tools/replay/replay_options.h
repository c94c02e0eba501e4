#pragma once

#include "simulator/basket.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vz {

inline constexpr int REPLAY_COLUMN_COUNT = 5;
inline constexpr int REPLAY_DEFAULT_BIAS_LOG_TICKS = 900;

struct PairAlertChoice {
    int pair = 0; // pair index
    int slot = 1; // 1..14
};

struct BasketPress {
    TradeDirection direction = TradeDirection::Buy;
    long long tick = 0;
};

// Large positions and tick indices are kept saturated: they are still whole
// numbers, merely outside every list or beyond every tick.
struct ReplayOptions {
    std::string folder;
    std::string ticks; // "-" is standard input
    long long referenceDay = 0;
    std::string referenceDayText; // as typed, for messages
    std::array<std::optional<long long>, REPLAY_COLUMN_COUNT> columns{};
    std::array<std::string, REPLAY_COLUMN_COUNT> columnTexts{};
    bool anchorsAlert = false;
    bool flipAlert = false;
    bool groupingAlert = false;
    std::optional<PairAlertChoice> pairAlert;
    int biasLogEvery = REPLAY_DEFAULT_BIAS_LOG_TICKS;
    std::optional<BasketPress> basket;
    std::optional<long long> closeAt;
    std::string snapshots; // "" = not written
    std::string events;
    std::string columnsOut;
    std::string report; // HTML page describing the run
    // Not a command-line option. Off, the run also paints the canvases and
    // keeps the printed texts, which no output shows; tests compare both ways.
    bool skipsUnseenWork = true;
};

struct ParsedCommandLine {
    bool help = false;
    std::optional<ReplayOptions> options;
    std::string error; // one line, set when neither help nor options
};

// The arguments after the program name.
ParsedCommandLine parseReplayCommandLine(const std::vector<std::string>& args);

std::string replayUsage();

} // namespace vz
