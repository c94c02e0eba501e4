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

// The canvas is 32 bits a pixel: rows are written directly, since
// QImage::setPixel checks and converts per pixel and a chart redraw sets
// hundreds of thousands of them.
class PixelRows {
public:
    explicit PixelRows(QImage& image)
        : image_(image), direct_(image.depth() == 32),
          bits_(direct_ ? reinterpret_cast<QRgb*>(image.bits()) : nullptr),
          stride_(direct_ ? image.bytesPerLine() / 4 : 0) {}

    void set(int x, int y, QRgb colour) {
        if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
            return;
        }
        if (direct_) {
            bits_[y * stride_ + x] = colour;
        } else {
            image_.setPixel(x, y, colour);
        }
    }
    // Columns x0 .. x1 - 1 of row y, already clipped.
    void fillRow(int y, int x0, int x1, QRgb colour) {
        if (direct_) {
            std::fill(bits_ + y * stride_ + x0, bits_ + y * stride_ + x1, colour);
            return;
        }
        for (int x = x0; x < x1; ++x) {
            image_.setPixel(x, y, colour);
        }
    }

private:
    QImage& image_;
    bool direct_;
    QRgb* bits_;
    qsizetype stride_;
};

} // namespace

void fillPixels(QImage& image, int left, int top, int width, int height, Colour colour) {
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, image.width());
    const int y1 = std::min(top + height, image.height());
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const QRgb value = toRgb(colour);
    PixelRows rows(image);
    for (int y = y0; y < y1; ++y) {
        rows.fillRow(y, x0, x1, value);
    }
}

void rasterLine(QImage& image, int x1, int y1, int x2, int y2, Colour colour) {
    const QRgb value = toRgb(colour);
    PixelRows rows(image);
    forEachLinePixel(x1, y1, x2, y2, image.width(), image.height(),
                     [&rows, value](int x, int y) { rows.set(x, y, value); });
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
