#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "simulator/basket.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace vz {
namespace {

using Prices = std::array<float, PAIR_COUNT>;

TEST(BasketProfitTest, BuyAndSellMirrorEachOtherWithRoundingAndSaturation) {
    // With no entry prices each pair's profit is its live price times 10000
    // (100 for JPY pairs), so these live prices give exactly 1 and 0.5 pips.
    constexpr float PIP = 0.0001F, HALF = 0.00005F;
    const std::vector<std::tuple<const char*, Prices, int, int>> cases = {
        {"1 + 0.5 goes to the even 2", {PIP, HALF}, 2, -2},
        {"each 0.5 step falls back to 0", {HALF, HALF, 0.005F}, 0, 0},
        {"the whole price counts", {0, 0, 190.5F}, 19050, -19050},
        {"huge prices saturate", {3.0e37F}, INT32_MAX, INT32_MIN},
        {"NaN counts nothing", {std::numeric_limits<float>::quiet_NaN(), PIP}, 1, -1},
    };
    for (const auto& [what, live, buy, sell] : cases) {
        EXPECT_EQ(basketProfit(Basket{TradeDirection::Buy, {}}, live), buy) << what;
        EXPECT_EQ(basketProfit(Basket{TradeDirection::Sell, {}}, live), sell) << what;
    }
}

struct BasketTest : ::testing::Test {
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    Basket basket;
    WindowHandle main;

    void SetUp() override {
        main = host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        for (int id : {REAL_TIME_BOX, BUY_BUTTON, SELL_BUTTON, CLOSE_BUTTON, CLEAR_BUTTON}) {
            const bool box = id == REAL_TIME_BOX;
            ui.createControl(main, box ? ControlKind::CheckBox : ControlKind::PushButton, "", 10,
                             30 + id, 50, 20, box ? STYLE_CHECK_BOX : STYLE_PUSH_BUTTON, id);
            ui.enableControl(main, id, id != CLOSE_BUTTON && id != CLEAR_BUTTON);
        }
        ui.createControl(main, ControlKind::TextBox, "0", 10, 100, 60, 20, STYLE_TEXT_CENTRED,
                         PROFIT_BOX);
        ui.createControl(main, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                         EVENT_LOG_LIST);
        addEventLogColumns(host);
    }

    std::string logEntry(int row) { return ui.reportGetCell(main, EVENT_LOG_LIST, row, 2); }
    // Enabled flags of Buy, Sell, Close, Clear and the Real-Time Mode box, then the
    // basket label, the profit box and the newest log entry.
    std::string state() {
        std::string flags;
        for (int id : {BUY_BUTTON, SELL_BUTTON, CLOSE_BUTTON, CLEAR_BUTTON, REAL_TIME_BOX}) {
            flags += ui.control(main, id)->enabled ? '1' : '0';
        }
        return flags + "|" + ui.textAt(main, 210, 199) + "|" + ui.control(main, PROFIT_BOX)->text +
               "|" + logEntry(0);
    }
};

TEST_F(BasketTest, IdleOpenClosedIdleAndProfitLoggedAsTheBoxShowsIt) {
    Prices entry;
    entry.fill(1.0F);
    openBasket(host, basket, TradeDirection::Buy, entry, {5, -2, 3});
    EXPECT_EQ(logEntry(1), "BUY - Basket Bias:  5  Anchor Bias:  -2");
    EXPECT_EQ(state(), "00100|BUY Basket   |0|Ref. Bias =  3");
    closeBasket(host, basket); // before any tick: the box's text as it was
    EXPECT_EQ(state(), "00010|BUY Basket   |0|Basket Profit: 0");
    clearBasket(host, basket);
    EXPECT_EQ(state(), "11001|" + std::string(24, ' ') + "||Basket Profit: 0");

    openBasket(host, basket, TradeDirection::Sell, entry, {5, -2, 3});
    EXPECT_EQ(logEntry(1), "SELL - Basket Bias:  5  Anchor Bias:  -2");
    Prices live = entry;
    live[0] = 1.0007F;
    updateBasketProfit(host, basket, live);
    EXPECT_EQ(state(), "00100|SELL Basket    | -7|Ref. Bias =  3");
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit:  -7");
}

} // namespace
} // namespace vz
