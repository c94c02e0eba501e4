#include "platform/headless/headless_ui.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace vz {
namespace {

constexpr int LABEL = 1;
constexpr int LIST = 2;
constexpr int BOX = 3;
constexpr int FIELD = 4;
constexpr int BUTTON = 5;
constexpr int REPORT = 6;
constexpr int READ_ONLY = 7;

class HeadlessWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = ui_.openWindow(10, 20, 300, 200, WINDOW_POPUP | WINDOW_TITLE_BAR, "Main",
                                 [this](const WindowEvent& event) { events_.push_back(event); });
        ui_.createControl(window_, ControlKind::Label, "Status", 5, 5, 80, 15, STYLE_LABEL, LABEL);
        ui_.createControl(window_, ControlKind::DropList, "", 5, 25, 80, 200, STYLE_DROP_LIST,
                          LIST);
        ui_.createControl(window_, ControlKind::CheckBox, "Arm", 5, 45, 80, 15, STYLE_CHECK_BOX,
                          BOX);
        ui_.createControl(window_, ControlKind::TextBox, "", 5, 65, 80, 20, STYLE_TEXT_PLAIN,
                          FIELD);
        ui_.createControl(window_, ControlKind::PushButton, "Go", 5, 90, 80, 20, STYLE_PUSH_BUTTON,
                          BUTTON);
        ui_.createControl(window_, ControlKind::ReportList, "", 5, 115, 200, 80, STYLE_REPORT,
                          REPORT);
        ui_.createControl(window_, ControlKind::TextBox, "fixed", 90, 65, 80, 20,
                          STYLE_TEXT_READ_ONLY_CENTRED, READ_ONLY);
    }

    HeadlessUi ui_;
    WindowHandle window_;
    std::vector<WindowEvent> events_;
};

TEST_F(HeadlessWindow, KeepsTextsChecksAndVisibility) {
    EXPECT_FALSE(ui_.window(window_)->visible);
    EXPECT_EQ(ui_.getControlText(window_, LABEL), "Status");
    ui_.setControlText(window_, LABEL, "Ready");
    EXPECT_EQ(ui_.getControlText(window_, LABEL), "Ready");
    ui_.setChecked(window_, BOX, true);
    EXPECT_TRUE(ui_.isChecked(window_, BOX));
    ui_.showWindow(window_, ShowCommand::Hide, LABEL);
    ui_.showWindow(window_, ShowCommand::Show);
    EXPECT_FALSE(ui_.control(window_, LABEL)->visible);
    EXPECT_TRUE(ui_.window(window_)->visible);
}

TEST_F(HeadlessWindow, DropListKeepsOrderAndSelection) {
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
    for (const char* item : {"GBPUSD", "EURGBP", "GBPJPY"}) {
        ui_.addListItem(window_, LIST, item);
    }
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
    EXPECT_EQ(ui_.getControlText(window_, LIST), "");
    ui_.pickListItem(window_, LIST, 2);
    EXPECT_EQ(ui_.getListSelection(window_, LIST), 2);
    EXPECT_EQ(ui_.getControlText(window_, LIST), "GBPJPY");
    ui_.removeListItem(window_, LIST, 0);
    EXPECT_EQ(ui_.getListSelection(window_, LIST), 1);
    ui_.removeListItem(window_, LIST, 5);
    ui_.removeListItem(window_, LIST, -1);
    EXPECT_EQ(ui_.control(window_, LIST)->items, (std::vector<std::string>{"EURGBP", "GBPJPY"}));
    ui_.removeListItem(window_, LIST, 1);
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
    ui_.pickListItem(window_, LIST, 3);
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
}

