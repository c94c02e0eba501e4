#include "../shell/history_folder.h"
#include "gui_support.h"

#include "platform/headless/fixed_clock.h"
#include "platform/headless/stamped_files.h"
#include "platform/qt/qt_ui.h"
#include "shell/app.h"
#include "shell/main_handler.h"
#include "shell/startup.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

constexpr std::int64_t NS = 1'000'000'000;
constexpr int DAY_LIST = 3, EVENT_LOG = 46;

// The program on real widgets with file times and a clock set by the test;
// ticks are run directly rather than by the one-second timer.
class StaleLineOnWidgets : public ::testing::Test {
protected:
    StaleLineOnWidgets() {
        startUp(app, folder.path());
        QApplication::processEvents();
        test::pickListItem(qobject_cast<QComboBox*>(ui.controlWidget(main, DAY_LIST)), 0);
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    ~StaleLineOnWidgets() override { shutDown(app); }

    void stampAll() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            files.setModifiedTime(folder.file(std::string(PAIR_TABLE[pair]) + "_RT.csv"),
                                  clock.utcSeconds() * NS);
        }
    }
    void tickAfter(int seconds) {
        clock.advanceSeconds(seconds);
        runRealTimeTick(app);
        QApplication::processEvents();
    }
    // Pixels of the line's colour where the line goes.
    int redPixels() {
        return test::countOf(*ui.canvas(main), QRect(STALE_LINE_X, STALE_LINE_Y, 300, 16),
                             STALE_LINE_COLOUR);
    }

    testing::HistoryFolder folder;
    QtUi ui;
    StdFileSystem disk;
    StampedFileSystem files{disk};
    FixedClock clock{{2026, 12, 9, 14, 0, 0}};
    App app{Host{ui, files, clock}};
    const WindowHandle& main = app.host.windows.main;
};

TEST_F(StaleLineOnWidgets, RedLineAppearsAfterAStillMinuteAndGoesWhenPricesMove) {
    stampAll();
    tickAfter(1);
    EXPECT_EQ(redPixels(), 0);
    tickAfter(60);
    EXPECT_GT(redPixels(), 20) << "the line is drawn in red";
    EXPECT_EQ(ui.reportGetCell(main, EVENT_LOG, 0, 2), "Prices stale since 14:00:00");
    stampAll();
    tickAfter(1);
    EXPECT_EQ(redPixels(), 0) << "and covered when prices move";
    EXPECT_EQ(ui.reportGetCell(main, EVENT_LOG, 0, 2), "Prices live again");
}

} // namespace
} // namespace vz
