#include "gui_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vz::test {

Colour pixelAt(const QImage& image, int x, int y) {
    const QRgb value = image.pixel(x, y);
    return rgb(qRed(value), qGreen(value), qBlue(value));
}

void clickWidget(QWidget* widget, QPoint at) {
    const QPoint point = at.x() < 0 ? widget->rect().center() : at;
    const QPointF local(point);
    const QPointF global(widget->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void pickListItem(QComboBox* list, int index) {
    if (!list->isEnabled()) {
        return;
    }
    list->showPopup();
    QAbstractItemView* view = list->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
}

void answerNextModal(std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer();
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        const QPointer<QWidget> guard(modal);
        answer(modal);
        // A wrong answer must fail the test, not hang it.
        QTimer::singleShot(3000, [guard] {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data());
                dialog && dialog->isVisible()) {
                dialog->reject();
            }
        });
    });
    poll->start();
}

void acceptFileName(QFileDialog* dialog, const QString& name) {
    // Typed, as a user would: selecting a file needs the folder listing to
    // have arrived first.
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog*>(dialog)->accept();
}

void runEventsFor(int milliseconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace vz::test
