#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "simulator/basket.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace vz {
namespace {

using Prices = std::array<float, PAIR_COUNT>;

Prices uniformPrices(float value) {
    Prices prices{};
    prices.fill(value);
    return prices;
}

Basket openedAt(TradeDirection direction, const Prices& entry) {
    return Basket{direction, entry};
}

// Entry prices of 0 make each pair's profit its live price times 10000, so
// the live prices below give exactly 1 and 0.5 pips.
constexpr float ONE_PIP = 0.0001F;
constexpr float HALF_PIP = 0.00005F;

TEST(BasketProfitTest, RunningTotalIsRoundedHalfToEvenAfterEveryPair) {
    const Basket basket = openedAt(TradeDirection::Buy, Prices{});
    Prices live{};
    live[0] = ONE_PIP;
    live[1] = HALF_PIP;
    EXPECT_EQ(basketProfit(basket, live), 2); // 1.5 goes to the even 2

    live = Prices{};
    live[0] = HALF_PIP;
    live[1] = HALF_PIP;
    live[2] = 0.005F;                         // half a pip of a JPY pair
    EXPECT_EQ(basketProfit(basket, live), 0); // each 0.5 step falls back to 0
}

TEST(BasketProfitTest, BuyAndSellAreExactOpposites) {
    Prices entry{};
    Prices live{};
    for (int i = 0; i < PAIR_COUNT; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const float base = pipFactor(i) == 100 ? 150.123F : 1.2345F;
        entry[index] = base;
        live[index] =
            base + static_cast<float>(i % 3 - 1) * 3.3F / static_cast<float>(pipFactor(i));
    }
    const int buy = basketProfit(openedAt(TradeDirection::Buy, entry), live);
    const int sell = basketProfit(openedAt(TradeDirection::Sell, entry), live);
    EXPECT_EQ(buy, -sell);
    EXPECT_NE(buy, 0);
}

TEST(BasketProfitTest, PairWithoutEntryPriceCountsItsWholePrice) {
    Prices entry = uniformPrices(1.0F);
    entry[2] = 0.0F; // GBPJPY had no data yet
    Prices live = entry;
    live[2] = 190.5F;
    EXPECT_EQ(basketProfit(openedAt(TradeDirection::Buy, entry), live), 19050);
}

TEST(BasketProfitTest, AbsurdPricesSaturateInsteadOfOverflowing) {
    const Prices entry = uniformPrices(0.0F);
    const Prices huge = uniformPrices(3.0e37F);
    EXPECT_EQ(basketProfit(openedAt(TradeDirection::Buy, entry), huge),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(basketProfit(openedAt(TradeDirection::Sell, entry), huge),
              std::numeric_limits<std::int32_t>::min());
    Prices broken = entry;
    broken[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(basketProfit(openedAt(TradeDirection::Buy, entry), broken), 0);
}

class BasketTest : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    Basket basket;
    BasketFigures figures{5, -2, 3};

    void SetUp() override {
        const WindowHandle main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        host.windows.main = main;
        ui.createControl(main, ControlKind::CheckBox, "Real-Time Mode", 10, 10, 100, 20,
                         STYLE_CHECK_BOX, REAL_TIME_BOX);
        for (int id : {BUY_BUTTON, SELL_BUTTON, CLOSE_BUTTON, CLEAR_BUTTON}) {
            ui.createControl(main, ControlKind::PushButton, "", 10, 30 + id, 50, 20,
                             STYLE_PUSH_BUTTON, id);
        }
        ui.enableControl(main, CLOSE_BUTTON, false);
        ui.enableControl(main, CLEAR_BUTTON, false);
        ui.createControl(main, ControlKind::TextBox, "0", 10, 100, 60, 20, STYLE_TEXT_CENTRED,
                         PROFIT_BOX);
        ui.createControl(main, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                         EVENT_LOG_LIST);
        addEventLogColumns(host);
    }

    bool enabled(int id) const { return ui.control(host.windows.main, id)->enabled; }
    std::string profitText() const { return ui.control(host.windows.main, PROFIT_BOX)->text; }
    std::string logEntry(int row) const {
        return ui.control(host.windows.main, EVENT_LOG_LIST)
            ->rows[static_cast<std::size_t>(row)][2];
    }
    std::string label() const { return ui.textAt(host.windows.main, 210, 199); }

    // Buy/Sell, Close, Clear, Real-Time Mode box.
    void expectControls(bool buySell, bool close, bool clear, bool realTime) const {
        EXPECT_EQ(enabled(BUY_BUTTON), buySell);
        EXPECT_EQ(enabled(SELL_BUTTON), buySell);
        EXPECT_EQ(enabled(CLOSE_BUTTON), close);
        EXPECT_EQ(enabled(CLEAR_BUTTON), clear);
        EXPECT_EQ(enabled(REAL_TIME_BOX), realTime);
    }
};

TEST_F(BasketTest, ControlsFollowIdleOpenClosedIdle) {
    const Prices prices = uniformPrices(1.25F);
    openBasket(host, basket, TradeDirection::Buy, prices, figures);
    EXPECT_EQ(basket.direction, TradeDirection::Buy);
    EXPECT_EQ(basket.entryPrices, prices);
    expectControls(false, true, false, false);

    closeBasket(host, basket);
    EXPECT_EQ(basket.direction, TradeDirection::None);
    expectControls(false, false, true, false);

    clearBasket(host, basket);
    expectControls(true, false, false, true);
    EXPECT_EQ(profitText(), "");
}

TEST_F(BasketTest, OpeningLogsFiguresDrawsLabelAndLeavesProfitBox) {
    openBasket(host, basket, TradeDirection::Buy, uniformPrices(1.0F), figures);
    EXPECT_EQ(logEntry(1), "BUY - Basket Bias:  5  Anchor Bias:  -2");
    EXPECT_EQ(logEntry(0), "Ref. Bias =  3");
    EXPECT_EQ(label(), "BUY Basket   ");
    EXPECT_EQ(profitText(), "0");

    closeBasket(host, basket);
    clearBasket(host, basket);
    EXPECT_EQ(label(), std::string(24, ' '));
    openBasket(host, basket, TradeDirection::Sell, uniformPrices(1.0F), figures);
    EXPECT_EQ(logEntry(1), "SELL - Basket Bias:  5  Anchor Bias:  -2");
    EXPECT_EQ(label(), "SELL Basket    ");
}

TEST_F(BasketTest, CloseLogsWhateverTheProfitBoxHolds) {
    openBasket(host, basket, TradeDirection::Buy, uniformPrices(1.0F), figures);
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit: 0");

    clearBasket(host, basket);
    openBasket(host, basket, TradeDirection::Sell, uniformPrices(1.0F), figures);
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit: ");

    clearBasket(host, basket);
    openBasket(host, basket, TradeDirection::Buy, uniformPrices(1.0F), figures);
    ui.typeText(host.windows.main, PROFIT_BOX, "typed");
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit: typed");
}

TEST_F(BasketTest, TicksShowWholePipsWithLeadingBlank) {
    openBasket(host, basket, TradeDirection::Sell, uniformPrices(1.0F), figures);
    updateBasketProfit(host, basket, uniformPrices(1.0F));
    EXPECT_EQ(profitText(), " 0");

    Prices later = uniformPrices(1.0F);
    later[0] = 1.0007F;
    updateBasketProfit(host, basket, later);
    EXPECT_EQ(profitText(), " -7");
    closeBasket(host, basket);
    EXPECT_EQ(logEntry(0), "Basket Profit:  -7");
}

} // namespace
} // namespace vz
