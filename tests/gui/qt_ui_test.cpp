#include "gui_support.h"

#include "platform/qt/qt_ui.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <vector>

namespace vz {
namespace {

using test::pixelAt;

constexpr std::uint32_t PLAIN_WINDOW =
    WINDOW_POPUP | WINDOW_VISIBLE | WINDOW_CLIP_CHILDREN | WINDOW_TITLE_BAR | WINDOW_SYSTEM_MENU;
constexpr Colour YELLOW = rgb(255, 255, 0);
constexpr Colour RED = rgb(255, 0, 0);

class QtUiTest : public testing::Test {
protected:
    WindowHandle open(int width = 400, int height = 300, std::uint32_t style = PLAIN_WINDOW) {
        return ui.openWindow(0, 0, width, height, style, "Test Window",
                             [this](const WindowEvent& event) { received.push_back(event); });
    }

    template <typename Widget> Widget* control(WindowHandle window, int id) {
        return qobject_cast<Widget*>(ui.controlWidget(window, id));
    }

    QtUi ui;
    std::vector<WindowEvent> received;
};

// --- windows ---------------------------------------------------------------

TEST_F(QtUiTest, OuterSizesLoseTheNominalFrameTitleAndMenuBar) {
    const WindowHandle window = open(515, 350);
    EXPECT_EQ(ui.clientWidget(window)->size(), QSize(509, 321));
    EXPECT_EQ(ui.canvas(window)->size(), QSize(516, 351));

    const MenuHandle bar = ui.makeMenu();
    const MenuHandle file = ui.makeMenu();
    ui.appendMenuItem(file, "Quit", 0, 4);
    ui.appendMenuItem(bar, "&File", MENU_POPUP, 0, file);
    ui.setMenuBar(window, bar);
    auto* frame = qobject_cast<QMainWindow*>(ui.windowWidget(window));
    EXPECT_EQ(ui.clientWidget(window)->size(), QSize(509, 301));
    frame->show();
    QApplication::processEvents();
    EXPECT_EQ(ui.clientWidget(window)->y(), frame->menuBar()->height());
    EXPECT_EQ(frame->height(), 301 + frame->menuBar()->height());
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << "windows cannot be resized";
}

TEST_F(QtUiTest, StyleDecidesVisibilityAndMinimiseBox) {
    const WindowHandle shown = open(300, 200, PLAIN_WINDOW | WINDOW_MINIMISE_BOX);
    const WindowHandle hidden = open(300, 200, PLAIN_WINDOW & ~WINDOW_VISIBLE);
    EXPECT_TRUE(ui.windowWidget(shown)->isVisible());
    EXPECT_FALSE(ui.windowWidget(hidden)->isVisible());
    const Qt::WindowFlags flags = ui.windowWidget(shown)->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(ui.windowWidget(hidden)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    ui.showWindow(hidden, ShowCommand::Show);
    EXPECT_TRUE(ui.windowWidget(hidden)->isVisible());
    ui.showWindow(hidden, ShowCommand::Hide);
    EXPECT_FALSE(ui.windowWidget(hidden)->isVisible());
}

TEST_F(QtUiTest, CentringKeepsTheWindowInsideTheWorkArea) {
    const WindowHandle small = open(200, 100);
    const WindowHandle huge = open(5000, 4000);
    ui.centreWindow(small);
    ui.centreWindow(huge);
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    const QPoint centre = ui.windowWidget(small)->frameGeometry().center();
    EXPECT_NEAR(centre.x(), area.center().x(), 1);
    EXPECT_NEAR(centre.y(), area.center().y(), 1);
    EXPECT_EQ(ui.windowWidget(huge)->pos(), area.topLeft());
}

TEST_F(QtUiTest, CloseBoxAsksTheHandlerAndLeavesTheWindowOpen) {
    const WindowHandle window = open();
    EXPECT_FALSE(ui.windowWidget(window)->close());
    EXPECT_TRUE(ui.windowWidget(window)->isVisible());
    ui.waitEvents();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].code, WindowEventCode::CloseRequest);
    EXPECT_EQ(received[0].window, window);
}

TEST_F(QtUiTest, ClosedWindowIgnoresEveryOperationAndItsQueuedEventsAreDropped) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::TextBox, "text", 0, 0, 50, 20, STYLE_TEXT_PLAIN, 3);
    ui.windowWidget(window)->close();
    ui.closeWindow(window);
    ui.dispatchPending();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(ui.windowWidget(window), nullptr);
    EXPECT_EQ(ui.getControlText(window, 3), "");
    EXPECT_EQ(ui.getListSelection(window, 3), -1);
    EXPECT_EQ(ui.reportRowCount(window, 3), 0);
    ui.lineTo(window, 10, 10, RED);
    ui.startTimer(window, 10, 1);
    ui.closeWindow(window);
    EXPECT_EQ(ui.pendingEvents(), 0U);
}

