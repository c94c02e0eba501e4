#pragma once

#include "market/pairs.h"
#include "platform/host.h"

#include <array>
#include <cstdint>

namespace vz {

enum class TradeDirection : std::int32_t { None = 0, Buy = 1, Sell = -1 };

// Main window control ids the simulator drives.
inline constexpr int REAL_TIME_BOX = 1;
inline constexpr int BUY_BUTTON = 40;
inline constexpr int SELL_BUTTON = 41;
inline constexpr int CLOSE_BUTTON = 42;
inline constexpr int CLEAR_BUTTON = 43;
inline constexpr int PROFIT_BOX = 44;

struct Basket {
    TradeDirection direction = TradeDirection::None;
    std::array<float, PAIR_COUNT> entryPrices{};
    // Closed but not yet cleared: the frozen profit is still on show.
    bool awaitingClear = false;
};

// Neither open nor waiting for Clear.
inline bool basketIdle(const Basket& basket) {
    return basket.direction == TradeDirection::None && !basket.awaitingClear;
}

// The bias figures logged when a basket opens.
struct BasketFigures {
    int basketBias = 0;
    int anchorBias = 0;
    int referenceBias = 0;
};

// Whole-pip profit of the basket at the given prices: single-precision steps,
// the running total rounded half-to-even after every pair.
int basketProfit(const Basket& basket, const std::array<float, PAIR_COUNT>& livePrices);

void openBasket(Host& host, Basket& basket, TradeDirection direction,
                const std::array<float, PAIR_COUNT>& livePrices, const BasketFigures& figures);
void updateBasketProfit(Host& host, const Basket& basket,
                        const std::array<float, PAIR_COUNT>& livePrices);
void closeBasket(Host& host, Basket& basket);
void clearBasket(Host& host, Basket& basket);

} // namespace vz
