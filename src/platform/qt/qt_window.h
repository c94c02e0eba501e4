#pragma once

#include "platform/colour.h"

#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <functional>

namespace vz {

// The client area of a window. It keeps the program's persistent canvas in
// layout pixels, exactly as drawn, and beside it the picture that is shown:
// the same drawing at the screen's pixel ratio, with lines one whole device
// pixel wide (two at ratio 2) and text rendered at full resolution, so that
// strokes stay crisp and even at 125 % or 150 % scaling. It paints that
// picture behind the child controls, so drawings survive covering and
// repainting.
class CanvasWidget final : public QWidget {
public:
    CanvasWidget(QSize canvasSize, QColor fill, QWidget* parent);
    const QImage& image() const { return image_; }
    const QImage& display() const { return separateDisplay_ ? display_ : image_; }
    qreal displayRatio() const { return ratio_; }
    // Redraws the shown picture from the canvas at a new ratio; printed text
    // is sharp again once it is printed anew.
    void setDisplayRatio(qreal ratio);

    void fill(QColor colour);
    // Up to, but excluding, (x2, y2).
    void line(int x1, int y1, int x2, int y2, Colour colour);
    void rect(int left, int top, int width, int height, Colour border, Colour fill);
    // Fills `covered` with the background, then draws the text with its
    // baseline starting at `origin`.
    void text(QRect covered, QPoint origin, const QFont& font, const QString& text, QColor colour,
              QColor background);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The device pixels that layout pixels first .. first + count - 1 cover.
    int toDevice(int layout) const;
    void fillDevice(QRect layoutArea, QColor colour);
    void plotStroke(int x, int y, bool steep, QRgb colour);

    QImage image_;
    // Only at a ratio above 1: at 1 the shown picture is the canvas itself,
    // and a second copy would cost 1.7 MB a window.
    QImage display_;
    bool separateDisplay_ = false;
    qreal ratio_ = 1.0;
};

// A top-level window whose close box asks the program instead of closing:
// the program's handler decides whether to hide the window or end the run.
class WindowFrame final : public QMainWindow {
public:
    explicit WindowFrame(std::function<void()> onCloseRequest);
    // Runs `centre` again once the window has been shown and framed: only
    // then does the frame's real size exist.
    void centreOnceFramed(std::function<void()> centre);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<void()> onCloseRequest_;
    std::function<void()> centreOnceFramed_;
};

} // namespace vz