// --- controls --------------------------------------------------------------

TEST_F(QtUiTest, ControlsSitAtTheirClientRectangles) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::Label, "Reference Day:", 15, 15, 98, 16, STYLE_LABEL, 2);
    ui.createControl(window, ControlKind::TextBox, "Pair1", 25, 140, 70, 20,
                     STYLE_TEXT_READ_ONLY_CENTRED, 5);
    ui.createControl(window, ControlKind::DropList, "ComboBox1", 15, 30, 108, 109, STYLE_DROP_LIST,
                     3);
    for (const int id : {2, 5, 3}) {
        ASSERT_NE(ui.controlWidget(window, id), nullptr);
        EXPECT_EQ(ui.controlWidget(window, id)->parentWidget(), ui.clientWidget(window));
        EXPECT_TRUE(ui.controlWidget(window, id)->isVisible());
    }
    EXPECT_EQ(ui.controlWidget(window, 2)->geometry(), QRect(15, 15, 98, 16));
    EXPECT_EQ(ui.controlWidget(window, 5)->geometry(), QRect(25, 140, 70, 20));
    const QRect list = ui.controlWidget(window, 3)->geometry();
    EXPECT_EQ(list.topLeft(), QPoint(15, 30));
    EXPECT_EQ(list.width(), 108);
    EXPECT_LE(list.height(), 109) << "the closed list is only as tall as its text";
    EXPECT_EQ(ui.getControlText(window, 2), "Reference Day:");
    EXPECT_EQ(ui.getControlText(window, 99), "");
}

TEST_F(QtUiTest, CheckBoxToggledByTheUserRaisesCodeZero) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::CheckBox, "Real-Time Mode", 160, 15, 125, 20,
                     STYLE_CHECK_BOX, 1);
    ui.setChecked(window, 1, true);
    EXPECT_TRUE(ui.isChecked(window, 1));
    EXPECT_EQ(ui.pendingEvents(), 0U) << "the program's own changes raise nothing";

    test::clickWidget(ui.controlWidget(window, 1), QPoint(8, 10));
    EXPECT_FALSE(ui.isChecked(window, 1));
    ui.waitEvents();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].code, WindowEventCode::ControlEvent);
    EXPECT_EQ(received[0].controlId, 1);
    EXPECT_EQ(received[0].notifyCode, NOTIFY_CLICKED);
}

TEST_F(QtUiTest, DisabledControlsRaiseNothing) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::CheckBox, "box", 0, 0, 125, 20, STYLE_CHECK_BOX, 1);
    ui.createControl(window, ControlKind::PushButton, "Buy", 0, 30, 70, 20, STYLE_PUSH_BUTTON, 40);
    ui.createControl(window, ControlKind::DropList, "", 0, 60, 108, 109, STYLE_DROP_LIST, 3);
    ui.addListItem(window, 3, "01-02-2024");
    for (const int id : {1, 40, 3}) {
        ui.enableControl(window, id, false);
    }
    test::clickWidget(ui.controlWidget(window, 1), QPoint(8, 10));
    test::clickWidget(ui.controlWidget(window, 40));
    test::pickListItem(control<QComboBox>(window, 3), 0);
    EXPECT_FALSE(ui.isChecked(window, 1));
    EXPECT_EQ(ui.getListSelection(window, 3), -1);
    EXPECT_EQ(ui.pendingEvents(), 0U);

    ui.enableControl(window, 40, true);
    test::clickWidget(ui.controlWidget(window, 40));
    ui.waitEvents();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].controlId, 40);
    EXPECT_EQ(received[0].notifyCode, NOTIFY_CLICKED);
}

