#include "shell/main_handler.h"

#include "engine/columns.h"
#include "engine/ranking.h"
#include "engine/slot_arrows.h"
#include "logging/event_log.h"
#include "market/data_files.h"
#include "shell/chart_window.h"
#include "shell/main_window.h"
#include "shell/mtf_window.h"
#include "shell/stale_line.h"
#include "shell/startup.h"

#include <array>

namespace vz {

namespace {

struct LogTimer {
    int menuId;
    const char* caption;
    int ticks;
};

inline constexpr std::array<LogTimer, 6> LOG_TIMERS = {{
    {20, "60 minutes", 3600},
    {21, "30 minutes", 1800},
    {22, "15 minutes", 900},
    {23, "10 minutes", 600},
    {24, "5 minutes", 300},
    {25, "1 minute", 60},
}};

const LogTimer* findLogTimer(int menuId) {
    for (const LogTimer& timer : LOG_TIMERS) {
        if (timer.menuId == menuId) {
            return &timer;
        }
    }
    return nullptr;
}

// Clears the in-progress flag however the tick ends.
class TickGuard {
public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;
    ~TickGuard() { flag_ = false; }

private:
    bool& flag_;
};

std::string figure(const App& app, int value) {
    return formatNumber(value, app.shell.numberDecimals);
}

void rankChosenColumns(App& app) {
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        TimeframeColumn& column = app.columns[static_cast<std::size_t>(k - 1)];
        if (column.referenceIndex != NO_REFERENCE) {
            rankColumn(column, k, app.market, app.host);
        }
    }
}

void writeProfitLine(App& app) {
    const char* prefix = nullptr;
    if (app.basket.direction == TradeDirection::Buy) {
        prefix = "Buy Profit: ";
    } else if (app.basket.direction == TradeDirection::Sell) {
        prefix = "Sell Profit: ";
    }
    if (prefix != nullptr) {
        const std::string profit = app.host.ui.getControlText(app.host.windows.main, PROFIT_BOX);
        addEventLogRow(app.host, prefix + profit + " pips.");
    }
}

void countBiasLogTick(App& app) {
    ShellState& shell = app.shell;
    shell.biasLogTickCount += 1;
    if (shell.biasLogTickCount < shell.biasLogIntervalTicks) {
        return;
    }
    const MainRanking& ranking = app.ranking;
    addEventLogRow(app.host, "RB = " + figure(app, ranking.referenceBias) +
                                 " BB = " + figure(app, ranking.basketBias) +
                                 " AB = " + figure(app, ranking.anchorBias));
    writeProfitLine(app);
    shell.biasLogTickCount = 0;
}

void printAt(App& app, int x, int y, std::string_view text) {
    app.host.ui.moveTo(app.host.windows.main, x, y);
    app.host.ui.printText(app.host.windows.main, text);
}

// The trailing blanks cover the end of a longer earlier value. The figures
// are whole numbers, which formatNumber shows without decimals whatever the
// decimals setting.
void drawStatusLines(App& app) {
    if (!app.host.ui.isWatched()) {
        return;
    }
    const MainRanking& ranking = app.ranking;
    printAt(app, 25, 70, FigureText("Ref. Bias: ", ranking.referenceBias, "    ").view());
    printAt(app, 25, 85, FigureText("Anchor Bias: ", ranking.anchorBias, "      ").view());
    printAt(app, 25, 100, FigureText("Basket Bias: ", ranking.basketBias, "      ").view());
    printAt(app, 25, 120, "Time: " + currentTimeText(app.host.clock));
    printAt(app, 200, 70, FigureText("Buy Power: ", ranking.buyPower, "     ").view());
    printAt(app, 200, 85, FigureText("Sell Power: ", ranking.sellPower, "      ").view());
}

void countActiveLoggerTick(App& app) {
    ShellState& shell = app.shell;
    if (shell.activeLoggerEnabled != 1) {
        return;
    }
    shell.activeLoggerTickCount += 1;
    if (shell.activeLoggerTickCount >= shell.activeLoggerIntervalTicks) {
        writeActiveLogRow(app.host, app.market.programFolder, activeLogSnapshot(app),
                          shell.numberDecimals);
        shell.activeLoggerTickCount = 0;
    }
}

void followBasket(App& app) {
    if (app.basket.direction != TradeDirection::None) {
        updateBasketProfit(app.host, app.basket, app.market.livePrices);
    }
}

void showWindowOf(App& app, WindowHandle window) {
    app.host.ui.showWindow(window, ShowCommand::Show);
}

void handleTimer(App& app, const WindowEvent& event) {
    if (event.timerId == TICK_TIMER_ID) {
        runRealTimeTick(app);
    }
}

void handleMenuPick(App& app, int menuId) {
    if (menuId >= MENU_FIRST_LOG_TIMER && menuId <= MENU_LAST_LOG_TIMER) {
        selectBiasLogInterval(app, menuId);
        return;
    }
    switch (menuId) {
    case MENU_RELOAD_HISTORY:
        reloadHistoryCommand(app);
        break;
    case MENU_SAVE_LOG:
        saveEventLog(app.host, app.market.programFolder);
        break;
    case MENU_CLEAR_LOG:
        clearEventLog(app.host);
        break;
    case MENU_QUIT:
        app.shell.appRunning = 0;
        break;
    case MENU_SOUND_ALERTS:
        showWindowOf(app, app.host.windows.options);
        break;
    case MENU_STRENGTH_CHART:
        showStrengthChart(app);
        break;
    default:
        break;
    }
}

bool recordIsComplete(const MarketData& market, Timeframe timeframe, int index) {
    if (index < 0 || index >= HISTORY_CAPACITY) {
        return false;
    }
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (market.history.bar(timeframe, pair, index).price == 0.0F) {
            return false;
        }
    }
    return true;
}

