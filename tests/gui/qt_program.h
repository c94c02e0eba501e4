#pragma once

#include "gui_support.h"
#include "program_fixture.h"

#include "platform/qt/qt_ui.h"

#include <QAction>

namespace vz::test {

// The whole program on real widgets.
class QtProgram : public ProgramFixture<QtUi> {
protected:
    QtProgram() { QApplication::processEvents(); }

    bool visible(WindowHandle window) { return ui.windowWidget(window)->isVisible(); }
    // Hands queued events to the handlers, as the event loop would.
    void settle() {
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    // Near the left edge, where a check box has its tick.
    void click(WindowHandle window, int id) override {
        QTest::mouseClick(ui.controlWidget(window, id), Qt::LeftButton, {}, QPoint(8, 10));
        settle();
    }
    void pick(WindowHandle window, int listId, int index) override {
        pickListItem(qobject_cast<QComboBox*>(ui.controlWidget(window, listId)), index);
        settle();
    }
    void pickMenu(int menuId) {
        ui.menuAction(main, menuId)->trigger();
        settle();
    }
    bool waitForTick(const std::function<bool()>&) override {
        const bool came = QTest::qWaitFor([&] { return ui.pendingEvents() > 0; });
        settle();
        return came;
    }
};

} // namespace vz::test