TEST_F(QtUiTest, DropListKeepsOrderAndStaysUnselectedUntilTheUserPicks) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::DropList, "ComboBox1", 15, 30, 108, 109, STYLE_DROP_LIST,
                     3);
    for (const char* day : {"03-01-2024", "01-01-2024", "02-01-2024"}) {
        ui.addListItem(window, 3, day);
    }
    auto* list = control<QComboBox>(window, 3);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "03-01-2024");
    EXPECT_EQ(ui.getListSelection(window, 3), -1);
    EXPECT_EQ(ui.getControlText(window, 3), "");

    test::pickListItem(list, 2);
    EXPECT_EQ(ui.getListSelection(window, 3), 2);
    EXPECT_EQ(ui.getControlText(window, 3), "02-01-2024");
    ui.waitEvents();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].controlId, 3);
    EXPECT_EQ(received[0].notifyCode, NOTIFY_SELECTION_CHANGED);

    ui.addListItem(window, 3, "04-01-2024");
    EXPECT_EQ(ui.getListSelection(window, 3), 2) << "appending keeps the pick";
    ui.removeListItem(window, 3, 0);
    EXPECT_EQ(ui.getListSelection(window, 3), 1) << "later items move up";
    ui.removeListItem(window, 3, 1);
    EXPECT_EQ(ui.getListSelection(window, 3), -1);
    ui.removeListItem(window, 3, 7);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(ui.pendingEvents(), 0U);
}

TEST_F(QtUiTest, OpenedDropListHasTheGivenHeight) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::DropList, "", 15, 30, 108, 109, STYLE_DROP_LIST, 3);
    for (int i = 0; i < 40; ++i) {
        ui.addListItem(window, 3, std::to_string(i));
    }
    auto* list = control<QComboBox>(window, 3);
    list->showPopup();
    EXPECT_EQ(list->view()->window()->height(), 109);
    list->hidePopup();
}

TEST_F(QtUiTest, FontsAndColoursReachTheControls) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::TextBox, "Pair1", 25, 40, 70, 20,
                     STYLE_TEXT_READ_ONLY_CENTRED, 5);
    ui.setControlFont(window, "Ariel", 8, 700, 5);
    ui.setControlColours(window, 5, BLACK, rgb(84, 255, 159));
    const QFont font = ui.controlWidget(window, 5)->font();
    EXPECT_EQ(font.family(), "Ariel") << "the face is passed on unchanged";
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(font.pixelSize(), 11) << "8 points at 96 dots per inch";

    const QImage shot = ui.controlWidget(window, 5)->grab().toImage();
    EXPECT_EQ(pixelAt(shot, 4, 4), rgb(84, 255, 159));
}

