#include "platform/qt/qt_raster.h"

#include "platform/line_raster.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace vz {

namespace {

QRgb toRgb(Colour colour) {
    return qRgb(redOf(colour), greenOf(colour), blueOf(colour));
}

void plot(QImage& image, int x, int y, QRgb colour) {
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
        image.setPixel(x, y, colour);
    }
}

} // namespace

void fillPixels(QImage& image, int left, int top, int width, int height, Colour colour) {
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, image.width());
    const int y1 = std::min(top + height, image.height());
    const QRgb value = toRgb(colour);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            image.setPixel(x, y, value);
        }
    }
}

void rasterLine(QImage& image, int x1, int y1, int x2, int y2, Colour colour) {
    const QRgb value = toRgb(colour);
    forEachLinePixel(x1, y1, x2, y2, image.width(), image.height(),
                     [&image, value](int x, int y) { plot(image, x, y, value); });
}

void rasterRect(QImage& image, int left, int top, int width, int height, Colour border,
                Colour fill) {
    if (width <= 0 || height <= 0) {
        return;
    }
    if (fill != NO_FILL && width > 2 && height > 2) {
        fillPixels(image, left + 1, top + 1, width - 2, height - 2, fill);
    }
    fillPixels(image, left, top, width, 1, border);
    fillPixels(image, left, top + height - 1, width, 1, border);
    fillPixels(image, left, top, 1, height, border);
    fillPixels(image, left + width - 1, top, 1, height, border);
}

} // namespace vz
