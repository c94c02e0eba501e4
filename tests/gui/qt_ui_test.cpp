#include "gui_support.h"

#include "platform/qt/qt_ui.h"
#include "platform/qt/qt_window.h"

#include <QAction>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace vz {
namespace {

constexpr std::uint32_t PLAIN_WINDOW =
    WINDOW_POPUP | WINDOW_VISIBLE | WINDOW_CLIP_CHILDREN | WINDOW_TITLE_BAR | WINDOW_SYSTEM_MENU;
constexpr Colour YELLOW = rgb(255, 255, 0);
constexpr Colour RED = rgb(255, 0, 0);

class QtUiTest : public testing::Test {
protected:
    WindowHandle open(int width = 300, int height = 250) {
        return ui.openWindow(0, 0, width, height, PLAIN_WINDOW, "Test Window",
                             [this](const WindowEvent& event) {
                                 received.push_back(event);
                                 if (react) {
                                     react(event);
                                 }
                             });
    }
    // Hands the queued events to the handler and describes them: "close",
    // "menu 20" or "control 3/1" (the id, then the notify code), comma-separated.
    std::string taken() {
        ui.dispatchPending();
        std::string names;
        for (const WindowEvent& e : received) {
            const std::string control =
                std::to_string(e.controlId) + "/" + std::to_string(e.notifyCode);
            names += (names.empty() ? "" : ", ") +
                     (e.code == WindowEventCode::CloseRequest ? "close"
                      : e.code == WindowEventCode::MenuPick   ? "menu " + std::to_string(e.menuId)
                                                              : "control " + control);
        }
        received.clear();
        return names;
    }
    QComboBox* list(WindowHandle window, int id) {
        return qobject_cast<QComboBox*>(ui.controlWidget(window, id));
    }
    QAction* action(WindowHandle window, int id) { return ui.menuAction(window, id); }

    QtUi ui;
    std::vector<WindowEvent> received;
    std::function<void(const WindowEvent&)> react;
};

// One window built as the program builds its own: frame, menu bar, controls.
TEST_F(QtUiTest, WindowMenusAndControlsTakeTheirPlaceAndState) {
    const WindowHandle window = open(515, 350);
    const MenuHandle bar = ui.makeMenu(), timers = ui.makeMenu();
    for (const auto& [caption, flags, id] : {std::tuple{"60 minutes", 0U, 20},
                                             {"15 minutes", MENU_CHECKED, 22},
                                             {"", MENU_SEPARATOR, 0},
                                             {"Tarvo Pairs", MENU_GREYED, 30}}) {
        ui.appendMenuItem(timers, caption, flags, id);
    }
    ui.appendMenuItem(bar, "Log Timers", MENU_POPUP, 0, timers);
    ui.setMenuBar(window, bar);
    auto* frame = qobject_cast<QMainWindow*>(ui.windowWidget(window));
    frame->show();
    QApplication::processEvents();
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << "windows cannot be resized";

    for (const int id : {20, 22, 30}) {
        action(window, id)->trigger();
    }
    EXPECT_EQ(taken(), "menu 20, menu 22") << "a greyed item cannot be picked";
    EXPECT_TRUE(action(window, 22)->isChecked() && !action(window, 20)->isChecked())
        << "only the program moves check marks";
    ui.checkMenuItem(window, 22, false);
    ui.checkMenuItem(window, 20, true);
    EXPECT_TRUE(action(window, 20)->isChecked() && !action(window, 22)->isChecked());

    ui.createControl(window, ControlKind::DropList, "", 15, 30, 108, 109, STYLE_DROP_LIST, 3);
    ui.setControlFont(window, "Ariel", 8, 700, 3);
    const QFont font = list(window, 3)->font();
    EXPECT_TRUE(font.weight() == QFont::Bold && font.pixelSize() == 11) << "8 points at 96 dpi";
}

TEST_F(QtUiTest, CloseBoxOnlyAsksAndAClosedWindowIgnoresEverything) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::TextBox, "text", 0, 0, 50, 20, STYLE_TEXT_PLAIN, 3);
    EXPECT_TRUE(!ui.windowWidget(window)->close() && ui.windowWidget(window)->isVisible());
    EXPECT_EQ(taken(), "close");

    ui.windowWidget(window)->close();
    ui.closeWindow(window);
    EXPECT_EQ(taken(), "") << "queued events go with the window";
    EXPECT_TRUE(ui.windowWidget(window) == nullptr && ui.getControlText(window, 3).empty());
    ui.lineTo(window, 10, 10, RED);
    ui.startTimer(window, 10, 1);
    ui.closeWindow(window);
    EXPECT_EQ(ui.pendingEvents(), 0U);
}

