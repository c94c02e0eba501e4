#pragma once

#include "alerts/alert_checks.h"
#include "engine/columns.h"
#include "engine/ranking.h"
#include "engine/strength_history.h"
#include "market/market_data.h"
#include "platform/host.h"
#include "platform/text.h"
#include "shell/stale_line.h"
#include "simulator/basket.h"

#include <string>

namespace vz {

inline constexpr int TICK_TIMER_ID = 1;
inline constexpr int TICK_PERIOD_MS = 1000;

struct ShellState {
    int appRunning = 1;
    int realTimeMode = 0;
    int activeLoggerEnabled = 0;
    int activeLoggerIntervalTicks = 60;
    int activeLoggerTickCount = 0;
    int biasLogIntervalTicks = 900;
    int biasLogTickCount = 0;
    int numberDecimals = DEFAULT_NUMBER_DECIMALS;
    // False until the user picks a reference day, and again after a reload
    // emptied the picked day's record; the ticks then leave the main ranking
    // alone rather than measure against price 0.
    bool referenceDayChosen = false;
    // A tick whose modal box lets the platform deliver another tick must not
    // be re-entered; the inner one is dropped.
    bool tickInProgress = false;
};

// The strength chart's window, whether it is on screen, and the day its
// samples are measured against.
struct ChartWindowState {
    WindowHandle window;
    bool shown = false;
    std::string referenceDay;
};

// All of the program's state, one instance per run (and per test).
struct App {
    explicit App(Host hostIn) : host(hostIn) {}
    Host host;
    ShellState shell;
    MarketData market;
    MainRanking ranking;
    AlertState alerts;
    ColumnSet columns = initialColumns();
    Basket basket;
    StaleDisplay stale;
    StrengthHistory strengthHistory;
    ChartWindowState chart;
};

} // namespace vz
