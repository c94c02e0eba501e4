#include "../shell/history_folder.h"
#include "gui_support.h"

#include "platform/palette.h"
#include "platform/qt/qt_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::pixelAt;

// Controls of the main window.
constexpr int REAL_TIME_BOX = 1, DAY_LIST = 3, FIRST_NAME_BOX = 5, FIRST_PIPS_BOX = 20, BUY = 40,
              SELL = 41, CLOSE = 42, CLEAR = 43, EVENT_LOG = 46, MTF_BUTTON = 50,
              ACTIVE_LOGGER_BOX = 51;

const auto rowTop = [](int row) { return 140 + 24 * row; };

int pairIndex(const std::string& symbol) {
    const auto pair = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), symbol);
    EXPECT_NE(pair, PAIR_TABLE.end()) << "not a pair: " << symbol;
    return static_cast<int>(pair - PAIR_TABLE.begin());
}

Colour groupColour(const std::string& symbol) {
    return inFirstHalf(pairIndex(symbol)) ? FIRST_GROUP_COLOUR : SECOND_GROUP_COLOUR;
}

// The whole program on real widgets, over a generated history folder. Live
// prices start apart, so the first pass has one order without ties.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
        startUp(app, folder.path());
        QApplication::processEvents();
    }
    ~ProgramTest() override { shutDown(app); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    std::string symbolInRow(int row) { return text(windows.main, FIRST_NAME_BOX + row); }
    bool enabled(int id) { return ui.controlWidget(windows.main, id)->isEnabled(); }
    bool visible(WindowHandle window) { return ui.windowWidget(window)->isVisible(); }
    int listed() {
        return qobject_cast<QComboBox*>(ui.controlWidget(windows.main, DAY_LIST))->count();
    }
    Colour boxColour(WindowHandle window, int id) {
        return pixelAt(ui.controlWidget(window, id)->grab().toImage(), 4, 4);
    }
    Colour mainPixel(int x, int y) { return pixelAt(*ui.canvas(windows.main), x, y); }

    // Hands queued events to the handlers, as the event loop would.
    void settle() {
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    void click(WindowHandle window, int id, QPoint at = {}) {
        QTest::mouseClick(ui.controlWidget(window, id), Qt::LeftButton, {}, at);
        settle();
    }
    void toggle(WindowHandle window, int id) { click(window, id, QPoint(8, 10)); }
    void pick(WindowHandle window, int listId, int index) {
        test::pickListItem(qobject_cast<QComboBox*>(ui.controlWidget(window, listId)), index);
        settle();
    }
    void pickMenu(int menuId) {
        ui.menuAction(windows.main, menuId)->trigger();
        settle();
    }
    // Ranks the first day, switches real time on and lets one real tick lift
    // the bottom pair to the top. Gives the first ranking's top and bottom.
    std::pair<std::string, std::string> liftBottomPairInRealTime() {
        pick(windows.main, DAY_LIST, 0);
        toggle(windows.main, REAL_TIME_BOX);
        const std::pair ends{symbolInRow(0), symbolInRow(13)};
        folder.setLivePips(pairIndex(ends.second), 1000);
        ui.waitEvents();
        return ends;
    }

    testing::HistoryFolder folder;
    QtUi ui;
    StdFileSystem files;
    SystemClock clock;
    Host host{ui, files, clock};
    App app{host};
    const WindowSet& windows = app.host.windows;
};

TEST_F(ProgramTest, StartsWithThreeWindowsInTheirFirstState) {
    EXPECT_TRUE(visible(windows.main));
    EXPECT_FALSE(visible(windows.options) || visible(windows.multiTimeframe));
    EXPECT_EQ(ui.windowWidget(windows.options)->windowTitle(), "Sounds/Alert Options");
    EXPECT_EQ(ui.windowWidget(windows.multiTimeframe)->windowTitle(), "Multi-Timeframe Slots");
    EXPECT_GE(listed(), 5);
    EXPECT_EQ(ui.getListSelection(windows.main, DAY_LIST), -1);
    EXPECT_EQ(symbolInRow(0), "Pair1");
    EXPECT_EQ(text(windows.main, FIRST_PIPS_BOX + 13), "Price14");
    for (const int id : {REAL_TIME_BOX, ACTIVE_LOGGER_BOX, BUY, SELL, CLOSE, CLEAR}) {
        EXPECT_FALSE(enabled(id)) << id;
    }
    EXPECT_TRUE(enabled(MTF_BUTTON));
    EXPECT_EQ(ui.reportGetCell(windows.main, EVENT_LOG, 0, 2), "Started VU Vurezer");
    EXPECT_TRUE(ui.menuAction(windows.main, 22)->isChecked());
    EXPECT_FALSE(ui.menuAction(windows.main, 36)->isEnabled());
    EXPECT_EQ(mainPixel(100, 306), BLACK) << "the line between the two groups of slots";
    EXPECT_EQ(mainPixel(100, 305), BACKGROUND_COLOUR);
}

TEST_F(ProgramTest, PickingADayRanksTheRowsInGroupColours) {
    pick(windows.main, DAY_LIST, 0);
    EXPECT_TRUE(enabled(REAL_TIME_BOX));
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_EQ(boxColour(windows.main, FIRST_NAME_BOX + row), groupColour(symbolInRow(row)));
        const int above =
            row == 0 ? 1 << 30 : std::stoi(text(windows.main, FIRST_PIPS_BOX + row - 1));
        EXPECT_LT(std::stoi(text(windows.main, FIRST_PIPS_BOX + row)), above) << "strongest on top";
    }
    EXPECT_EQ(mainPixel(10, rowTop(5) + 5), BACKGROUND_COLOUR) << "no arrows on the first pass";
}

