#include "platform/qt/qt_window.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <utility>

namespace vz {

CanvasWidget::CanvasWidget(QSize canvasSize, QColor fill, QWidget* parent)
    : QWidget(parent), image_(canvasSize, QImage::Format_RGB32) {
    image_.fill(fill);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

WindowFrame::WindowFrame(std::function<void()> onCloseRequest)
    : onCloseRequest_(std::move(onCloseRequest)) {}

void WindowFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest_) {
        onCloseRequest_();
    }
}

} // namespace vz
