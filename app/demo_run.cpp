#include "demo_run.h"

#include "platform/qt/qt_ui.h"
#include "shell/main_window.h"
#include "simulator/basket.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace vz {

namespace {

constexpr int PICK_AFTER_MS = 500;
constexpr int SWITCH_ON_AFTER_MS = 1500;

// The last step down the list is a key press, as a user's would be, so the
// list reports the pick through its own signal.
void pickReferenceDay(QtUi& ui, WindowHandle main) {
    auto* list = qobject_cast<QComboBox*>(ui.controlWidget(main, REFERENCE_DAY_LIST));
    if (list == nullptr || list->count() == 0) {
        return;
    }
    const int day = std::min(DEMO_REFERENCE_DAY, list->count() - 1);
    list->setCurrentIndex(day - 1);
    list->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(list, &down);
}

void switchRealTimeModeOn(QtUi& ui, WindowHandle main) {
    if (auto* box = qobject_cast<QAbstractButton*>(ui.controlWidget(main, REAL_TIME_BOX));
        box != nullptr && box->isEnabled() && !box->isChecked()) {
        box->click();
    }
}

void saveAndClose(QtUi& ui, WindowHandle main, const QString& screenshotPath) {
    QWidget* window = ui.windowWidget(main);
    if (window == nullptr) {
        return;
    }
    if (window->grab().save(screenshotPath, "PNG")) {
        std::printf("vurezer: picture of the main window written to %s\n",
                    screenshotPath.toLocal8Bit().constData());
    } else {
        std::fprintf(stderr, "vurezer: could not write %s\n",
                     screenshotPath.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    window->close(); // asks the program, which ends the run
}

} // namespace

void startDemoRun(QtUi& ui, const WindowSet& windows, const QString& screenshotPath) {
    const WindowHandle main = windows.main;
    QTimer::singleShot(PICK_AFTER_MS, [&ui, main] { pickReferenceDay(ui, main); });
    QTimer::singleShot(SWITCH_ON_AFTER_MS, [&ui, main] { switchRealTimeModeOn(ui, main); });
    QTimer::singleShot(SWITCH_ON_AFTER_MS + DEMO_TICK_SECONDS * 1000,
                       [&ui, main, screenshotPath] { saveAndClose(ui, main, screenshotPath); });
}

} // namespace vz
