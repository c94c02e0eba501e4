#pragma once

#include "../shell/history_folder.h"
#include "gui_support.h"

#include "platform/qt/qt_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <QAction>
#include <gtest/gtest.h>
#include <string>

namespace vz::test {

// The whole program on real widgets, over a generated history folder. Live
// prices rise with the pair index, so the first ranking pass has one order
// without ties, the whole second half on top: perfectly grouped.
class QtProgram : public ::testing::Test {
protected:
    QtProgram() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
        startUp(app, folder.path());
        QApplication::processEvents();
    }
    ~QtProgram() override { shutDown(app); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    bool visible(WindowHandle window) { return ui.windowWidget(window)->isVisible(); }
    // Hands queued events to the handlers, as the event loop would.
    void settle() {
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    // Near the left edge, where a check box has its tick.
    void click(WindowHandle window, int id) {
        QTest::mouseClick(ui.controlWidget(window, id), Qt::LeftButton, {}, QPoint(8, 10));
        settle();
    }
    void pick(WindowHandle window, int listId, int index) {
        pickListItem(qobject_cast<QComboBox*>(ui.controlWidget(window, listId)), index);
        settle();
    }
    void pickMenu(int menuId) {
        ui.menuAction(main, menuId)->trigger();
        settle();
    }

    testing::HistoryFolder folder;
    QtUi ui;
    StdFileSystem files;
    SystemClock clock;
    Host host{ui, files, clock};
    App app{host};
    const WindowHandle &main = app.host.windows.main, &options = app.host.windows.options,
                       &mtf = app.host.windows.multiTimeframe;
};

} // namespace vz::test