TEST_F(QtUiTest, OnlyAUsersClickOrPickOnAnEnabledControlRaisesAnEvent) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::CheckBox, "Real-Time Mode", 160, 15, 125, 20,
                     STYLE_CHECK_BOX, 1);
    ui.createControl(window, ControlKind::DropList, "", 15, 30, 108, 109, STYLE_DROP_LIST, 3);
    ui.createControl(window, ControlKind::PushButton, "Buy", 0, 60, 70, 20, STYLE_PUSH_BUTTON, 40);
    for (const char* day : {"03-01-2024", "01-01-2024", "02-01-2024"}) {
        ui.addListItem(window, 3, day);
    }
    // Box checked, list selection and text, then the events raised.
    const auto state = [&] {
        return std::string(ui.isChecked(window, 1) ? "on " : "off ") +
               std::to_string(ui.getListSelection(window, 3)) + " " + ui.getControlText(window, 3) +
               " [" + taken() + "]";
    };
    const auto userActs = [&](int item) {
        QTest::mouseClick(ui.controlWidget(window, 1), Qt::LeftButton, {}, QPoint(8, 10));
        QTest::mouseClick(ui.controlWidget(window, 40), Qt::LeftButton);
        test::pickListItem(list(window, 3), item);
    };
    ui.setChecked(window, 1, true);
    EXPECT_EQ(state(), "on -1  []") << "the program's own changes raise nothing";
    ui.enableControl(window, 40, false);
    userActs(2);
    EXPECT_EQ(state(), "off 2 02-01-2024 [control 1/0, control 3/1]") << "items keep their order";
    QWheelEvent wheel({5, 5}, {5, 5}, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list(window, 3), &wheel);
    EXPECT_EQ(state(), "off 2 02-01-2024 []") << "a wheel over an unfocused list picks nothing";
    test::pickListItem(list(window, 3), 2);
    EXPECT_EQ(state(), "off 2 02-01-2024 []") << "picking the item shown is no change";

    // Both clicks arrive before the first one's handler disables the rest.
    const MenuHandle bar = ui.makeMenu();
    ui.appendMenuItem(bar, "Reload", 0, 20);
    ui.setMenuBar(window, bar);
    ui.enableControl(window, 40, true);
    react = [&](const WindowEvent& event) {
        if (event.controlId == 1) {
            ui.enableControl(window, 40, false);
            action(window, 20)->setEnabled(false);
            ui.showWindow(window, ShowCommand::Hide, 3);
        }
    };
    userActs(1);
    action(window, 20)->trigger();
    EXPECT_EQ(state(), "on 2 02-01-2024 [control 1/0]")
        << "disabled within the batch, and the dropped pick taken back";

    // Buy locks the box; a click on the box queued behind it leaves it as it was.
    ui.enableControl(window, 40, true);
    react = [&](const WindowEvent& event) {
        if (event.controlId == 40) {
            ui.enableControl(window, 1, false);
        }
    };
    QTest::mouseClick(ui.controlWidget(window, 40), Qt::LeftButton);
    QTest::mouseClick(ui.controlWidget(window, 1), Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_FALSE(ui.isChecked(window, 1)) << "the toolkit toggles at once";
    EXPECT_EQ(state(), "on 2 02-01-2024 [control 40/0]") << "and the drop toggles it back";
    react = nullptr;
}

constexpr Colour CELL_BACK = rgb(204, 204, 153), ARROW_GREEN = rgb(34, 139, 34);
constexpr int ARROW_TOP = 140 + 24 * 6;

// A marker cell erased as its row's rectangle, an up arrow's shaft at x 10
// and 11 from y to y + 19, and the separator from x 20 to 184 at y 306.
void drawCellShaftAndSeparator(QtUi& ui, WindowHandle window) {
    const int y = ARROW_TOP;
    ui.setWindowBackground(window, CELL_BACK);
    ui.drawRect(window, 3, y - 1, 15, 22, CELL_BACK, CELL_BACK);
    ui.drawLine(window, 10, y, 10, y + 20, ARROW_GREEN);
    ui.drawLine(window, 11, y, 11, y + 20, ARROW_GREEN);
    ui.drawLine(window, 20, 306, 185, 306, BLACK);
}

