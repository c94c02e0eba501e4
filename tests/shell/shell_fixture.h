#pragma once

#include "history_folder.h"

#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz::testing {

// The program started on the headless toolkit over a generated folder.
class ShellTest : public ::testing::Test {
protected:
    explicit ShellTest(const HistoryShape& shape = {}) : folder(shape) {}

    void SetUp() override { startUp(app, folder.path()); }

    WindowHandle mainWindow() const { return app.host.windows.main; }
    WindowHandle mtfWindow() const { return app.host.windows.multiTimeframe; }
    WindowHandle optionsWindow() const { return app.host.windows.options; }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    const ControlState& control(WindowHandle window, int id) {
        const ControlState* state = ui.control(window, id);
        EXPECT_NE(state, nullptr) << "control " << id;
        static const ControlState missing;
        return state == nullptr ? missing : *state;
    }

    // Event-log descriptions, oldest first.
    std::vector<std::string> logRows() {
        std::vector<std::string> rows;
        const int count = ui.reportRowCount(mainWindow(), 46);
        for (int row = count - 1; row >= 0; --row) {
            rows.push_back(ui.reportGetCell(mainWindow(), 46, row, 2));
        }
        return rows;
    }
    std::string lastLogRow() {
        const auto rows = logRows();
        return rows.empty() ? std::string() : rows.back();
    }

    void settle() { ui.dispatchPending(); }
    void pickDay(int index) {
        ui.pickListItem(mainWindow(), 3, index);
        settle();
    }
    void toggle(WindowHandle window, int id) {
        ui.toggleCheckBox(window, id);
        settle();
    }
    void click(WindowHandle window, int id) {
        ui.clickButton(window, id);
        settle();
    }
    void menu(int id) {
        ui.pickMenu(mainWindow(), id);
        settle();
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            ui.fireTimers(mainWindow());
            settle();
        }
    }
    // Reference day 0 picked and Real-Time Mode on.
    void startRealTime() {
        pickDay(0);
        toggle(mainWindow(), 1);
    }
    // Pips of pair p in the next ticks, against day 0.
    void setPips(const std::vector<int>& pips) {
        for (std::size_t pair = 0; pair < pips.size(); ++pair) {
            folder.setLivePips(static_cast<int>(pair), pips[pair]);
        }
    }

    HistoryFolder folder;
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    App app{Host{ui, files, clock}};
};

} // namespace vz::testing