TEST_F(ProgramTest, RealTimeTicksMoveRowsStatusLinesAndArrows) {
    const auto [top, bottom] = liftBottomPairInRealTime();
    EXPECT_TRUE(enabled(BUY) && enabled(ACTIVE_LOGGER_BOX));
    EXPECT_EQ(symbolInRow(0), bottom);
    EXPECT_EQ(symbolInRow(1), top);
    EXPECT_EQ(text(windows.main, FIRST_PIPS_BOX), " 1000");
    EXPECT_EQ(mainPixel(10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(mainPixel(10, rowTop(1) + 5), DOWN_ARROW_COLOUR);
    const QRect statusLine(25, 120, 95, 12);
    EXPECT_LT(test::countOf(*ui.canvas(windows.main), statusLine, BACKGROUND_COLOUR),
              statusLine.width() * statusLine.height() - 20)
        << "the Time: status line is drawn";

    toggle(windows.main, REAL_TIME_BOX);
    EXPECT_FALSE(enabled(BUY));
    EXPECT_EQ(ui.pendingEvents(), 0U) << "no ticks once real time is off";
}

TEST_F(ProgramTest, BasketButtonsFollowBuyCloseAndClear) {
    pick(windows.main, DAY_LIST, 0);
    toggle(windows.main, REAL_TIME_BOX);
    const int rowsBefore = ui.reportRowCount(windows.main, EVENT_LOG);
    click(windows.main, BUY);
    EXPECT_FALSE(enabled(BUY) || enabled(SELL) || enabled(REAL_TIME_BOX));
    EXPECT_TRUE(enabled(CLOSE));
    folder.setLivePips(0, 200);
    ui.waitEvents();
    click(windows.main, CLOSE);
    EXPECT_TRUE(!enabled(CLOSE) && enabled(CLEAR));
    click(windows.main, CLEAR);
    EXPECT_TRUE(enabled(BUY) && enabled(REAL_TIME_BOX) && !enabled(CLEAR));
    EXPECT_GT(ui.reportRowCount(windows.main, EVENT_LOG), rowsBefore);
}

TEST_F(ProgramTest, AlertSoundIsChosenThroughTheFileRequester) {
    pickMenu(35);
    ASSERT_TRUE(visible(windows.options));
    test::answerNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    toggle(windows.options, 2);
    EXPECT_TRUE(ui.isChecked(windows.options, 2));
    EXPECT_EQ(text(windows.options, 3), "") << "cancelled";

    const std::string wave = folder.file("bell.wav");
    folder.write("bell.wav", "RIFF");
    toggle(windows.options, 2);
    QString title;
    test::answerNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        // Typed, as selecting would need the folder listing to have arrived.
        modal->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(wave));
        qobject_cast<QDialog*>(modal)->accept();
    });
    toggle(windows.options, 2);
    EXPECT_EQ(title, "Select A Sound File");
    EXPECT_EQ(text(windows.options, 3), wave);
}

