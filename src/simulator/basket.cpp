#include "simulator/basket.h"

#include "logging/event_log.h"
#include "platform/text.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace vz {

namespace {

constexpr int LABEL_X = 210;
constexpr int LABEL_Y = 199;
constexpr const char* BUY_LABEL = "BUY Basket   ";
constexpr const char* SELL_LABEL = "SELL Basket    ";
// Wide enough to cover the longer of the two labels.
constexpr int LABEL_ERASE_WIDTH = 24;

// Nearest integer with halves to even, clamped to the 32-bit range so that
// absurd prices cannot overflow; NaN counts as no profit.
std::int32_t roundedPips(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr float limit = 2147483648.0F; // 2^31, exact in single precision
    if (value >= limit) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < -limit) {
        return std::numeric_limits<std::int32_t>::min();
    }
    const float rounded = std::nearbyint(value);
    if (rounded >= limit) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

float pairProfit(TradeDirection direction, int pair, float live, float entry) {
    const float difference = direction == TradeDirection::Sell ? entry - live : live - entry;
    return difference * static_cast<float>(pipFactor(pair));
}

void drawLabel(Host& host, const std::string& text) {
    host.ui.moveTo(host.windows.main, LABEL_X, LABEL_Y);
    host.ui.printText(host.windows.main, text);
}

void setButtons(Host& host, bool buySell, bool close, bool clear) {
    host.ui.enableControl(host.windows.main, BUY_BUTTON, buySell);
    host.ui.enableControl(host.windows.main, SELL_BUTTON, buySell);
    host.ui.enableControl(host.windows.main, CLOSE_BUTTON, close);
    host.ui.enableControl(host.windows.main, CLEAR_BUTTON, clear);
}

} // namespace

int basketProfit(const Basket& basket, const std::array<float, PAIR_COUNT>& livePrices) {
    std::int32_t total = 0;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto index = static_cast<std::size_t>(pair);
        const float profit =
            pairProfit(basket.direction, pair, livePrices[index], basket.entryPrices[index]);
        // Rounding the running total after every pair, not each pair alone,
        // is what traders compare against: 1 + 0.5 gives 2, not 1.
        total = pair == 0 ? roundedPips(profit) : roundedPips(static_cast<float>(total) + profit);
    }
    return total;
}

void openBasket(Host& host, Basket& basket, TradeDirection direction,
                const std::array<float, PAIR_COUNT>& livePrices, const BasketFigures& figures) {
    basket.direction = direction;
    basket.entryPrices = livePrices;
    host.ui.enableControl(host.windows.main, CLOSE_BUTTON, true);
    host.ui.enableControl(host.windows.main, BUY_BUTTON, false);
    host.ui.enableControl(host.windows.main, SELL_BUTTON, false);
    host.ui.enableControl(host.windows.main, REAL_TIME_BOX, false);
    const bool buy = direction == TradeDirection::Buy;
    drawLabel(host, buy ? BUY_LABEL : SELL_LABEL);
    addEventLogRow(host, std::string(buy ? "BUY" : "SELL") +
                             " - Basket Bias: " + formatNumber(figures.basketBias) +
                             "  Anchor Bias: " + formatNumber(figures.anchorBias));
    addEventLogRow(host, "Ref. Bias = " + formatNumber(figures.referenceBias));
}

void updateBasketProfit(Host& host, const Basket& basket,
                        const std::array<float, PAIR_COUNT>& livePrices) {
    host.ui.setControlText(host.windows.main, PROFIT_BOX,
                           formatNumber(basketProfit(basket, livePrices)));
}

void closeBasket(Host& host, Basket& basket) {
    basket.direction = TradeDirection::None;
    basket.awaitingClear = true;
    host.ui.enableControl(host.windows.main, CLEAR_BUTTON, true);
    host.ui.enableControl(host.windows.main, CLOSE_BUTTON, false);
    addEventLogRow(host, "Basket Profit: " + host.ui.getControlText(host.windows.main, PROFIT_BOX));
}

void clearBasket(Host& host, Basket& basket) {
    basket.direction = TradeDirection::None;
    basket.awaitingClear = false;
    host.ui.setControlText(host.windows.main, PROFIT_BOX, "");
    setButtons(host, true, false, false);
    host.ui.enableControl(host.windows.main, REAL_TIME_BOX, true);
    drawLabel(host, std::string(LABEL_ERASE_WIDTH, ' '));
}

} // namespace vz
