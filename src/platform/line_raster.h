#pragma once

#include <algorithm>
#include <cstdlib>

namespace vz {

// Visits the pixels of a line from (x1, y1) up to, but excluding, (x2, y2),
// the way the canvas rule wants it (Bresenham). Both backends draw through
// this so their canvases agree pixel for pixel. A line wholly beside a
// width x height canvas visits nothing, and the walk stops where the line
// leaves the canvas for good (x and y only ever move one way), so a far end
// point costs nothing; only a start point far outside is walked in from.
template <typename Plot>
void forEachLinePixel(int x1, int y1, int x2, int y2, int width, int height, Plot&& plot) {
    if (std::max(x1, x2) < 0 || std::max(y1, y2) < 0 || std::min(x1, x2) >= width ||
        std::min(y1, y2) >= height) {
        return;
    }
    long long x = x1;
    long long y = y1;
    const long long dx = std::llabs(static_cast<long long>(x2) - x1);
    const long long dy = -std::llabs(static_cast<long long>(y2) - y1);
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    long long error = dx + dy;
    const auto gone = [&] {
        return (stepX > 0 && x >= width) || (stepX < 0 && x < 0) || (stepY > 0 && y >= height) ||
               (stepY < 0 && y < 0);
    };
    while ((x != x2 || y != y2) && !gone()) {
        plot(static_cast<int>(x), static_cast<int>(y));
        const long long doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

} // namespace vz