// At that ratio every one-pixel stroke is one whole device pixel wide (two at
// ratio 2) with no gaps, and nothing is blended: only the three colours drawn.
void expectCrisp(const QImage& shown, double ratio) {
    const auto device = [ratio](double layout) {
        return static_cast<int>(std::lround(layout * ratio));
    };
    const int width = ratio >= 2.0 ? 2 : 1;
    for (int py = device(ARROW_TOP); py < device(ARROW_TOP + 20); ++py) {
        EXPECT_EQ(
            test::countOf(shown, QRect(device(3), py, device(18) - device(3), 1), ARROW_GREEN),
            2 * width)
            << "shaft row " << py;
    }
    for (int px = device(20); px < device(185); ++px) {
        EXPECT_EQ(test::countOf(shown, QRect(px, device(300), 1, device(312) - device(300)), BLACK),
                  width)
            << "separator column " << px;
    }
    std::set<QRgb> colours;
    for (int py = 0; py < device(400); ++py) {
        for (int px = 0; px < device(200); ++px) {
            colours.insert(shown.pixel(px, py) & 0xFFFFFF);
        }
    }
    EXPECT_EQ(colours.size(), 3U) << "only the three colours drawn, nothing blended";
}

// What the window actually paints at the screen's own ratio: 1 here, 1.25
// in the run under a 125 % screen (see CMakeLists.txt).
TEST_F(QtUiTest, PaintedCanvasIsCrispAtTheScreensRatio) {
    const WindowHandle window = open(630, 535);
    QWidget* canvas = ui.clientWidget(window);
    drawCellShaftAndSeparator(ui, window);
    const QImage painted = canvas->grab().toImage();
    const double ratio = canvas->devicePixelRatioF();
    if (const QByteArray expected = qgetenv("VUREZER_TEST_SCREEN_RATIO"); !expected.isEmpty()) {
        EXPECT_DOUBLE_EQ(ratio, expected.toDouble()) << "the scaled screen is in use";
    }
    EXPECT_DOUBLE_EQ(painted.devicePixelRatio(), ratio);
    expectCrisp(painted, ratio);
    // At 1 the canvas is shown as it is, without a second copy of its pixels.
    const auto* shown = dynamic_cast<CanvasWidget*>(canvas);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->display().constBits() == shown->image().constBits(), ratio == 1.0);
}

class CanvasTest : public QtUiTest {
protected:
    void SetUp() override { ui.setWindowBackground(window, YELLOW); }
    Colour at(int x, int y) const { return test::pixelAt(*ui.canvas(window), x, y); }
    int countIn(QRect area, Colour colour) const {
        return test::countOf(*ui.canvas(window), area, colour);
    }

    WindowHandle window = open();
};

TEST_F(CanvasTest, LinesStopOnePixelShortOfTheirEndAndRectanglesAreExact) {
    ui.drawLine(window, 10, 20, 10, 40, RED);
    EXPECT_TRUE(countIn(QRect(9, 19, 3, 23), RED) == 20 && at(10, 39) == RED) << "to 39, not 40";
    ui.moveTo(window, 100, 100);
    ui.lineTo(window, 110, 100, RED);
    ui.lineTo(window, 110, 90, BLACK);
    EXPECT_TRUE(at(110, 100) == BLACK && at(110, 90) == YELLOW) << "the pen continues";

    ui.drawRect(window, 3, 139, 15, 22, RED, NO_FILL);
    EXPECT_TRUE(countIn(QRect(2, 138, 17, 24), RED) == 2 * 15 + 2 * 20 && at(17, 160) == RED)
        << "the border only, its last corner at left + width - 1, top + height - 1";
    ui.drawRect(window, 290, 240, 50, 50, RED, RED); // clipped at the canvas edge
    EXPECT_EQ(at(300, 250), RED);
}

// In the draw colour, as the red stale line is; a shorter text covers a longer one.
TEST_F(CanvasTest, TextIsRealGlyphsOnItsBackgroundAndAdvancesThePen) {
    constexpr Colour INK = rgb(0, 0, 255);
    ui.setControlFont(window, "Ariel", 8, 700, 0);
    ui.setDrawColour(window, INK);
    ui.setTextBackground(window, WHITE);
    ui.moveTo(window, 10, 10);
    ui.printText(window, "W\r\n");
    ui.lineTo(window, 150, 10, RED);

    QFont font("Ariel");
    font.setPixelSize(11);
    font.setWeight(QFont::Bold);
    const QFontMetrics metrics(font);
    ASSERT_TRUE(metrics.inFont(QLatin1Char('W'))) << "a real face was matched";
    const int width = metrics.horizontalAdvance(QLatin1Char('W')), height = metrics.height();
    EXPECT_TRUE(at(10 + width, 10) == RED && at(9 + width, 10) != RED) << "pen past the text";
    EXPECT_TRUE(at(10, 9 + height) == WHITE && at(10, 10 + height) == YELLOW) << "background";
    EXPECT_GT(countIn(QRect(10, 10, width, height), INK), 5) << "the glyph was drawn";
    for (const char* value : {"WWW", "W "}) {
        ui.moveTo(window, 10, 40);
        ui.printText(window, value);
    }
    EXPECT_EQ(countIn(QRect(10 + 2 * width, 40, width, height), INK), 0) << "no remnant";
}

