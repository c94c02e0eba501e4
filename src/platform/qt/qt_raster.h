#pragma once

#include "platform/colour.h"

class QImage;

namespace vz {

// Pixel-exact drawing on a canvas image; anything outside the image is
// clipped. The toolkit's own line drawing picks a different end pixel, so
// lines are rasterised here.
void fillPixels(QImage& image, int left, int top, int width, int height, Colour colour);
// Bresenham from (x1, y1) up to but excluding (x2, y2).
void rasterLine(QImage& image, int x1, int y1, int x2, int y2, Colour colour);
// Border one pixel wide over left .. left + width - 1 and top .. top + height - 1;
// fill NO_FILL leaves the inside alone.
void rasterRect(QImage& image, int left, int top, int width, int height, Colour border,
                Colour fill);

} // namespace vz