TEST_F(HeadlessWindow, ReportRowsInsertAtTheirIndex) {
    ui_.reportAddColumn(window_, REPORT, 0, "Time");
    ui_.reportAddColumn(window_, REPORT, 1, "Event");
    ui_.reportSetColumnWidth(window_, REPORT, 1, 300);
    EXPECT_EQ(ui_.control(window_, REPORT)->columnWidths[1], 300);
    ui_.reportInsertRow(window_, REPORT, 0, "10:00:00");
    ui_.reportSetCell(window_, REPORT, 0, 1, "first");
    ui_.reportInsertRow(window_, REPORT, 0, "10:00:01");
    ui_.reportSetCell(window_, REPORT, 0, 1, "second");
    ui_.reportInsertRow(window_, REPORT, 99, "10:00:02");
    EXPECT_EQ(ui_.reportRowCount(window_, REPORT), 3);
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 0, 1), "second");
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 1, 0), "10:00:00");
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 1, 1), "first");
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 2, 0), "10:00:02");
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 3, 0), "");
    ui_.reportSetCell(window_, REPORT, 0, 7, "nowhere");
    ui_.reportSetCell(window_, REPORT, 5, 0, "nowhere");
    ui_.reportClear(window_, REPORT);
    EXPECT_EQ(ui_.reportRowCount(window_, REPORT), 0);
}

TEST_F(HeadlessWindow, UnknownIdsAndClosedWindowsGiveEmptyResults) {
    const WindowHandle nowhere{999};
    EXPECT_EQ(ui_.getControlText(window_, 42), "");
    EXPECT_EQ(ui_.getListSelection(window_, 42), -1);
    EXPECT_EQ(ui_.reportRowCount(nowhere, REPORT), 0);
    EXPECT_FALSE(ui_.isChecked(window_, BUTTON));
    ui_.setControlText(nowhere, LABEL, "x");

    ui_.startTimer(window_, 1000, 1);
    ui_.closeWindow(window_);
    EXPECT_FALSE(ui_.window(window_)->open);
    EXPECT_FALSE(ui_.timerRunning(window_, 1));
    ui_.setControlText(window_, LABEL, "after");
    EXPECT_EQ(ui_.getControlText(window_, LABEL), "");
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
    EXPECT_EQ(ui_.pixel(window_, 0, 0), NO_FILL);
    ui_.startTimer(window_, 1000, 2);
    EXPECT_TRUE(ui_.timers().empty());
    ui_.requestClose(window_);
    ui_.clickButton(window_, BUTTON);
    EXPECT_EQ(ui_.pendingEvents(), 0U);
    ui_.closeWindow(window_);
}

TEST_F(HeadlessWindow, UserActionsPostTheirEvents) {
    ui_.addListItem(window_, LIST, "a");
    ui_.clickButton(window_, BUTTON);
    ui_.toggleCheckBox(window_, BOX);
    ui_.pickListItem(window_, LIST, 0);
    ui_.requestClose(window_);
    ui_.typeText(window_, FIELD, "song.wav");
    ui_.typeText(window_, READ_ONLY, "changed");
    EXPECT_TRUE(ui_.isChecked(window_, BOX));
    EXPECT_EQ(ui_.getControlText(window_, FIELD), "song.wav");
    EXPECT_EQ(ui_.getControlText(window_, READ_ONLY), "fixed");
    ui_.dispatchPending();
    ASSERT_EQ(events_.size(), 4U);
    EXPECT_EQ(events_[0].code, WindowEventCode::ControlEvent);
    EXPECT_EQ(events_[0].controlId, BUTTON);
    EXPECT_EQ(events_[0].notifyCode, NOTIFY_CLICKED);
    EXPECT_EQ(events_[1].controlId, BOX);
    EXPECT_EQ(events_[1].notifyCode, NOTIFY_CLICKED);
    EXPECT_EQ(events_[2].controlId, LIST);
    EXPECT_EQ(events_[2].notifyCode, NOTIFY_SELECTION_CHANGED);
    EXPECT_EQ(events_[3].code, WindowEventCode::CloseRequest);
    EXPECT_EQ(events_[3].window, window_);
}

