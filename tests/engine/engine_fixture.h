#pragma once

#include "alerts/alert_options.h"
#include "engine/columns.h"
#include "engine/ranking.h"
#include "engine/slot_arrows.h"
#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/palette.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace vz::testing {

using Pips = std::vector<int>;
constexpr std::int32_t MOST = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t LEAST = std::numeric_limits<std::int32_t>::min();

// The real options window, and the main and multi-timeframe windows with just the
// controls the rankings write to.
class EngineFixture : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
    MainRanking ranking;
    AlertState alerts;

    void SetUp() override {
        const WindowHandle main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        const WindowHandle options = buildOptionsWindow(host, {});
        const WindowHandle mtf = ui.openWindow(0, 0, 875, 480, WINDOW_POPUP, "mtf", {});
        host.windows = {.main = main, .options = options, .multiTimeframe = mtf};
        ui.setWindowBackground(main, BACKGROUND_COLOUR);
        ui.setWindowBackground(mtf, BACKGROUND_COLOUR);
        for (int r = 0; r < PAIR_COUNT; ++r) {
            const auto pair = static_cast<std::size_t>(r);
            box(main, "", 20, MAIN_ROW_TOP + ROW_PITCH * r, MAIN_NAME_BOX_FIRST + r);
            box(main, "", 95, MAIN_ROW_TOP + ROW_PITCH * r, MAIN_PIPS_BOX_FIRST + r);
            for (const ColumnLayout& layout : COLUMN_LAYOUTS) {
                const int y = MTF_ROW_TOP + ROW_PITCH * r;
                box(mtf, "Pair" + std::to_string(r + 1), layout.x, y, layout.firstNameBox + r);
                box(mtf, "Price" + std::to_string(r + 1), layout.x + 75, y,
                    layout.firstNameBox + 20 + r);
            }
            market.groupList[pair] = std::string(PAIR_TABLE[pair]);
        }
        ui.createControl(main, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                         EVENT_LOG_LIST);
        addEventLogColumns(host);
    }

    // Bar `index` of the timeframe lies the given pips behind live prices of 1.0.
    void setReference(Timeframe timeframe, int index, const Pips& pips) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto p = static_cast<std::size_t>(pair);
            market.livePrices[p] = 1.0F;
            const float move = static_cast<float>(pips[p]) / static_cast<float>(pipFactor(pair));
            market.history.bar(timeframe, pair, index).price =
                inFirstHalf(pair) ? 1.0F - move : 1.0F + move;
        }
    }

    void pass(const Pips& pips) {
        setReference(Timeframe::Daily, market.referenceDayIndex, pips);
        rankMainSlots(ranking, market, alerts, host);
    }

    // Oldest first; only the entries containing `part`.
    std::vector<std::string> logEntries(const std::string& part = "") {
        std::vector<std::string> entries;
        for (int row = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            std::string entry = ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2);
            if (entry.find(part) != std::string::npos) {
                entries.push_back(std::move(entry));
            }
        }
        return entries;
    }

    std::string mainText(int id) { return ui.getControlText(host.windows.main, id); }
    std::string mtfText(int id) { return ui.getControlText(host.windows.multiTimeframe, id); }

    // One letter per row for the arrow cell whose shaft runs down x: U(p), D(own) or '.'.
    std::string marks(WindowHandle w, int x, int rowTop) {
        std::string shown;
        for (int row = 0; row < PAIR_COUNT; ++row) {
            const Colour c = ui.pixel(w, x, rowTop + ROW_PITCH * row + 5);
            shown += c == UP_ARROW_COLOUR ? 'U' : (c == DOWN_ARROW_COLOUR ? 'D' : '.');
        }
        return shown;
    }

    void arm(int checkBoxId, const std::string& sound = "") {
        ui.setChecked(host.windows.options, checkBoxId, true);
        ui.setControlText(host.windows.options, checkBoxId + 1, sound);
    }

private:
    void box(WindowHandle w, const std::string& text, int x, int y, int id) {
        ui.createControl(w, ControlKind::TextBox, text, x, y, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED,
                         id);
    }
};

} // namespace vz::testing