TEST_F(ProgramTest, ReloadHistoryAsksFirst) {
    pick(windows.main, DAY_LIST, 2);
    const int before = listed();
    folder.writeAll({.dailyLines = 7});
    QString question;
    test::answerNextModal([&](QWidget* modal) {
        question = modal->windowTitle();
        test::pressInBox(modal, QMessageBox::No);
    });
    pickMenu(1);
    EXPECT_EQ(question, "Reload arrays?");
    EXPECT_EQ(ui.getListSelection(windows.main, DAY_LIST), 2) << "nothing was read";

    test::answerNextModal([](QWidget* modal) { test::pressInBox(modal, QMessageBox::Yes); });
    pickMenu(1);
    EXPECT_EQ(ui.getListSelection(windows.main, DAY_LIST), -1);
    EXPECT_EQ(listed(), before + 2) << "the longer files were read again";
}

TEST_F(ProgramTest, MultiTimeframeColumnRanksOnItsOwnPick) {
    const WindowHandle mtf = windows.multiTimeframe;
    click(windows.main, MTF_BUTTON);
    ASSERT_TRUE(visible(mtf));
    pick(mtf, 11, 0);
    for (const int nameBox : {60, 60 + 13}) { // the second column's top and bottom
        EXPECT_EQ(boxColour(mtf, nameBox), groupColour(text(mtf, nameBox)));
    }
    EXPECT_EQ(text(mtf, 20), "Pair1") << "other columns wait for their own pick";
}

// Grabs every window as a picture and checks the colours a user would see.
TEST_F(ProgramTest, ScreenshotsShowTheColoursOfEachWindow) {
    liftBottomPairInRealTime();
    toggle(windows.main, REAL_TIME_BOX);
    click(windows.main, MTF_BUTTON);
    pick(windows.multiTimeframe, 10, 0);
    pickMenu(35);

    const QString outputFolder = QStringLiteral(VUREZER_TEST_OUTPUT "/screenshots");
    QDir().mkpath(outputFolder);
    for (const auto& [window, name] : {std::pair{windows.main, "main.png"},
                                       {windows.options, "options.png"},
                                       {windows.multiTimeframe, "mtf.png"}}) {
        EXPECT_TRUE(ui.windowWidget(window)->grab().save(outputFolder + "/" + name)) << name;
    }

    const QImage main = ui.clientWidget(windows.main)->grab().toImage();
    EXPECT_EQ(pixelAt(main, 150, 450), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(main, 100, 306), BLACK);
    EXPECT_EQ(pixelAt(main, 29, rowTop(0) + 4), groupColour(symbolInRow(0)));
    EXPECT_EQ(pixelAt(main, 29, rowTop(13) + 4), groupColour(symbolInRow(13)));
    EXPECT_EQ(pixelAt(main, 10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(pixelAt(main, 10, rowTop(1) + 5), DOWN_ARROW_COLOUR);
    const QImage options = ui.clientWidget(windows.options)->grab().toImage();
    EXPECT_EQ(pixelAt(options, 480, 300), BACKGROUND_COLOUR);
    const QImage mtf = ui.clientWidget(windows.multiTimeframe)->grab().toImage();
    EXPECT_EQ(pixelAt(mtf, 860, 440), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(mtf, 29, 64), groupColour(text(windows.multiTimeframe, 20)));
}

} // namespace
} // namespace vz
