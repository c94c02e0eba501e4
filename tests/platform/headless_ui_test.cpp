#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

namespace vz {
namespace {

constexpr int LIST = 2, BOX = 3, FIELD = 4, BUTTON = 5, REPORT = 6, READ_ONLY = 7;
constexpr Colour RED = rgb(255, 0, 0), GREEN = rgb(0, 255, 0), BLUE = rgb(0, 0, 255);

int countOf(const Canvas& canvas, Colour colour) {
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            count += canvas.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(CanvasLine, EveryOctantDrawsAConnectedRunWithoutItsEnd) {
    const int ends[][2] = {{16, 6},   {6, 16},  {-6, 16}, {-16, 6}, {-16, -6},
                           {-6, -16}, {6, -16}, {16, -6}, {0, 10},  {10, 10}};
    for (const auto& [dx, dy] : ends) {
        Canvas canvas(41, 41, WHITE);
        canvas.line(20, 20, 20 + dx, 20 + dy, RED);
        SCOPED_TRACE(testing::Message() << "towards " << dx << "," << dy);
        EXPECT_EQ(canvas.pixel(20, 20), RED);
        EXPECT_EQ(canvas.pixel(20 + dx / 2, 20 + dy / 2), RED);
        EXPECT_EQ(canvas.pixel(20 + dx, 20 + dy), WHITE);
        EXPECT_EQ(countOf(canvas, RED), std::max(std::abs(dx), std::abs(dy)));
    }
}

TEST(CanvasLine, ClipsToTheCanvas) {
    Canvas canvas(20, 10, WHITE);
    canvas.line(15, 8, 15, 8, BLUE);
    canvas.line(-2000000000, -5, 2000000000, -5, BLUE);
    EXPECT_EQ(countOf(canvas, BLUE), 0);
    canvas.line(-5, 3, 25, 3, GREEN);
    EXPECT_EQ(countOf(canvas, GREEN), 20);
    canvas.line(1, 1, 2000000000, 1, GREEN); // the walk ends at the canvas edge
    EXPECT_EQ(countOf(canvas, GREEN), 39);
    EXPECT_EQ(canvas.pixel(20, 0), NO_FILL);
}

TEST(CanvasRect, HollowKeepsTheInsideAndFilledPaintsIt) {
    Canvas canvas(20, 20, GREEN);
    canvas.rect(2, 3, 5, 4, RED, NO_FILL);
    EXPECT_EQ(canvas.pixel(6, 6), RED);
    EXPECT_EQ(countOf(canvas, RED), 2 * 5 + 2 * 2);
    canvas.rect(10, 10, 5, 4, BLUE, WHITE);
    canvas.rect(0, 0, 0, 5, BLUE, BLUE);
    canvas.rect(0, 0, -4, 5, BLUE, BLUE);
    EXPECT_EQ(countOf(canvas, WHITE), 3 * 2);
    EXPECT_EQ(countOf(canvas, BLUE), 14);
}

TEST(CanvasRect, FillsAreClippedToTheCanvasOnEverySide) {
    Canvas canvas(20, 20, GREEN);
    canvas.fillRect(-5, 15, 100, 100, RED);
    canvas.fillRect(25, 0, 5, 5, RED);
    canvas.fillRect(0, -9, 3, 10, RED);
    canvas.fillRect(std::numeric_limits<int>::max() - 1, 0, 10, 10, RED);
    canvas.fillRect(std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 5, RED);
    EXPECT_EQ(countOf(canvas, RED), 20 * 5 + 3);
    EXPECT_EQ(canvas.pixel(19, 19), RED);
    EXPECT_EQ(canvas.pixel(3, 0), GREEN);
}

class HeadlessWindow : public ::testing::Test {
protected:
    HeadlessWindow() {
        const auto add = [this](ControlKind kind, const char* text, std::uint32_t style, int id) {
            ui_.createControl(window_, kind, text, 5, 20 * id, 200, 20, style, id);
        };
        add(ControlKind::DropList, "", STYLE_DROP_LIST, LIST);
        add(ControlKind::CheckBox, "Arm", STYLE_CHECK_BOX, BOX);
        add(ControlKind::TextBox, "", STYLE_TEXT_PLAIN, FIELD);
        add(ControlKind::PushButton, "Go", STYLE_PUSH_BUTTON, BUTTON);
        add(ControlKind::ReportList, "", STYLE_REPORT, REPORT);
        add(ControlKind::TextBox, "fixed", STYLE_TEXT_READ_ONLY_CENTRED, READ_ONLY);
    }

    HeadlessUi ui_;
    std::vector<WindowEvent> events_;
    WindowHandle window_ = ui_.openWindow(10, 20, 300, 200, WINDOW_POPUP | WINDOW_VISIBLE, "Main",
                                          [this](const WindowEvent& e) { events_.push_back(e); });
};

TEST_F(HeadlessWindow, DrawingMovesThePenAndTextIsOpaqueAndRecorded) {
    constexpr int W = HeadlessUi::GLYPH_WIDTH;
    ui_.setWindowBackground(window_, GREEN);
    ui_.moveTo(window_, 0, 0);
    ui_.lineTo(window_, 5, 0, RED);
    ui_.lineTo(window_, 5, 3, WHITE);
    EXPECT_EQ(ui_.pixel(window_, 4, 0), RED);
    EXPECT_EQ(ui_.pixel(window_, 5, 0), WHITE);

    ui_.setDrawColour(window_, RED);
    ui_.setTextBackground(window_, BLUE);
    ui_.moveTo(window_, 10, 5);
    ui_.printText(window_, "RB = 3\r\n");
    ui_.printText(window_, "x");
    EXPECT_EQ(ui_.textAt(window_, 10, 5), "RB = 3");
    EXPECT_EQ(ui_.textAt(window_, 10 + 6 * W, 5), "x");
    EXPECT_EQ(ui_.pixel(window_, 10, 5), BLUE);
    EXPECT_EQ(ui_.pixel(window_, 10 + 7 * W, 5), GREEN);
    ui_.moveTo(window_, 10, 5);
    ui_.printText(window_, "later\n");
    EXPECT_EQ(ui_.textAt(window_, 10, 5), "later");

    ui_.setPaintsPixels(false); // texts and the pen are still kept
    ui_.moveTo(window_, 0, 50);
    ui_.lineTo(window_, 30, 50, RED);
    ui_.printText(window_, "fast");
    EXPECT_EQ(ui_.pixel(window_, 10, 50), GREEN);
    EXPECT_EQ(ui_.textAt(window_, 30, 50), "fast");
}

TEST_F(HeadlessWindow, ClosedWindowsGiveEmptyResultsAndNoEvents) {
    ui_.startTimer(window_, 1000, 1);
    ui_.fireTimers();
    ui_.closeWindow(window_);
    EXPECT_FALSE(ui_.timerRunning(window_, 1));
    ui_.setControlText(window_, FIELD, "after");
    EXPECT_EQ(ui_.getControlText(window_, FIELD), "");
    EXPECT_EQ(ui_.pixel(window_, 0, 0), NO_FILL);
    ui_.startTimer(window_, 1000, 2);
    ui_.requestClose(window_);
    EXPECT_TRUE(ui_.timers().empty());
    int idleCalls = 0;
    ui_.setIdleHook([&] { ++idleCalls; });
    ui_.waitEvents(); // drops the timer event queued before the close
    ui_.waitEvents();
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(idleCalls, 1);
    ui_.closeWindow(window_);
}

TEST_F(HeadlessWindow, UserActionsAndTimersPostEventsUnlessDisabledOrHidden) {
    ui_.addListItem(window_, LIST, "a");
    ui_.enableControl(window_, BUTTON, false);
    ui_.showWindow(window_, ShowCommand::Hide, LIST);
    ui_.clickButton(window_, BUTTON);
    ui_.pickListItem(window_, LIST, 0);
    ui_.typeText(window_, READ_ONLY, "changed");
    EXPECT_EQ(ui_.pendingEvents(), 0U);
    EXPECT_EQ(ui_.getControlText(window_, READ_ONLY), "fixed");

    ui_.enableControl(window_, BUTTON, true);
    ui_.showWindow(window_, ShowCommand::Show, LIST);
    ui_.clickButton(window_, BUTTON);
    ui_.toggleCheckBox(window_, BOX);
    ui_.pickListItem(window_, LIST, 0);
    ui_.requestClose(window_);
    ui_.typeText(window_, FIELD, "song.wav");
    ui_.startTimer(window_, 1000, 1);
    ui_.startTimer(window_, 500, 1);
    ui_.startTimer(window_, 200, 2);
    ui_.stopTimer(window_, 2);
    ui_.fireTimers();
    EXPECT_EQ(ui_.timers().at(0).periodMs, 500);
    EXPECT_TRUE(ui_.isChecked(window_, BOX));
    EXPECT_EQ(ui_.getControlText(window_, FIELD), "song.wav");
    ui_.dispatchPending();
    ASSERT_EQ(events_.size(), 5U);
    EXPECT_EQ(events_[0].controlId, BUTTON);
    EXPECT_EQ(events_[1].notifyCode, NOTIFY_CLICKED);
    EXPECT_EQ(events_[2].notifyCode, NOTIFY_SELECTION_CHANGED);
    EXPECT_EQ(events_[3].code, WindowEventCode::CloseRequest);
    EXPECT_EQ(events_[4].timerId, 1);
}

// Events queued behind one whose handler disables a control or hides the
// window are dropped, and the controls show what they showed before.
TEST_F(HeadlessWindow, DroppedClicksPutTheirControlsBack) {
    ui_.addListItem(window_, LIST, "a");
    ui_.addListItem(window_, LIST, "b");
    ui_.pickListItem(window_, LIST, 0);
    ui_.dispatchPending();
    events_.clear();
    const auto state = [&] {
        return std::to_string(ui_.getListSelection(window_, LIST)) +
               (ui_.isChecked(window_, BOX) ? "x" : "-") + std::to_string(events_.size());
    };
    for (const bool hideWindow : {false, true}) {
        events_.clear();
        ui_.clickButton(window_, BUTTON); // its handler disables or hides below
        ui_.toggleCheckBox(window_, BOX);
        ui_.pickListItem(window_, LIST, 1);
        EXPECT_EQ(state(), "1x0") << hideWindow;
        if (hideWindow) {
            ui_.showWindow(window_, ShowCommand::Hide);
        } else {
            ui_.enableControl(window_, BOX, false);
            ui_.enableControl(window_, LIST, false);
        }
        ui_.dispatchPending();
        EXPECT_EQ(state(), hideWindow ? "0-0" : "0-1") << hideWindow;
        ui_.enableControl(window_, BOX, true);
        ui_.enableControl(window_, LIST, true);
    }
    ui_.pickListItem(window_, LIST, 1); // a hidden window takes no input at all
    EXPECT_EQ(ui_.pendingEvents(), 0U);
}

TEST_F(HeadlessWindow, MenusNestCheckAndGrey) {
    const MenuHandle bar = ui_.makeMenu(), file = ui_.makeMenu();
    ui_.appendMenuItem(file, "Save Log", 0, 31);
    ui_.appendMenuItem(file, "Self", MENU_POPUP, 0, file); // must not recurse forever
    ui_.appendMenuItem(bar, "File", MENU_POPUP, 0, file);
    ui_.appendMenuItem(bar, "Log", MENU_CHECKED, 33);
    ui_.appendMenuItem(bar, "Later", MENU_GREYED, 34);
    ui_.setMenuBar(window_, bar);
    const auto items = ui_.menuItems(window_);
    ASSERT_EQ(items.size(), 5U);
    EXPECT_TRUE(ui_.menuItem(window_, 33)->checked && ui_.menuItem(window_, 34)->greyed);
    ui_.checkMenuItem(window_, 33, false);
    EXPECT_FALSE(ui_.menuItem(window_, 33)->checked);

    ui_.pickMenu(window_, 34);
    ui_.pickMenu(window_, 99);
    ui_.pickMenu(window_, 31);
    ui_.dispatchPending();
    ASSERT_EQ(events_.size(), 1U);
    EXPECT_EQ(events_[0].code, WindowEventCode::MenuPick);
    EXPECT_EQ(events_[0].menuId, 31);
}

} // namespace
} // namespace vz
