#pragma once

#include <cstdint>

namespace vz {

// Red + 256 * green + 65536 * blue, the layout the trading terminals use for
// colours; the negative value NO_FILL marks a hollow rectangle.
using Colour = std::int32_t;

inline constexpr Colour NO_FILL = -1;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr int redOf(Colour c) {
    return c & 0xFF;
}
constexpr int greenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr int blueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

inline constexpr Colour BLACK = rgb(0, 0, 0);
inline constexpr Colour WHITE = rgb(255, 255, 255);

} // namespace vz
