// The floor for the program's start-up: the smallest Qt Widgets program that
// shows a window and waits for events, closing the window at its first wait
// exactly as the program does when asked to quit there.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(400, 300);
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
