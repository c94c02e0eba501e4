#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "simulator/basket.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>

namespace vz {
namespace {

using Prices = std::array<float, PAIR_COUNT>;

Prices prices(float all, std::initializer_list<std::pair<std::size_t, float>> changes = {}) {
    Prices result;
    result.fill(all);
    for (const auto& [pair, price] : changes) {
        result[pair] = price;
    }
    return result;
}

// Entry prices of 0 make each pair's profit its live price times 10000 (100
// for JPY pairs), so these live prices give exactly 1 and 0.5 pips.
constexpr float ONE_PIP = 0.0001F;
constexpr float HALF_PIP = 0.00005F;
constexpr float NAN_PRICE = std::numeric_limits<float>::quiet_NaN();

TEST(BasketProfitTest, BuyAndSellMirrorEachOtherWithRoundingAndSaturation) {
    const struct {
        const char* what;
        Prices entry;
        Prices live;
        int buy;
        int sell;
    } cases[] = {
        {"1 + 0.5 goes to the even 2", prices(0), prices(0, {{0, ONE_PIP}, {1, HALF_PIP}}), 2, -2},
        {"each 0.5 step falls back to 0", prices(0),
         prices(0, {{0, HALF_PIP}, {1, HALF_PIP}, {2, 0.005F}}), 0, 0},
        {"no entry price counts the whole price", prices(1, {{2, 0}}), prices(1, {{2, 190.5F}}),
         19050, -19050},
        {"huge prices saturate", prices(0), prices(3.0e37F), INT32_MAX, INT32_MIN},
        {"NaN counts nothing", prices(0), prices(0, {{0, NAN_PRICE}}), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(basketProfit(Basket{TradeDirection::Buy, c.entry}, c.live), c.buy);
        EXPECT_EQ(basketProfit(Basket{TradeDirection::Sell, c.entry}, c.live), c.sell);
    }
}

struct BasketTest : ::testing::Test {
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    Basket basket;
    BasketFigures figures{5, -2, 3};
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

    std::string profitText() const { return ui.control(main, PROFIT_BOX)->text; }
    std::string logEntry(int row) { return ui.reportGetCell(main, EVENT_LOG_LIST, row, 2); }
    std::string label() const { return ui.textAt(main, 210, 199); }
    // Enabled states of Buy, Sell, Close, Clear and the Real-Time Mode box.
    std::vector<bool> controls() const {
        std::vector<bool> states;
        for (int id : {BUY_BUTTON, SELL_BUTTON, CLOSE_BUTTON, CLEAR_BUTTON, REAL_TIME_BOX}) {
            states.push_back(ui.control(main, id)->enabled);
        }
        return states;
    }
};

TEST_F(BasketTest, IdleOpenClosedIdleWithoutTicks) {
    openBasket(host, basket, TradeDirection::Buy, prices(1.25F), figures);
    EXPECT_EQ(basket.entryPrices, prices(1.25F));
    EXPECT_EQ(controls(), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(logEntry(1), "BUY - Basket Bias:  5  Anchor Bias:  -2");
    EXPECT_EQ(logEntry(0), "Ref. Bias =  3");
    EXPECT_EQ(label(), "BUY Basket   ");

    closeBasket(host, basket);
    EXPECT_EQ(basket.direction, TradeDirection::None);
    EXPECT_EQ(controls(), (std::vector<bool>{false, false, false, true, false}));
    EXPECT_EQ(logEntry(0), "Basket Profit: 0"); // the box's text as it was before any tick

    clearBasket(host, basket);
    EXPECT_EQ(controls(), (std::vector<bool>{true, true, false, false, true}));
    EXPECT_EQ(profitText(), "");
    EXPECT_EQ(label(), std::string(24, ' '));

    openBasket(host, basket, TradeDirection::Sell, prices(1.0F), figures);
    EXPECT_EQ(logEntry(1), "SELL - Basket Bias:  5  Anchor Bias:  -2");
    EXPECT_EQ(label(), "SELL Basket    ");
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit: ");
}

TEST_F(BasketTest, TicksShowWholePipsWithLeadingBlank) {
    openBasket(host, basket, TradeDirection::Sell, prices(1.0F), figures);
    updateBasketProfit(host, basket, prices(1.0F, {{0, 1.0007F}}));
    EXPECT_EQ(profitText(), " -7");
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit:  -7");
}

} // namespace
} // namespace vz
