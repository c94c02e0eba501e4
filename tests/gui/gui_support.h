#pragma once

#include "platform/colour.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vz::test {

inline Colour pixelAt(const QImage& image, int x, int y) {
    const QRgb value = image.pixel(x, y);
    return rgb(qRed(value), qGreen(value), qBlue(value));
}

inline int countOf(const QImage& image, QRect area, Colour colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += pixelAt(image, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// Opens the list, moves to the item and presses Enter, as a user picks one;
// a disabled list cannot be opened.
inline void pickListItem(QComboBox* list, int index) {
    if (!list->isEnabled()) {
        return;
    }
    list->showPopup();
    list->view()->setCurrentIndex(list->view()->model()->index(index, 0));
    QTest::keyClick(list->view(), Qt::Key_Return);
}

// Polls for the next modal dialog and hands it to answer once it is up.
inline void answerNextModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(20, [answer = std::move(answer)]() mutable {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return answerNextModal(std::move(answer));
        }
        answer(modal);
        // A wrong answer must fail the test, not hang it.
        QTimer::singleShot(3000, [modal] {
            if (auto* dialog = qobject_cast<QDialog*>(modal.data());
                dialog && dialog->isVisible()) {
                dialog->reject();
            }
        });
    });
}

inline void pressInBox(QWidget* modal, QMessageBox::StandardButton button) {
    qobject_cast<QMessageBox*>(modal)->button(button)->click();
}

} // namespace vz::test