TEST_F(QtUiTest, ReportRowsGoWhereTheyAreInserted) {
    const WindowHandle window = open(630, 535);
    ui.createControl(window, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT, 46);
    ui.reportAddColumn(window, 46, 0, "Date");
    ui.reportSetColumnWidth(window, 46, 0, 75);
    ui.reportAddColumn(window, 46, 1, "Time");
    ui.reportAddColumn(window, 46, 2, "Description");
    auto* report = control<QTreeWidget>(window, 46);
    EXPECT_EQ(report->columnCount(), 3);
    EXPECT_EQ(report->headerItem()->text(2), "Description");
    EXPECT_EQ(report->columnWidth(0), 75);
    EXPECT_GE(report->columnWidth(1), QFontMetrics(report->font()).horizontalAdvance("Time"));
    EXPECT_FALSE(report->rootIsDecorated());

    ui.reportInsertRow(window, 46, 0, "first");
    ui.reportSetCell(window, 46, 0, 2, "Started VU Vurezer");
    ui.reportInsertRow(window, 46, 0, "second");
    ui.reportInsertRow(window, 46, 9, "last");
    EXPECT_EQ(ui.reportRowCount(window, 46), 3);
    EXPECT_EQ(ui.reportGetCell(window, 46, 0, 0), "second");
    EXPECT_EQ(ui.reportGetCell(window, 46, 1, 2), "Started VU Vurezer");
    EXPECT_EQ(ui.reportGetCell(window, 46, 2, 0), "last");
    EXPECT_EQ(ui.reportGetCell(window, 46, 5, 0), "");
    EXPECT_EQ(ui.reportGetCell(window, 46, 0, 3), "");
    ui.reportClear(window, 46);
    EXPECT_EQ(ui.reportRowCount(window, 46), 0);
}

// --- canvas ----------------------------------------------------------------

class CanvasTest : public QtUiTest {
protected:
    void SetUp() override {
        window = open(300, 250);
        ui.setWindowBackground(window, YELLOW);
    }
    Colour at(int x, int y) const { return pixelAt(*ui.canvas(window), x, y); }

    WindowHandle window;
};

TEST_F(CanvasTest, LinesStopOnePixelShortOfTheirEnd) {
    ui.drawLine(window, 10, 20, 10, 40, RED);
    EXPECT_EQ(at(10, 20), RED);
    EXPECT_EQ(at(10, 39), RED);
    EXPECT_EQ(at(10, 40), YELLOW);

    ui.drawLine(window, 50, 20, 45, 32, RED); // an arrow's head stroke
    EXPECT_EQ(at(50, 20), RED);
    EXPECT_EQ(at(45, 32), YELLOW);
    int painted = 0;
    for (int y = 20; y < 32; ++y) {
        for (int x = 44; x <= 50; ++x) {
            painted += at(x, y) == RED ? 1 : 0;
        }
    }
    EXPECT_EQ(painted, 12) << "one pixel per row of a steep line";

    ui.moveTo(window, 100, 100);
    ui.lineTo(window, 110, 100, RED);
    ui.lineTo(window, 110, 90, BLACK);
    EXPECT_EQ(at(110, 100), BLACK) << "the pen continues from the last end point";
    EXPECT_EQ(at(110, 90), YELLOW);
}

TEST_F(CanvasTest, RectanglesCoverExactlyTheirPixels) {
    ui.drawRect(window, 3, 139, 15, 22, RED, NO_FILL);
    EXPECT_EQ(at(3, 139), RED);
    EXPECT_EQ(at(17, 160), RED);
    EXPECT_EQ(at(18, 160), YELLOW);
    EXPECT_EQ(at(17, 161), YELLOW);
    EXPECT_EQ(at(10, 150), YELLOW) << "hollow leaves the inside";

    ui.drawRect(window, 3, 139, 15, 22, BLACK, BLACK);
    for (const QPoint p : {QPoint(3, 139), QPoint(10, 150), QPoint(17, 160)}) {
        EXPECT_EQ(at(p.x(), p.y()), BLACK);
    }
    EXPECT_EQ(at(2, 150), YELLOW);
    ui.drawRect(window, 290, 240, 50, 50, RED, RED); // clipped at the canvas edge
    EXPECT_EQ(at(300, 250), RED);
}

TEST_F(CanvasTest, DrawingsSurviveRepaintingAndCoveringControls) {
    ui.drawLine(window, 20, 30, 120, 30, BLACK);
    ui.createControl(window, ControlKind::Label, "covers", 60, 25, 40, 10, STYLE_LABEL, 2);
    ui.showWindow(window, ShowCommand::Hide);
    ui.showWindow(window, ShowCommand::Show);
    const QImage shown = ui.clientWidget(window)->grab().toImage();
    EXPECT_EQ(pixelAt(shown, 20, 30), BLACK);
    EXPECT_EQ(pixelAt(shown, 119, 30), BLACK);
    EXPECT_EQ(pixelAt(shown, 20, 31), YELLOW);
}

