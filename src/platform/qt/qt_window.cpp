#include "platform/qt/qt_window.h"

#include "platform/line_raster.h"
#include "platform/qt/qt_raster.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

namespace vz {

namespace {

// Long enough for the window manager to have framed a freshly shown window.
constexpr int FRAMING_DELAY_MS = 150;

QRgb toRgb(Colour colour) {
    return qRgb(redOf(colour), greenOf(colour), blueOf(colour));
}

} // namespace

CanvasWidget::CanvasWidget(QSize canvasSize, QColor fill, QWidget* parent)
    : QWidget(parent), image_(canvasSize, QImage::Format_RGB32) {
    image_.fill(fill);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setDisplayRatio(devicePixelRatioF());
}

void CanvasWidget::setDisplayRatio(qreal ratio) {
    ratio_ = std::max<qreal>(ratio, 1.0);
    separateDisplay_ = ratio_ > 1.0;
    if (separateDisplay_) {
        const QSize deviceSize(toDevice(image_.width()), toDevice(image_.height()));
        display_ = image_.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        display_.setDevicePixelRatio(ratio_);
    } else {
        display_ = QImage();
    }
    update();
}

int CanvasWidget::toDevice(int layout) const {
    return static_cast<int>(std::lround(layout * ratio_));
}

void CanvasWidget::fillDevice(QRect layoutArea, QColor colour) {
    if (!separateDisplay_) {
        return;
    }
    const QRect device(
        QPoint(toDevice(layoutArea.left()), toDevice(layoutArea.top())),
        QPoint(toDevice(layoutArea.right() + 1) - 1, toDevice(layoutArea.bottom() + 1) - 1));
    const QRect clipped = device.intersected(QRect(QPoint(0, 0), display_.size()));
    const QRgb value = colour.rgb();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(display_.scanLine(y));
        std::fill(row + clipped.left(), row + clipped.right() + 1, value);
    }
}

// A line's pixel covers its whole device span along the line's main
// direction, so the stroke has no gaps, and a whole number of device pixels
// across it, so every stroke is equally wide.
void CanvasWidget::plotStroke(int x, int y, bool steep, QRgb colour) {
    if (!separateDisplay_) {
        return;
    }
    const int across = std::max(1, static_cast<int>(std::floor(ratio_ + 1e-9)));
    const int left = toDevice(x);
    const int top = toDevice(y);
    const int width = steep ? across : std::max(toDevice(x + 1) - left, 1);
    const int height = steep ? std::max(toDevice(y + 1) - top, 1) : across;
    for (int py = std::max(top, 0); py < std::min(top + height, display_.height()); ++py) {
        for (int px = std::max(left, 0); px < std::min(left + width, display_.width()); ++px) {
            display_.setPixel(px, py, colour);
        }
    }
}

void CanvasWidget::fill(QColor colour) {
    image_.fill(colour);
    if (separateDisplay_) {
        display_.fill(colour);
    }
    update();
}

void CanvasWidget::line(int x1, int y1, int x2, int y2, Colour colour) {
    rasterLine(image_, x1, y1, x2, y2, colour);
    const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
    const QRgb value = toRgb(colour);
    if (separateDisplay_) {
        forEachLinePixel(x1, y1, x2, y2, image_.width(), image_.height(),
                         [&](int x, int y) { plotStroke(x, y, steep, value); });
    }
    update(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized().adjusted(-1, -1, 1, 1));
}

void CanvasWidget::rect(int left, int top, int width, int height, Colour border, Colour fill) {
    rasterRect(image_, left, top, width, height, border, fill);
    if (width <= 0 || height <= 0) {
        return;
    }
    const QColor borderColour(toRgb(border));
    if (fill != NO_FILL) {
        // Filled: one block, so no device pixel between border and inside
        // keeps what was there before.
        fillDevice(QRect(left, top, width, height), borderColour);
        if (width > 2 && height > 2) {
            fillDevice(QRect(left + 1, top + 1, width - 2, height - 2), QColor(toRgb(fill)));
        }
    } else {
        const int right = left + width - 1;
        const int bottom = top + height - 1;
        const QRgb value = toRgb(border);
        for (int x = left; x <= right; ++x) {
            plotStroke(x, top, false, value);
            plotStroke(x, bottom, false, value);
        }
        for (int y = top; y <= bottom; ++y) {
            plotStroke(left, y, true, value);
            plotStroke(right, y, true, value);
        }
    }
    update(QRect(left, top, width, height).adjusted(-1, -1, 1, 1));
}

void CanvasWidget::text(QRect covered, QPoint origin, const QFont& font, const QString& text,
                        QColor colour, QColor background) {
    {
        QPainter painter(&image_);
        painter.setFont(font);
        painter.fillRect(covered, background);
        painter.setPen(colour);
        painter.drawText(origin, text);
    }
    if (separateDisplay_) {
        fillDevice(covered, background);
        QPainter painter(&display_); // in layout pixels: the image carries the ratio
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(origin, text);
    }
    update(covered.adjusted(-1, -1, 1, 1));
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    if (!qFuzzyCompare(devicePixelRatioF(), ratio_) && devicePixelRatioF() >= 1.0) {
        setDisplayRatio(devicePixelRatioF());
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // Drawn whole from the origin: the picture's pixels meet the screen's one
    // to one, so a partial repaint leaves no seam.
    painter.drawImage(QPoint(0, 0), display());
}

WindowFrame::WindowFrame(std::function<void()> onCloseRequest)
    : onCloseRequest_(std::move(onCloseRequest)) {}

void WindowFrame::centreOnceFramed(std::function<void()> centre) {
    centreOnceFramed_ = std::move(centre);
}

void WindowFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest_) {
        onCloseRequest_();
    }
}

void WindowFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centreOnceFramed_) {
        QTimer::singleShot(FRAMING_DELAY_MS, this, std::exchange(centreOnceFramed_, {}));
    }
}

} // namespace vz
