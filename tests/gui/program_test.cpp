#include "../shell/history_folder.h"
#include "gui_support.h"

#include "market/pairs.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/palette.h"
#include "platform/qt/qt_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::pixelAt;

constexpr int REAL_TIME_BOX = 1;
constexpr int ACTIVE_LOGGER_BOX_ID = 51;
constexpr int DAY_LIST = 3;
constexpr int FIRST_NAME_BOX = 5;
constexpr int FIRST_PIPS_BOX = 20;
constexpr int BUY = 40;
constexpr int SELL = 41;
constexpr int CLOSE = 42;
constexpr int CLEAR = 43;
constexpr int EVENT_LOG = 46;
constexpr int MTF_BUTTON = 50;

int rowTop(int row) {
    return 140 + 24 * row;
}

int pairIndex(const std::string& symbol) {
    const auto found = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), symbol);
    return found == PAIR_TABLE.end() ? -1 : static_cast<int>(found - PAIR_TABLE.begin());
}

Colour groupColour(const std::string& symbol) {
    return inFirstHalf(pairIndex(symbol)) ? FIRST_GROUP_COLOUR : SECOND_GROUP_COLOUR;
}

// The whole program on real widgets, over a generated history folder. Live
// prices start apart, so the first pass has one order without ties.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() : host{ui, files, clock}, app(host) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
    }

    void SetUp() override {
        startUp(app, folder.path());
        QApplication::processEvents();
    }
    void TearDown() override { shutDown(app); }

    WindowHandle mainWindow() const { return app.host.windows.main; }
    WindowHandle optionsWindow() const { return app.host.windows.options; }
    WindowHandle mtfWindow() const { return app.host.windows.multiTimeframe; }

    template <typename Widget> Widget* control(WindowHandle window, int id) {
        auto* widget = qobject_cast<Widget*>(ui.controlWidget(window, id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    bool enabled(int id) { return ui.controlWidget(mainWindow(), id)->isEnabled(); }

    // Hands queued events to the handlers, as the event loop would.
    void settle() {
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    void click(WindowHandle window, int id) {
        test::clickWidget(ui.controlWidget(window, id));
        settle();
    }
    void toggle(WindowHandle window, int id) {
        test::clickWidget(ui.controlWidget(window, id), QPoint(8, 10));
        settle();
    }
    void pick(WindowHandle window, int listId, int index) {
        test::pickListItem(control<QComboBox>(window, listId), index);
        settle();
    }
    void pickMenu(int menuId) {
        ui.menuAction(mainWindow(), menuId)->trigger();
        settle();
    }
    // Waits for the next real one-second tick and lets it run.
    void nextTick() { ui.waitEvents(); }

    Colour mainPixel(int x, int y) { return pixelAt(*ui.canvas(mainWindow()), x, y); }
    Colour boxColour(WindowHandle window, int id) {
        return pixelAt(ui.controlWidget(window, id)->grab().toImage(), 4, 4);
    }
    std::string symbolInRow(int row) { return text(mainWindow(), FIRST_NAME_BOX + row); }

    testing::HistoryFolder folder;
    QtUi ui;
    StdFileSystem files;
    SystemClock clock;
    Host host;
    App app;
};

TEST_F(ProgramTest, StartsWithThreeWindowsInTheirFirstState) {
    EXPECT_TRUE(ui.windowWidget(mainWindow())->isVisible());
    EXPECT_FALSE(ui.windowWidget(optionsWindow())->isVisible());
    EXPECT_FALSE(ui.windowWidget(mtfWindow())->isVisible());
    EXPECT_EQ(ui.windowWidget(optionsWindow())->windowTitle(), "Sounds/Alert Options");
    EXPECT_EQ(ui.windowWidget(mtfWindow())->windowTitle(), "Multi-Timeframe Slots");

    auto* days = control<QComboBox>(mainWindow(), DAY_LIST);
    EXPECT_GE(days->count(), 5);
    EXPECT_EQ(days->itemText(0).toStdString(), testing::HistoryFolder::dailyLabel(0));
    EXPECT_EQ(ui.getListSelection(mainWindow(), DAY_LIST), -1);
    for (const int id : {10, 11, 12, 13, 14}) {
        EXPECT_GT(control<QComboBox>(mtfWindow(), id)->count(), 0);
        EXPECT_EQ(ui.getListSelection(mtfWindow(), id), -1);
    }
    EXPECT_EQ(text(mainWindow(), FIRST_NAME_BOX), "Pair1");
    EXPECT_EQ(text(mainWindow(), FIRST_PIPS_BOX + 13), "Price14");
    EXPECT_EQ(text(mainWindow(), 44), "0");
    for (const int id : {REAL_TIME_BOX, ACTIVE_LOGGER_BOX_ID, BUY, SELL, CLOSE, CLEAR}) {
        EXPECT_FALSE(enabled(id)) << id;
    }
    EXPECT_TRUE(enabled(MTF_BUTTON));
    EXPECT_EQ(ui.reportRowCount(mainWindow(), EVENT_LOG), 1);
    EXPECT_EQ(ui.reportGetCell(mainWindow(), EVENT_LOG, 0, 2), "Started VU Vurezer");
    EXPECT_TRUE(ui.menuAction(mainWindow(), 22)->isChecked());
    EXPECT_TRUE(ui.menuAction(mainWindow(), 30)->isChecked());
    EXPECT_FALSE(ui.menuAction(mainWindow(), 31)->isEnabled());
    EXPECT_FALSE(ui.menuAction(mainWindow(), 36)->isEnabled());
    EXPECT_EQ(mainPixel(100, 306), BLACK) << "the line between the two groups of slots";
    EXPECT_EQ(mainPixel(100, 305), BACKGROUND_COLOUR);
}

TEST_F(ProgramTest, PickingADayRanksTheRowsInGroupColours) {
    pick(mainWindow(), DAY_LIST, 0);
    EXPECT_TRUE(enabled(REAL_TIME_BOX));
    int previousPips = 1 << 30;
    for (int row = 0; row < PAIR_COUNT; ++row) {
        const std::string symbol = symbolInRow(row);
        ASSERT_GE(pairIndex(symbol), 0) << "row " << row << " shows " << symbol;
        EXPECT_EQ(boxColour(mainWindow(), FIRST_NAME_BOX + row), groupColour(symbol)) << symbol;
        const int pips = std::stoi(text(mainWindow(), FIRST_PIPS_BOX + row));
        EXPECT_LE(pips, previousPips) << "strongest on top";
        previousPips = pips;
    }
    EXPECT_EQ(mainPixel(10, rowTop(5) + 5), BACKGROUND_COLOUR) << "no arrows on the first pass";
}

TEST_F(ProgramTest, RealTimeTicksMoveRowsAndDrawArrows) {
    pick(mainWindow(), DAY_LIST, 0);
    toggle(mainWindow(), REAL_TIME_BOX);
    ASSERT_TRUE(ui.isChecked(mainWindow(), REAL_TIME_BOX));
    EXPECT_TRUE(enabled(BUY));
    EXPECT_TRUE(enabled(ACTIVE_LOGGER_BOX_ID));

    const std::string bottom = symbolInRow(13);
    const std::string top = symbolInRow(0);
    folder.setLivePips(pairIndex(bottom), 1000);
    nextTick();
    EXPECT_EQ(symbolInRow(0), bottom);
    EXPECT_EQ(symbolInRow(1), top);
    EXPECT_EQ(text(mainWindow(), FIRST_PIPS_BOX), " 1000");
    EXPECT_EQ(mainPixel(10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(mainPixel(10, rowTop(1) + 5), DOWN_ARROW_COLOUR);
    EXPECT_EQ(mainPixel(10, rowTop(13) + 5), DOWN_ARROW_COLOUR);
    int statusInk = 0;
    for (int x = 25; x < 120; ++x) {
        for (int y = 120; y < 132; ++y) {
            statusInk += mainPixel(x, y) != BACKGROUND_COLOUR ? 1 : 0;
        }
    }
    EXPECT_GT(statusInk, 20) << "the Time: status line is drawn";

    toggle(mainWindow(), REAL_TIME_BOX);
    EXPECT_FALSE(enabled(BUY));
    EXPECT_EQ(ui.pendingEvents(), 0U);
}

TEST_F(ProgramTest, BasketButtonsFollowBuyCloseAndClear) {
    pick(mainWindow(), DAY_LIST, 0);
    toggle(mainWindow(), REAL_TIME_BOX);
    const int rowsBefore = ui.reportRowCount(mainWindow(), EVENT_LOG);
    click(mainWindow(), BUY);
    EXPECT_FALSE(enabled(BUY));
    EXPECT_FALSE(enabled(SELL));
    EXPECT_FALSE(enabled(REAL_TIME_BOX));
    EXPECT_TRUE(enabled(CLOSE));
    folder.setLivePips(0, 200);
    nextTick();
    click(mainWindow(), CLOSE);
    EXPECT_FALSE(enabled(CLOSE));
    EXPECT_TRUE(enabled(CLEAR));
    click(mainWindow(), CLEAR);
    EXPECT_TRUE(enabled(BUY));
    EXPECT_TRUE(enabled(REAL_TIME_BOX));
    EXPECT_FALSE(enabled(CLEAR));
    EXPECT_GT(ui.reportRowCount(mainWindow(), EVENT_LOG), rowsBefore);
}

TEST_F(ProgramTest, AlertSoundIsChosenThroughTheFileRequester) {
    pickMenu(35);
    ASSERT_TRUE(ui.windowWidget(optionsWindow())->isVisible());

    test::answerNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    toggle(optionsWindow(), 2);
    EXPECT_TRUE(ui.isChecked(optionsWindow(), 2));
    EXPECT_EQ(text(optionsWindow(), 3), "") << "cancelled";

    const std::string wave = folder.file("bell.wav");
    folder.write("bell.wav", "RIFF");
    toggle(optionsWindow(), 2);
    QString title;
    test::answerNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        test::acceptFileName(qobject_cast<QFileDialog*>(modal), QString::fromStdString(wave));
    });
    toggle(optionsWindow(), 2);
    EXPECT_EQ(title, "Select A Sound File");
    EXPECT_EQ(text(optionsWindow(), 3), wave);

    click(optionsWindow(), 1);
    EXPECT_FALSE(ui.windowWidget(optionsWindow())->isVisible());
}

TEST_F(ProgramTest, ReloadHistoryAsksFirst) {
    pick(mainWindow(), DAY_LIST, 2);
    const int listed = control<QComboBox>(mainWindow(), DAY_LIST)->count();
    folder.writeAll({.dailyLines = 7});
    QString question;
    test::answerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        question = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    pickMenu(1);
    EXPECT_EQ(question, "Reload arrays?");
    EXPECT_EQ(control<QComboBox>(mainWindow(), DAY_LIST)->count(), listed);
    EXPECT_EQ(ui.getListSelection(mainWindow(), DAY_LIST), 2);

    test::answerNextModal([](QWidget* modal) {
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
    });
    pickMenu(1);
    EXPECT_EQ(control<QComboBox>(mainWindow(), DAY_LIST)->count(), listed + 2)
        << "the longer files were read again";
    EXPECT_EQ(ui.getListSelection(mainWindow(), DAY_LIST), -1);
}

TEST_F(ProgramTest, MultiTimeframeColumnRanksOnItsOwnPick) {
    click(mainWindow(), MTF_BUTTON);
    ASSERT_TRUE(ui.windowWidget(mtfWindow())->isVisible());
    pick(mtfWindow(), 11, 0);
    const int firstName = 60; // column 2
    for (int row = 0; row < PAIR_COUNT; ++row) {
        const std::string symbol = text(mtfWindow(), firstName + row);
        ASSERT_GE(pairIndex(symbol), 0) << symbol;
        EXPECT_EQ(boxColour(mtfWindow(), firstName + row), groupColour(symbol));
    }
    EXPECT_EQ(text(mtfWindow(), 20), "Pair1") << "other columns wait for their own pick";

    EXPECT_FALSE(ui.windowWidget(mtfWindow())->close());
    settle();
    EXPECT_FALSE(ui.windowWidget(mtfWindow())->isVisible());
    click(mainWindow(), MTF_BUTTON);
    EXPECT_EQ(ui.getListSelection(mtfWindow(), 11), 0) << "hiding keeps the column";
}

TEST_F(ProgramTest, QuitEndsTheLoop) {
    pickMenu(4);
    EXPECT_EQ(app.shell.appRunning, 0);
}

// Grabs every window as a picture and checks the colours a user would see.
TEST_F(ProgramTest, ScreenshotsShowTheColoursOfEachWindow) {
    pick(mainWindow(), DAY_LIST, 0);
    toggle(mainWindow(), REAL_TIME_BOX);
    const std::string bottom = symbolInRow(13);
    folder.setLivePips(pairIndex(bottom), 1000);
    nextTick();
    toggle(mainWindow(), REAL_TIME_BOX);
    click(mainWindow(), MTF_BUTTON);
    pick(mtfWindow(), 10, 0);
    pickMenu(35);

    const QString outputFolder = QStringLiteral(VUREZER_TEST_OUTPUT "/screenshots");
    QDir().mkpath(outputFolder);
    const std::pair<WindowHandle, const char*> shots[] = {
        {mainWindow(), "main.png"}, {optionsWindow(), "options.png"}, {mtfWindow(), "mtf.png"}};
    for (const auto& [window, name] : shots) {
        const QImage shot = ui.windowWidget(window)->grab().toImage();
        EXPECT_TRUE(shot.save(outputFolder + QLatin1Char('/') + QLatin1String(name))) << name;
    }

    const QImage main = ui.clientWidget(mainWindow())->grab().toImage();
    EXPECT_EQ(pixelAt(main, 150, 450), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(main, 100, 306), BLACK);
    const QPoint nameBox(25 + 4, rowTop(0) + 4);
    EXPECT_EQ(pixelAt(main, nameBox.x(), nameBox.y()), groupColour(symbolInRow(0)));
    EXPECT_EQ(pixelAt(main, nameBox.x(), rowTop(13) + 4), groupColour(symbolInRow(13)));
    EXPECT_EQ(pixelAt(main, 10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(pixelAt(main, 10, rowTop(1) + 5), DOWN_ARROW_COLOUR);

    const QImage options = ui.clientWidget(optionsWindow())->grab().toImage();
    EXPECT_EQ(pixelAt(options, 480, 300), BACKGROUND_COLOUR);
    const QImage mtf = ui.clientWidget(mtfWindow())->grab().toImage();
    EXPECT_EQ(pixelAt(mtf, 860, 440), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(mtf, 29, 64), groupColour(text(mtfWindow(), 20)));
}

} // namespace
} // namespace vz