TEST_F(CanvasTest, TextIsOpaqueAndAdvancesThePen) {
    ui.setControlFont(window, "Ariel", 8, 700, 0);
    ui.setDrawColour(window, BLACK);
    ui.setTextBackground(window, WHITE);
    ui.moveTo(window, 10, 10);
    ui.printText(window, "W\r\n");
    ui.lineTo(window, 150, 10, RED);

    QFont font("Ariel");
    font.setPixelSize(11);
    font.setWeight(QFont::Bold);
    const QFontMetrics metrics(font);
    ASSERT_TRUE(metrics.inFont(QLatin1Char('W'))) << "a real face was matched";
    const int width = metrics.horizontalAdvance(QLatin1Char('W'));
    EXPECT_EQ(at(10 + width, 10), RED) << "the pen moved past the text, not its line end";
    EXPECT_NE(at(10 + width - 1, 10), RED);
    EXPECT_EQ(at(10, 10 + metrics.height() - 1), WHITE) << "the background is painted";
    EXPECT_EQ(at(10, 10 + metrics.height()), YELLOW);
    int ink = 0;
    for (int y = 10; y < 10 + metrics.height(); ++y) {
        for (int x = 10; x < 10 + width; ++x) {
            ink += at(x, y) == BLACK ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 5) << "the glyph itself was drawn";
}

// --- menus, dialogs, timers ------------------------------------------------

TEST_F(QtUiTest, MenusCarryChecksGreyingAndPicks) {
    const WindowHandle window = open(630, 535);
    const MenuHandle bar = ui.makeMenu();
    const MenuHandle timers = ui.makeMenu();
    const MenuHandle pairs = ui.makeMenu();
    ui.appendMenuItem(timers, "60 minutes", 0, 20);
    ui.appendMenuItem(timers, "15 minutes", MENU_CHECKED, 22);
    ui.appendMenuItem(timers, "", MENU_SEPARATOR, 0);
    ui.appendMenuItem(pairs, "Tarvo Pairs", MENU_CHECKED | MENU_GREYED, 30);
    ui.appendMenuItem(bar, "Log Timers", MENU_POPUP, 0, timers);
    ui.appendMenuItem(bar, "Pairs", MENU_POPUP, 0, pairs);
    ui.setMenuBar(window, bar);

    auto* frame = qobject_cast<QMainWindow*>(ui.windowWidget(window));
    ASSERT_EQ(frame->menuBar()->actions().size(), 2);
    EXPECT_EQ(frame->menuBar()->actions()[0]->text(), "Log Timers");
    EXPECT_TRUE(ui.menuAction(window, 22)->isChecked());
    EXPECT_FALSE(ui.menuAction(window, 20)->isChecked());
    EXPECT_FALSE(ui.menuAction(window, 30)->isEnabled());
    EXPECT_TRUE(ui.menuAction(window, 30)->isChecked());

    ui.menuAction(window, 20)->trigger();
    ui.menuAction(window, 22)->trigger();
    ui.menuAction(window, 30)->trigger();
    EXPECT_TRUE(ui.menuAction(window, 22)->isChecked()) << "only the program moves check marks";
    EXPECT_FALSE(ui.menuAction(window, 20)->isChecked());
    ui.waitEvents();
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[0].code, WindowEventCode::MenuPick);
    EXPECT_EQ(received[0].menuId, 20);
    EXPECT_EQ(received[1].menuId, 22);

    ui.checkMenuItem(window, 22, false);
    ui.checkMenuItem(window, 20, true);
    EXPECT_FALSE(ui.menuAction(window, 22)->isChecked());
    EXPECT_TRUE(ui.menuAction(window, 20)->isChecked());
}