TEST_F(QtUiTest, MessageBoxesShowTheirIconAndReturnTheAnswer) {
    using Box = QMessageBox;
    const WindowHandle window = open();
    const std::tuple<int, Box::StandardButton, Box::Icon, int> cases[] = {
        {MB_QUESTION_YES_NO, Box::Yes, Box::Question, ANSWER_YES},
        {MB_ERROR, Box::Ok, Box::Critical, ANSWER_OK}};

    for (const auto& [style, press, icon, answer] : cases) {
        SCOPED_TRACE(style);
        QString seen;
        test::answerNextModal([&, press = press](QWidget* modal) {
            auto* box = qobject_cast<Box*>(modal);
            seen = QString("%1: %2 %3").arg(box->windowTitle(), box->text()).arg(box->icon());
            // Not attached to its owner (some desktops then hide the caption),
            // but modal to the program and placed over the owner.
            EXPECT_TRUE(box->parentWidget() == nullptr &&
                        box->windowModality() == Qt::ApplicationModal);
            EXPECT_TRUE(
                ui.windowWidget(window)->frameGeometry().contains(box->frameGeometry().center()));
            test::pressInBox(modal, press);
        });
        EXPECT_EQ(ui.messageBox(window, "Reload?", "Question", style), answer);
        EXPECT_EQ(seen, QString("Question: Reload? %1").arg(icon));
    }
}

TEST_F(QtUiTest, ModalBoxInsideAHandlerNeitherReentersNorPilesUpTicks) {
    int depth = 0, deepest = 0;
    std::vector<int> ticks;
    const WindowHandle window =
        ui.openWindow(0, 0, 300, 200, PLAIN_WINDOW, "Ticks", [&](const WindowEvent& event) {
            deepest = std::max(deepest, ++depth);
            ticks.push_back(event.timerId);
            if (ticks.size() == 1) {
                test::answerNextModal([](QWidget* modal) {
                    QTest::qWait(150); // ticks keep coming while the box is up
                    test::pressInBox(modal, QMessageBox::Ok);
                });
                ui.messageBox({}, "Not Found", "Error", MB_ERROR);
                EXPECT_EQ(ui.pendingEvents(), 1U) << "waiting ticks merge into one";
            }
            --depth;
        });
    ui.startTimer(window, 10, 7);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.pendingEvents() > 0; })) << "a tick came";
    ui.waitEvents();
    ui.stopTimer(window, 7);
    QTest::qWait(100);
    ui.dispatchPending();
    EXPECT_EQ(std::to_string(deepest) + ":" + std::to_string(ticks.size()), "1:2")
        << "never re-entered; one merged tick, none after stopping";
}

TEST_F(QtUiTest, WaitingReturnsAfterToolkitEventsEvenWithoutAProgramEvent) {
    const WindowHandle window = open();
    // Reached only if waiting held on for a program event.
    QTimer::singleShot(3000, ui.windowWidget(window), [&] { ui.windowWidget(window)->close(); });
    QTimer::singleShot(0, [] {});
    ui.waitEvents();
    EXPECT_EQ(taken(), "");
}

// A read-only box given the text it already shows is left alone (repainting
// it was most of a tick); wherever that could differ from setting it, the text
// is still set: an editable box, a selection, a cursor moved away.
TEST_F(QtUiTest, SettingTheSameTextAgainLooksAndBehavesAsBefore) {
    const WindowHandle window = open();
    ui.createControl(window, ControlKind::TextBox, "", 10, 10, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED,
                     5);
    ui.createControl(window, ControlKind::TextBox, "", 10, 40, 70, 20, STYLE_TEXT_CENTRED, 6);
    auto* shown = qobject_cast<QLineEdit*>(ui.controlWidget(window, 5));
    auto* editable = qobject_cast<QLineEdit*>(ui.controlWidget(window, 6));
    ASSERT_TRUE(shown != nullptr && editable != nullptr);
    for (const int id : {5, 6}) {
        ui.setControlText(window, id, "GBPUSD");
    }
    shown->setSelection(1, 3);
    ui.setControlText(window, 5, "GBPUSD");
    EXPECT_FALSE(shown->hasSelectedText());
    shown->setCursorPosition(4);
    ui.setControlText(window, 5, "GBPUSD");
    EXPECT_EQ(shown->cursorPosition(), 0);
    editable->setCursorPosition(3);
    ui.setControlText(window, 6, "GBPUSD");
    EXPECT_EQ(editable->cursorPosition(), 0);
    ui.setControlText(window, 5, " 12");
    EXPECT_EQ(ui.getControlText(window, 5), " 12");
}

} // namespace
} // namespace vz
