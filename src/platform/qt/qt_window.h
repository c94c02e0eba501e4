#pragma once

#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <functional>

namespace vz {

// The client area of a window. It paints the window's persistent canvas
// behind the child controls, so drawings survive covering and repainting.
class CanvasWidget final : public QWidget {
public:
    CanvasWidget(QSize canvasSize, QColor fill, QWidget* parent);
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// A top-level window whose close box asks the program instead of closing:
// the program's handler decides whether to hide the window or end the run.
class WindowFrame final : public QMainWindow {
public:
    explicit WindowFrame(std::function<void()> onCloseRequest);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> onCloseRequest_;
};

} // namespace vz