// Real-Time Mode off and its box locked, as at start-up.
void lockRealTimeModeOff(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle main = app.host.windows.main;
    ui.setChecked(main, REAL_TIME_BOX, false);
    setRealTimeMode(app);
    ui.enableControl(main, REAL_TIME_BOX, false);
}

// Back to the start-up state for the main view: no reference, no arrows, no
// anchors, and Real-Time Mode locked off, unless a basket still needs the
// ticks for its profit; those ticks then skip the main ranking.
void dropReferenceDay(App& app) {
    app.shell.referenceDayChosen = false;
    resetForNewReferenceDay(app.ranking);
    drawUpArrow(app.host, app.ranking.slotMarkerState, 0);
    if (basketIdle(app.basket)) {
        lockRealTimeModeOff(app);
    }
    addEventLogRow(app.host, REFERENCE_DROPPED_ENTRY);
}

// Clear hands Real-Time Mode back to the user, unless there is no reference
// day to rank against any more.
void clearBasketFromButton(App& app) {
    clearBasket(app.host, app.basket);
    if (!app.shell.referenceDayChosen) {
        lockRealTimeModeOff(app);
    }
}

void dropEmptiedReferenceDay(App& app) {
    if (app.shell.referenceDayChosen &&
        !recordIsComplete(app.market, Timeframe::Daily, app.market.referenceDayIndex)) {
        dropReferenceDay(app);
    }
}

void openBasketFromButton(App& app, TradeDirection direction) {
    openBasket(app.host, app.basket, direction, app.market.livePrices, basketFigures(app));
}

void handleControl(App& app, const WindowEvent& event) {
    switch (event.controlId) {
    case REAL_TIME_BOX:
        setRealTimeMode(app);
        break;
    case ACTIVE_LOGGER_BOX:
        app.shell.activeLoggerEnabled =
            app.host.ui.isChecked(app.host.windows.main, ACTIVE_LOGGER_BOX) ? 1 : 0;
        break;
    case REFERENCE_DAY_LIST:
        if (event.notifyCode == NOTIFY_SELECTION_CHANGED) {
            changeReferenceDay(app);
        }
        break;
    case BUY_BUTTON:
        openBasketFromButton(app, TradeDirection::Buy);
        break;
    case SELL_BUTTON:
        openBasketFromButton(app, TradeDirection::Sell);
        break;
    case CLOSE_BUTTON:
        closeBasket(app.host, app.basket);
        break;
    case CLEAR_BUTTON:
        clearBasketFromButton(app);
        break;
    case MULTI_TIMEFRAME_BUTTON:
        showWindowOf(app, app.host.windows.multiTimeframe);
        break;
    default:
        break;
    }
}

void emptyReferenceLists(App& app, const std::array<int, TIMEFRAME_COUNT>& listed) {
    Ui& ui = app.host.ui;
    const WindowHandle main = app.host.windows.main;
    const WindowHandle mtf = app.host.windows.multiTimeframe;
    const int daily = listed[static_cast<std::size_t>(Timeframe::Daily)];
    for (int i = 0; i < daily; ++i) {
        ui.removeListItem(main, REFERENCE_DAY_LIST, 0);
    }
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        const ColumnLayout& layout = columnLayout(k);
        const int count = listed[static_cast<std::size_t>(layout.timeframe)];
        for (int i = 0; i < count; ++i) {
            ui.removeListItem(mtf, layout.listId, 0);
        }
    }
}

} // namespace

std::string logTimerCaption(int menuId) {
    const LogTimer* timer = findLogTimer(menuId);
    return timer == nullptr ? std::string() : std::string(timer->caption);
}

int logTimerTicks(int menuId) {
    const LogTimer* timer = findLogTimer(menuId);
    return timer == nullptr ? 0 : timer->ticks;
}

void handleMainWindowEvent(App& app, const WindowEvent& event) {
    switch (event.code) {
    case WindowEventCode::Timer:
        handleTimer(app, event);
        break;
    case WindowEventCode::CloseRequest:
        app.shell.appRunning = 0;
        break;
    case WindowEventCode::MenuPick:
        handleMenuPick(app, event.menuId);
        break;
    case WindowEventCode::ControlEvent:
        handleControl(app, event);
        break;
    }
}