TEST_F(QtUiTest, MessageBoxesShowTheirIconAndReturnTheAnswer) {
    const WindowHandle window = open();
    QMessageBox::Icon seen = QMessageBox::NoIcon;
    QString seenText;
    test::answerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen = box->icon();
        seenText = box->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ui.messageBox(window, "Reload?", "Question", MB_QUESTION_YES_NO), ANSWER_NO);
    EXPECT_EQ(seen, QMessageBox::Question);
    EXPECT_EQ(seenText, "Reload?");

    test::answerNextModal([](QWidget* modal) {
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(ui.messageBox({}, "Reload?", "Question", MB_QUESTION_YES_NO), ANSWER_YES);

    const std::pair<int, QMessageBox::Icon> okBoxes[] = {
        {MB_ERROR, QMessageBox::Critical},
        {MB_DEFAULT, QMessageBox::Warning},
        {MB_EXCLAMATION, QMessageBox::Warning},
        {MB_INFORMATION, QMessageBox::Information}};
    for (const auto& [style, icon] : okBoxes) {
        QWidget* parent = nullptr;
        test::answerNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = box->icon();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        EXPECT_EQ(ui.messageBox(window, "text", "Error", style), ANSWER_OK);
        EXPECT_EQ(seen, icon) << style;
        EXPECT_EQ(parent, ui.windowWidget(window));
    }
}

TEST_F(QtUiTest, FileRequesterReturnsTheChoiceOrNothing) {
    QTemporaryDir folder;
    const QString wave = folder.filePath("bell.wav");
    QFile(wave).open(QIODevice::WriteOnly);

    QStringList filters;
    test::answerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        filters = dialog->nameFilters();
        dialog->reject();
    });
    EXPECT_EQ(ui.chooseFile("Select A Sound File", {}, true, "Sound File (*.wav)|*.wav||", "wav", 0,
                            folder.path().toStdString()),
              "");
    EXPECT_EQ(filters, QStringList{"Sound File (*.wav) (*.wav)"});

    test::answerNextModal(
        [&](QWidget* modal) { test::acceptFileName(qobject_cast<QFileDialog*>(modal), wave); });
    EXPECT_EQ(ui.chooseFile("Select A Sound File", {}, true, "Sound File (*.wav)|*.wav||", "wav", 0,
                            folder.path().toStdString()),
              wave.toStdString());

    test::answerNextModal([&](QWidget* modal) {
        test::acceptFileName(qobject_cast<QFileDialog*>(modal), folder.filePath("saved"));
    });
    EXPECT_EQ(ui.chooseFile("Save", {}, false, "Sound File (*.wav)|*.wav||", "wav", 0,
                            folder.path().toStdString()),
              folder.filePath("saved.wav").toStdString());
}

TEST_F(QtUiTest, TimerTicksReachTheHandlerUntilStopped) {
    const WindowHandle window = open();
    ui.startTimer(window, 20, 1);
    ui.waitEvents();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].code, WindowEventCode::Timer);
    EXPECT_EQ(received[0].timerId, 1);
    ui.stopTimer(window, 1);
    received.clear();
    test::runEventsFor(100);
    ui.dispatchPending();
    EXPECT_TRUE(received.empty());
}

TEST_F(QtUiTest, ModalBoxInsideAHandlerNeitherReentersNorPilesUpTicks) {
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    const WindowHandle window =
        ui.openWindow(0, 0, 300, 200, PLAIN_WINDOW, "Ticks", [&](const WindowEvent& event) {
            if (event.code != WindowEventCode::Timer) {
                return;
            }
            ++depth;
            deepest = std::max(deepest, depth);
            if (++ticks == 1) {
                test::answerNextModal([](QWidget* modal) {
                    test::runEventsFor(150); // ticks keep coming while the box is up
                    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
                });
                ui.messageBox({}, "Not Found", "Error", MB_ERROR);
                EXPECT_EQ(ui.pendingEvents(), 1U) << "waiting ticks merge into one";
            }
            --depth;
        });
    ui.startTimer(window, 10, 1);
    ui.waitEvents();
    ui.stopTimer(window, 1);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(ticks, 2) << "the merged tick followed once the box closed";
}

} // namespace
} // namespace vz
