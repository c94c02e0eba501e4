#pragma once

#include "alerts/alert_checks.h"
#include "alerts/alert_options.h"
#include "engine/columns.h"
#include "engine/pips.h"
#include "engine/ranking.h"
#include "logging/event_log.h"
#include "market/market_data.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/host.h"
#include "platform/palette.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vz::testing {

class NoFiles final : public FileSystem {
public:
    std::unique_ptr<TextFile> openFile(const std::string&, FileMode) override { return nullptr; }
    bool exists(const std::string&) override { return false; }
};

// Prices that give the wanted pips against a reference of 0.
inline float liveForPips(int pair, int pips) {
    const float price = static_cast<float>(pips) / static_cast<float>(pipFactor(pair));
    return inFirstHalf(pair) ? price : -price;
}

// The three windows with just the controls the ranking and the detectors use.
class EngineFixture : public ::testing::Test {
protected:
    HeadlessUi ui;
    NoFiles files;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
    MainRanking ranking;
    AlertState alerts;

    void SetUp() override {
        openMainWindow();
        openOptionsWindow();
        openMultiTimeframeWindow();
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            market.groupList[static_cast<std::size_t>(pair)] =
                std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]);
        }
    }

    // Reference day 0 holds no prices, so live prices are the pips.
    void setPips(const std::vector<int>& pipsByPair) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const int pips = pipsByPair[static_cast<std::size_t>(pair)];
            market.livePrices[static_cast<std::size_t>(pair)] = liveForPips(pair, pips);
            ASSERT_EQ(pairPipsSince(pair, liveForPips(pair, pips), 0.0F), pips);
        }
    }

    void pass(const std::vector<int>& pipsByPair) {
        setPips(pipsByPair);
        rankMainSlots(ranking, market, alerts, host);
    }

    std::vector<std::string> logEntries() {
        std::vector<std::string> entries;
        const int rows = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST);
        for (int row = rows - 1; row >= 0; --row) {
            entries.push_back(ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2));
        }
        return entries;
    }

    std::string mainText(int id) { return ui.getControlText(host.windows.main, id); }
    std::string mtfText(int id) { return ui.getControlText(host.windows.multiTimeframe, id); }

    void arm(int checkBoxId, const std::string& sound = "") {
        ui.setChecked(host.windows.options, checkBoxId, true);
        ui.setControlText(host.windows.options, checkBoxId + 1, sound);
    }

private:
    void openMainWindow() {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        ui.setWindowBackground(host.windows.main, BACKGROUND_COLOUR);
        for (int r = 0; r < PAIR_COUNT; ++r) {
            const int y = MAIN_ROW_TOP + ROW_PITCH * r;
            ui.createControl(host.windows.main, ControlKind::TextBox, "", 20, y, 70, 20,
                             STYLE_TEXT_READ_ONLY_CENTRED, MAIN_NAME_BOX_FIRST + r);
            ui.createControl(host.windows.main, ControlKind::TextBox, "", 95, y, 70, 20,
                             STYLE_TEXT_READ_ONLY_CENTRED, MAIN_PIPS_BOX_FIRST + r);
        }
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
    }

    void openOptionsWindow() {
        const WindowHandle w = ui.openWindow(0, 0, 400, 300, WINDOW_POPUP, "options", {});
        host.windows.options = w;
        for (int box : {OPT_ANCHORS_BOX, OPT_FLIP_BOX, OPT_GROUPING_BOX, OPT_PAIR_BOX}) {
            ui.createControl(w, ControlKind::CheckBox, "", 5, 5 * box, 100, 20, STYLE_CHECK_BOX,
                             box);
            ui.createControl(w, ControlKind::TextBox, "", 120, 5 * box, 100, 20, STYLE_TEXT_PLAIN,
                             box + 1);
        }
        ui.createControl(w, ControlKind::DropList, "", 5, 200, 80, 100, STYLE_DROP_LIST,
                         OPT_PAIR_LIST);
        ui.createControl(w, ControlKind::DropList, "", 100, 200, 80, 100, STYLE_DROP_LIST,
                         OPT_SLOT_LIST);
        for (int i = 0; i < PAIR_COUNT; ++i) {
            ui.addListItem(w, OPT_PAIR_LIST, PAIR_TABLE[static_cast<std::size_t>(i)]);
            ui.addListItem(w, OPT_SLOT_LIST, std::to_string(i + 1));
        }
    }

    void openMultiTimeframeWindow() {
        const WindowHandle w = ui.openWindow(0, 0, 875, 480, WINDOW_POPUP, "mtf", {});
        host.windows.multiTimeframe = w;
        ui.setWindowBackground(w, BACKGROUND_COLOUR);
        for (const ColumnLayout& layout : COLUMN_LAYOUTS) {
            for (int r = 0; r < PAIR_COUNT; ++r) {
                const int y = MTF_ROW_TOP + ROW_PITCH * r;
                ui.createControl(w, ControlKind::TextBox, "Pair" + std::to_string(r + 1), layout.x,
                                 y, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED, layout.firstNameBox + r);
                ui.createControl(w, ControlKind::TextBox, "Price" + std::to_string(r + 1),
                                 layout.x + 75, y, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED,
                                 layout.firstNameBox + 20 + r);
            }
        }
    }
};

} // namespace vz::testing
