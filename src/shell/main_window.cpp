#include "shell/main_window.h"

#include "engine/ranking.h"
#include "logging/event_log.h"
#include "platform/palette.h"
#include "platform/window_look.h"
#include "shell/main_handler.h"
#include "simulator/basket.h"

#include <string>

namespace vz {

namespace {

inline constexpr std::uint32_t MAIN_WINDOW_STYLE = WINDOW_POPUP | WINDOW_VISIBLE |
                                                   WINDOW_CLIP_CHILDREN | WINDOW_TITLE_BAR |
                                                   WINDOW_SYSTEM_MENU | WINDOW_MINIMISE_BOX;

struct ControlPlan {
    ControlKind kind;
    const char* caption;
    int x, y, width, height;
    std::uint32_t style;
    int id;
};

void setPlainColours(Ui& ui, WindowHandle window, int id) {
    ui.setControlColours(window, id, BLACK, BACKGROUND_COLOUR);
}

// Most controls of the window: created, then given the bold face and black on
// the background colour.
void addStyledControl(Ui& ui, WindowHandle window, const ControlPlan& plan) {
    ui.createControl(window, plan.kind, plan.caption, plan.x, plan.y, plan.width, plan.height,
                     plan.style, plan.id);
    useProgramFont(ui, window, plan.id);
    setPlainColours(ui, window, plan.id);
}

void addTopControls(Ui& ui, WindowHandle window) {
    ui.createControl(window, ControlKind::Label, "Reference Day:", 15, 15, 98, 16, STYLE_LABEL,
                     REFERENCE_DAY_LABEL);
    setPlainColours(ui, window, REFERENCE_DAY_LABEL);
    addStyledControl(ui, window,
                     {ControlKind::DropList, "ComboBox1", 15, 30, 108, 109, STYLE_DROP_LIST,
                      REFERENCE_DAY_LIST});
    addStyledControl(ui, window,
                     {ControlKind::CheckBox, "Real-Time Mode", 160, 15, 125, 20, STYLE_CHECK_BOX,
                      REAL_TIME_BOX});
    ui.enableControl(window, REAL_TIME_BOX, false);
    addStyledControl(ui, window,
                     {ControlKind::CheckBox, "Active Logger", 160, 32, 125, 20, STYLE_CHECK_BOX,
                      ACTIVE_LOGGER_BOX});
    ui.enableControl(window, ACTIVE_LOGGER_BOX, false);
}

// The fonts of a row of boxes are set once the whole row of fourteen exists.
void addSlotBoxes(Ui& ui, WindowHandle window, int firstId, int x, const std::string& prefix) {
    for (int row = 0; row < PAIR_COUNT; ++row) {
        const std::string caption = prefix + std::to_string(row + 1);
        ui.createControl(window, ControlKind::TextBox, caption, x, MAIN_ROW_TOP + ROW_PITCH * row,
                         70, 20, STYLE_TEXT_READ_ONLY_CENTRED, firstId + row);
    }
    for (int row = 0; row < PAIR_COUNT; ++row) {
        useProgramFont(ui, window, firstId + row);
    }
}

void addSimulatorControls(Ui& ui, WindowHandle window) {
    addStyledControl(
        ui, window,
        {ControlKind::PushButton, "Buy", 210, 140, 70, 20, STYLE_PUSH_BUTTON, BUY_BUTTON});
    addStyledControl(
        ui, window,
        {ControlKind::PushButton, "Sell", 210, 163, 70, 20, STYLE_PUSH_BUTTON, SELL_BUTTON});
    addStyledControl(
        ui, window,
        {ControlKind::PushButton, "Close", 288, 140, 70, 20, STYLE_PUSH_BUTTON, CLOSE_BUTTON});
    addStyledControl(
        ui, window,
        {ControlKind::PushButton, "Clear", 364, 140, 70, 20, STYLE_PUSH_BUTTON, CLEAR_BUTTON});
    // Read-only: the profit it shows is what the log entries quote, so only
    // the program may write it.
    addStyledControl(
        ui, window,
        {ControlKind::TextBox, "0", 288, 194, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED, PROFIT_BOX});
    addStyledControl(ui, window,
                     {ControlKind::PushButton, "Multi-Timeframe View", 460, 10, 150, 20,
                      STYLE_DEFAULT_BUTTON, MULTI_TIMEFRAME_BUTTON});
}

void drawSimulatorFrame(Ui& ui, WindowHandle window) {
    ui.drawRect(window, 200, 119, 243, 108, BLACK, NO_FILL);
    ui.moveTo(window, 200, 112);
    ui.printText(window, "RT Trade Simulator");
    for (int id : {BUY_BUTTON, SELL_BUTTON, CLOSE_BUTTON, CLEAR_BUTTON}) {
        ui.enableControl(window, id, false);
    }
}

MenuHandle buildFileMenu(Ui& ui) {
    const MenuHandle menu = ui.makeMenu();
    ui.appendMenuItem(menu, "Reload History", 0, MENU_RELOAD_HISTORY);
    ui.appendMenuItem(menu, "", MENU_SEPARATOR, 0);
    ui.appendMenuItem(menu, "Save Log", 0, MENU_SAVE_LOG);
    ui.appendMenuItem(menu, "Clear Log", 0, MENU_CLEAR_LOG);
    ui.appendMenuItem(menu, "Quit", 0, MENU_QUIT);
    return menu;
}

MenuHandle buildLogTimersMenu(Ui& ui) {
    const MenuHandle menu = ui.makeMenu();
    for (int id = MENU_FIRST_LOG_TIMER; id <= MENU_LAST_LOG_TIMER; ++id) {
        const std::uint32_t flags = id == MENU_DEFAULT_LOG_TIMER ? MENU_CHECKED : 0U;
        ui.appendMenuItem(menu, logTimerCaption(id), flags, id);
    }
    return menu;
}

MenuHandle buildPairsMenu(Ui& ui) {
    const MenuHandle menu = ui.makeMenu();
    ui.appendMenuItem(menu, "Tarvo Pairs", MENU_CHECKED | MENU_GREYED, MENU_TARVO_PAIRS);
    ui.appendMenuItem(menu, "Orvex Original", MENU_GREYED, MENU_ORVEX_ORIGINAL);
    return menu;
}

MenuHandle buildOptionsMenu(Ui& ui) {
    const MenuHandle menu = ui.makeMenu();
    ui.appendMenuItem(menu, "Sound/Alerts", 0, MENU_SOUND_ALERTS);
    ui.appendMenuItem(menu, "Pair Alerts", MENU_GREYED, MENU_PAIR_ALERTS);
    ui.appendMenuItem(menu, "Strength Chart", 0, MENU_STRENGTH_CHART);
    return menu;
}

void attachMenuBar(Ui& ui, WindowHandle window) {
    const MenuHandle bar = ui.makeMenu();
    ui.appendMenuItem(bar, "&File", MENU_POPUP, 0, buildFileMenu(ui));
    ui.appendMenuItem(bar, "Log Timers", MENU_POPUP, 0, buildLogTimersMenu(ui));
    ui.appendMenuItem(bar, "Pairs", MENU_POPUP, 0, buildPairsMenu(ui));
    ui.appendMenuItem(bar, "Options", MENU_POPUP, 0, buildOptionsMenu(ui));
    ui.setMenuBar(window, bar);
}

} // namespace

WindowHandle buildMainWindow(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle window =
        ui.openWindow(0, 0, 630, 535, MAIN_WINDOW_STYLE, MAIN_WINDOW_CAPTION,
                      [&app](const WindowEvent& event) { handleMainWindowEvent(app, event); });
    app.host.windows.main = window;
    applyWindowLook(ui, window);

    addTopControls(ui, window);
    addSlotBoxes(ui, window, MAIN_NAME_BOX_FIRST, 25, "Pair");
    addSlotBoxes(ui, window, MAIN_PIPS_BOX_FIRST, 110, "Price");
    // Separates the first seven slots from the last seven.
    ui.drawLine(window, 20, 306, 185, 306, BLACK);
    addSimulatorControls(ui, window);
    drawSimulatorFrame(ui, window);

    ui.createControl(window, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                     EVENT_LOG_LIST);
    useProgramFont(ui, window, EVENT_LOG_LIST);
    addEventLogColumns(app.host);
    attachMenuBar(ui, window);
    return window;
}

} // namespace vz