TEST_F(HeadlessWindow, DisabledAndHiddenControlsIgnoreTheUser) {
    ui_.enableControl(window_, BUTTON, false);
    ui_.enableControl(window_, BOX, false);
    ui_.addListItem(window_, LIST, "a");
    ui_.showWindow(window_, ShowCommand::Hide, LIST);
    ui_.clickButton(window_, BUTTON);
    ui_.toggleCheckBox(window_, BOX);
    ui_.pickListItem(window_, LIST, 0);
    ui_.clickButton(window_, 42);
    EXPECT_FALSE(ui_.isChecked(window_, BOX));
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1);
    EXPECT_EQ(ui_.pendingEvents(), 0U);
    ui_.enableControl(window_, BUTTON, true);
    ui_.clickButton(window_, BUTTON);
    EXPECT_EQ(ui_.pendingEvents(), 1U);
}

TEST_F(HeadlessWindow, MenusNestCheckAndGrey) {
    const MenuHandle bar = ui_.makeMenu();
    const MenuHandle file = ui_.makeMenu();
    ui_.appendMenuItem(file, "Save Log", 0, 31);
    ui_.appendMenuItem(file, "", MENU_SEPARATOR, 0);
    ui_.appendMenuItem(file, "Quit", 0, 32);
    ui_.appendMenuItem(bar, "File", MENU_POPUP, 0, file);
    ui_.appendMenuItem(bar, "Log", MENU_CHECKED, 33);
    ui_.appendMenuItem(bar, "Later", MENU_GREYED, 34);
    ui_.setMenuBar(window_, bar);

    const auto items = ui_.menuItems(window_);
    ASSERT_EQ(items.size(), 6U);
    EXPECT_EQ(items[0].caption, "File");
    EXPECT_EQ(items[1].caption, "Save Log");
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[3].caption, "Quit");
    EXPECT_TRUE(ui_.menuItem(window_, 33)->checked);
    ui_.checkMenuItem(window_, 33, false);
    ui_.checkMenuItem(window_, 32, true);
    EXPECT_FALSE(ui_.menuItem(window_, 33)->checked);
    EXPECT_TRUE(ui_.menuItem(window_, 32)->checked);
    EXPECT_EQ(ui_.menuItem(window_, 99), nullptr);

    ui_.pickMenu(window_, 34);
    ui_.pickMenu(window_, 99);
    ui_.pickMenu(window_, 32);
    ui_.dispatchPending();
    ASSERT_EQ(events_.size(), 1U);
    EXPECT_EQ(events_[0].code, WindowEventCode::MenuPick);
    EXPECT_EQ(events_[0].menuId, 32);
}

TEST_F(HeadlessWindow, AMenuInsideItselfDoesNotLoop) {
    const MenuHandle bar = ui_.makeMenu();
    ui_.appendMenuItem(bar, "Self", MENU_POPUP, 0, bar);
    ui_.setMenuBar(window_, bar);
    EXPECT_EQ(ui_.menuItems(window_).size(), 1U);
    EXPECT_EQ(ui_.menuItem(window_, 5), nullptr);
}

TEST_F(HeadlessWindow, TimersReplaceStopAndFire) {
    ui_.startTimer(window_, 1000, 1);
    ui_.startTimer(window_, 500, 1);
    ui_.startTimer(window_, 200, 2);
    ASSERT_EQ(ui_.timers().size(), 2U);
    EXPECT_EQ(ui_.timers()[0].periodMs, 500);
    ui_.stopTimer(window_, 2);
    EXPECT_FALSE(ui_.timerRunning(window_, 2));
    ui_.fireTimers();
    ui_.fireTimers(window_);
    ui_.waitEvents();
    ASSERT_EQ(events_.size(), 2U);
    EXPECT_EQ(events_[1].code, WindowEventCode::Timer);
    EXPECT_EQ(events_[1].timerId, 1);
}

