#pragma once

#include "history_folder.h"

#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/palette.h"
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace vz::testing {

inline const std::pair<int, const char*> SWITCHES[] = {
    {1, "RT"}, {51, "AL"}, {40, "Buy"}, {41, "Sell"}, {42, "Close"}, {43, "Clear"}, {50, "MTF"}};
inline const std::string DAY_PICKED = "RT:on AL:off Buy:off Sell:off Close:off Clear:off MTF:on";
inline const std::string TRADING = "RT[x]:on AL:on Buy:on Sell:on Close:off Clear:off MTF:on";

// Joins describe(i) for i from first to last, leaving out empty descriptions.
template <class Describe>
std::string each(int first, int last, Describe describe, const std::string& separator = " ") {
    std::string all;
    for (int i = first; i <= last; ++i) {
        const std::string part = describe(i);
        all += part.empty() ? "" : (all.empty() ? "" : separator) + part;
    }
    return all;
}

// The program started on the headless toolkit over a generated folder.
struct ShellTest : ::testing::Test {
    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    App app{Host{ui, files, clock}};
    WindowHandle &main = app.host.windows.main, &mtf = app.host.windows.multiTimeframe,
                 &options = app.host.windows.options;

    void SetUp() override { startUp(app, folder.path()); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    const ControlState& control(WindowHandle window, int id) { return *ui.control(window, id); }
    bool visible(WindowHandle window) { return ui.window(window)->visible; }
    bool menuChecked(int id) { return ui.menuItem(main, id)->checked; }
    // The main window's switches as "RT[x]:on AL:off ...", [x] marking a ticked box.
    std::string switches() {
        return each(0, 6, [&](int i) {
            const ControlState& box = control(main, SWITCHES[i].first);
            return SWITCHES[i].second + std::string(box.checked ? "[x]:" : ":") +
                   (box.enabled ? "on" : "off");
        });
    }
    // Item count and selection of the day list, then of the five column lists.
    std::string lists() {
        return each(9, 14, [&](int id) {
            const ControlState& list = id == 9 ? control(main, 3) : control(mtf, id);
            return std::to_string(list.items.size()) + ":" + std::to_string(list.selection);
        });
    }
    std::string boxes() {
        const auto& shown = ui.messageBoxes();
        const auto describe = [&](int i) { return shown[i].caption + ": " + shown[i].text; };
        return each(0, static_cast<int>(shown.size()) - 1, describe, " | ");
    }
    // Rows of the main window with an arrow in their marker cell, e.g. "3:up 4:down".
    std::string arrows() {
        return each(0, PAIR_COUNT - 1, [&](int row) {
            const Colour cell = ui.pixel(main, 10, MAIN_ROW_TOP + ROW_PITCH * row + 10);
            const std::string arrow = cell == UP_ARROW_COLOUR ? "up" : "down";
            return cell == BACKGROUND_COLOUR ? "" : std::to_string(row) + ":" + arrow;
        });
    }
    // The newest `count` event-log descriptions, oldest first.
    std::string newestLog(int count = 1) {
        const int rows = std::min(count, ui.reportRowCount(main, 46));
        const auto describe = [&](int i) { return ui.reportGetCell(main, 46, rows - i, 2); };
        return each(1, rows, describe, " | ");
    }

    // A user's action or a timer tick, handled as the event loop would.
    template <class... Args> void act(void (HeadlessUi::*action)(Args...), Args... args) {
        (ui.*action)(args...);
        ui.dispatchPending();
    }
    void pick(WindowHandle on, int id, int item) { act(&HeadlessUi::pickListItem, on, id, item); }
    void click(WindowHandle on, int id) { act(&HeadlessUi::clickButton, on, id); }
    void menu(int id) { act(&HeadlessUi::pickMenu, main, id); }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            act(&HeadlessUi::fireTimers, main);
        }
    }
    // Reference day 0 picked and Real-Time Mode on.
    void startRealTime() {
        pick(main, 3, 0);
        click(main, 1);
    }
    // Live prices 60 pips down to -70 against day 0, ten apart, on the next ticks.
    void setDescendingPips() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 60 - 10 * pair);
        }
    }
};

} // namespace vz::testing