void runRealTimeTick(App& app, PriceSource source) {
    if (app.shell.tickInProgress) {
        return;
    }
    const TickGuard guard(app.shell.tickInProgress);
    if (source == PriceSource::RealTimeFiles) {
        readRealTimePrices(app.market, app.host);
        watchLivePrices(app.stale, app.market, app.host);
    }
    if (app.shell.referenceDayChosen) {
        rankMainSlots(app.ranking, app.market, app.alerts, app.host);
    }
    rankChosenColumns(app);
    countBiasLogTick(app);
    drawStatusLines(app);
    followStrengthChart(app);
    countActiveLoggerTick(app);
    followBasket(app);
}

void setRealTimeMode(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle main = app.host.windows.main;
    app.shell.realTimeMode = ui.isChecked(main, REAL_TIME_BOX) ? 1 : 0;
    const bool on = app.shell.realTimeMode == 1;
    if (on) {
        ui.startTimer(main, TICK_PERIOD_MS, TICK_TIMER_ID);
    } else {
        ui.stopTimer(main, TICK_TIMER_ID);
    }
    for (int id : {BUY_BUTTON, SELL_BUTTON, ACTIVE_LOGGER_BOX}) {
        ui.enableControl(main, id, on);
    }
    if (!on) {
        app.shell.activeLoggerEnabled = 0;
        ui.setChecked(main, ACTIVE_LOGGER_BOX, false);
        clearStaleLine(app.stale, app.host);
    }
}

void changeReferenceDay(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle main = app.host.windows.main;
    const int selected = ui.getListSelection(main, REFERENCE_DAY_LIST);
    if (selected < 0 || selected >= HISTORY_CAPACITY) {
        return;
    }
    app.market.referenceDayIndex = selected;
    app.shell.referenceDayChosen = true;
    resetForNewReferenceDay(app.ranking);
    drawUpArrow(app.host, app.ranking.slotMarkerState, 0);
    rankMainSlots(app.ranking, app.market, app.alerts, app.host);
    restartStrengthChart(app, app.market.listedLabel(Timeframe::Daily, selected));
    // Without this the rows would show the new day and the figures the old one
    // until the next tick, or for good with Real-Time Mode off.
    drawStatusLines(app);
    // While a basket is open or closed but not cleared, Real-Time Mode must
    // stay locked on: switching it off would freeze the profit, and on again
    // would offer Buy and Sell over the live basket.
    if (basketIdle(app.basket)) {
        ui.enableControl(main, REAL_TIME_BOX, true);
    }
    addEventLogRow(app.host,
                   "New Reference date: " + app.market.listedLabel(Timeframe::Daily, selected));
}

void selectBiasLogInterval(App& app, int menuId) {
    const int ticks = logTimerTicks(menuId);
    if (ticks == 0) {
        return;
    }
    for (const LogTimer& timer : LOG_TIMERS) {
        app.host.ui.checkMenuItem(app.host.windows.main, timer.menuId, timer.menuId == menuId);
    }
    app.shell.biasLogIntervalTicks = ticks;
}

void reloadHistoryCommand(App& app) {
    const int answer = app.host.ui.messageBox(app.host.windows.main, RELOAD_QUESTION,
                                              RELOAD_CAPTION, MB_QUESTION_YES_NO);
    if (answer != ANSWER_YES) {
        return;
    }
    std::array<int, TIMEFRAME_COUNT> listed{};
    for (Timeframe timeframe : ALL_TIMEFRAMES) {
        listed[static_cast<std::size_t>(timeframe)] = app.market.lastListed(timeframe) + 1;
    }
    emptyReferenceLists(app, listed);
    if (!loadHistory(app.market, app.host)) {
        app.shell.appRunning = 0;
    }
    fillReferenceLists(app);
    resetColumnsAfterReload(app);
    dropEmptiedReferenceDay(app);
}

ActiveLogSnapshot activeLogSnapshot(const App& app) {
    ActiveLogSnapshot snapshot;
    snapshot.livePrices = app.market.livePrices;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto i = static_cast<std::size_t>(pair);
        snapshot.pairSlot[i] = app.ranking.pairSlot[i];
        snapshot.pairPips[i] = app.ranking.pairPips[i];
    }
    snapshot.referenceBias = app.ranking.referenceBias;
    snapshot.buyPower = app.ranking.buyPower;
    snapshot.sellPower = app.ranking.sellPower;
    const int day = app.market.referenceDayIndex;
    if (app.shell.referenceDayChosen && day >= 0 && day < HISTORY_CAPACITY) {
        snapshot.referenceDay = app.market.listedLabel(Timeframe::Daily, day);
    }
    return snapshot;
}

BasketFigures basketFigures(const App& app) {
    return BasketFigures{.basketBias = app.ranking.basketBias,
                         .anchorBias = app.ranking.anchorBias,
                         .referenceBias = app.ranking.referenceBias};
}

} // namespace vz