TEST(HeadlessEvents, WaitCallsTheIdleHookAndDispatchesFollowUps) {
    HeadlessUi ui;
    std::vector<int> seen;
    WindowHandle second;
    const WindowHandle first = ui.openWindow(0, 0, 10, 10, 0, "a", [&](const WindowEvent& event) {
        seen.push_back(event.window.id * 100 + event.timerId);
        if (event.timerId == 1) {
            ui.postEvent({WindowEventCode::Timer, second, 0, 0, 0, 2});
            ui.closeWindow(event.window);
            ui.postEvent({WindowEventCode::Timer, event.window, 0, 0, 0, 3});
        }
    });
    second = ui.openWindow(0, 0, 10, 10, 0, "b", [&](const WindowEvent& event) {
        seen.push_back(event.window.id * 100 + event.timerId);
    });
    int idleCalls = 0;
    ui.setIdleHook([&] {
        if (++idleCalls == 1) {
            ui.postEvent({WindowEventCode::Timer, first, 0, 0, 0, 1});
        }
    });
    ui.waitEvents();
    EXPECT_EQ(seen, (std::vector<int>{101, 202}));
    ui.waitEvents();
    EXPECT_EQ(idleCalls, 2);
    EXPECT_EQ(ui.pendingEvents(), 0U);
}

TEST(HeadlessDialogs, MessageBoxesAnswerFromTheScriptThenByStyle) {
    HeadlessUi ui;
    std::ostringstream echo;
    ui.echoMessageBoxesTo(&echo);
    ui.queueMessageBoxAnswer(ANSWER_NO);
    EXPECT_EQ(ui.messageBox({}, "Quit?", "Confirm", MB_QUESTION_YES_NO), ANSWER_NO);
    EXPECT_EQ(ui.messageBox({}, "Again?", "Confirm", MB_QUESTION_YES_NO), ANSWER_YES);
    ui.setDefaultYesNoAnswer(ANSWER_NO);
    EXPECT_EQ(ui.messageBox({}, "Once more?", "Confirm", MB_QUESTION_YES_NO), ANSWER_NO);
    EXPECT_EQ(ui.messageBox({}, "File not found", "Error", MB_ERROR), ANSWER_OK);
    EXPECT_EQ(ui.messageBox({}, "Note", "Info", MB_DEFAULT), ANSWER_OK);
    ASSERT_EQ(ui.messageBoxes().size(), 5U);
    EXPECT_EQ(ui.messageBoxes()[3].text, "File not found");
    EXPECT_EQ(ui.messageBoxes()[3].style, MB_ERROR);
    EXPECT_EQ(echo.str().substr(0, 14), "Confirm: Quit?");
    EXPECT_NE(echo.str().find("Error: File not found\n"), std::string::npos);
}

TEST(HeadlessDialogs, FileRequestersAnswerFromTheScriptOrCancel) {
    HeadlessUi ui;
    ui.queueFileAnswer("/sounds/a.wav");
    ui.queueFileAnswer("");
    const char* filter = "Sound File (*.wav)|*.wav||";
    EXPECT_EQ(ui.chooseFile("Select A Sound File", {}, true, filter, "wav", 0, ""),
              "/sounds/a.wav");
    EXPECT_EQ(ui.chooseFile("Select A Sound File", {}, true, filter, "wav", 0, ""), "");
    EXPECT_EQ(ui.chooseFile("Select A Sound File", {}, true, filter, "wav", 0, ""), "");
    ASSERT_EQ(ui.fileRequests().size(), 3U);
    EXPECT_EQ(ui.fileRequests()[0].filter, filter);
    EXPECT_EQ(ui.fileRequests()[0].defaultExtension, "wav");
    EXPECT_TRUE(ui.fileRequests()[0].open);

    ui.playWave("a.wav");
    ui.playWave("");
    EXPECT_EQ(ui.playedWaves(), (std::vector<std::string>{"a.wav"}));
}

} // namespace
} // namespace vz
