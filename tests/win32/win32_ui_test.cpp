// The Win32 backend's own promises, one operation family at a time.

#include "../sound/wave_bytes.h"
#include "win32_input.h"

#include "platform/files.h"
#include "platform/headless/headless_ui.h"
#include "platform/win32/win32_ui.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz {
namespace {

constexpr int LIST = 2, BOX = 3, FIELD = 4, BUTTON = 5, REPORT = 6;
constexpr Colour RED = rgb(255, 0, 0), GREEN = rgb(0, 255, 0), BLUE = rgb(0, 0, 255);
constexpr int SIDE = 60;

class Win32Window : public ::testing::Test {
protected:
    Win32Window() {
        window_ = ui_.openWindow(10, 10, 300, 260, WINDOW_POPUP | WINDOW_TITLE_BAR, "Test",
                                 [this](const WindowEvent& event) { handle(event); });
        const auto add = [this](ControlKind kind, const char* text, std::uint32_t style, int id) {
            ui_.createControl(window_, kind, text, 5, 20 * id, 200, 20, style, id);
        };
        add(ControlKind::DropList, "", STYLE_DROP_LIST, LIST);
        add(ControlKind::CheckBox, "Arm", STYLE_CHECK_BOX, BOX);
        add(ControlKind::TextBox, "", STYLE_TEXT_PLAIN, FIELD);
        add(ControlKind::PushButton, "Go", STYLE_PUSH_BUTTON, BUTTON);
        add(ControlKind::ReportList, "", STYLE_REPORT, REPORT);
        ui_.setWindowBackground(window_, WHITE);
        // Only a shown window's controls take input.
        ui_.showWindow(window_, ShowCommand::Show);
    }

    void handle(const WindowEvent& event) {
        seen_.push_back(event);
        if (disableBoxOnButton_ && event.controlId == BUTTON) {
            ui_.enableControl(window_, BOX, false);
        }
    }
    void pick(int index) {
        test::pickInList(ui_.windowHwnd(window_), ui_.controlHwnd(window_, LIST), LIST, index);
    }
    // Every canvas pixel of the square at the origin that differs from the reference.
    int differences(const Canvas& reference) {
        int count = 0;
        for (int y = 0; y < SIDE; ++y) {
            for (int x = 0; x < SIDE; ++x) {
                count += ui_.canvasPixel(window_, x, y) == reference.pixel(x, y) ? 0 : 1;
            }
        }
        return count;
    }

    Win32Ui ui_;
    WindowHandle window_;
    std::vector<WindowEvent> seen_;
    bool disableBoxOnButton_ = false;
};

TEST_F(Win32Window, LinesAlongTheAxesAndRectanglesMatchTheSharedRaster) {
    Canvas reference(SIDE, SIDE, WHITE);
    const auto line = [&](int x1, int y1, int x2, int y2, Colour colour) {
        ui_.drawLine(window_, x1, y1, x2, y2, colour);
        reference.line(x1, y1, x2, y2, colour);
    };
    const auto rect = [&](int left, int top, int width, int height, Colour border, Colour fill) {
        ui_.drawRect(window_, left, top, width, height, border, fill);
        reference.rect(left, top, width, height, border, fill);
    };
    line(2, 2, 40, 2, RED);  // rightwards, the end left out
    line(40, 5, 2, 5, RED);  // leftwards
    line(3, 8, 3, 50, BLUE); // downwards
    line(6, 50, 6, 8, BLUE); // upwards
    line(9, 9, 9, 9, GREEN); // nothing at all
    line(-10, 55, 80, 55, GREEN);
    rect(12, 12, 10, 8, RED, NO_FILL);
    rect(14, 14, 4, 3, GREEN, NO_FILL); // inside the first, which stays hollow
    rect(30, 12, 10, 8, BLUE, WHITE);
    rect(30, 30, 7, 7, RED, RED); // a solid block
    rect(45, 45, 0, 5, RED, RED);
    EXPECT_EQ(differences(reference), 0);
}

TEST_F(Win32Window, DiagonalLinesKeepTheirEndsAndLength) {
    // Between the end points the system's line rule may pick a neighbouring
    // pixel where the shared raster would not; the ends and the count agree.
    for (const auto& [dx, dy] : {std::pair{16, 6}, {-6, 16}, {-16, -6}, {6, -16}, {10, 10}}) {
        ui_.setWindowBackground(window_, WHITE);
        ui_.drawLine(window_, 30, 30, 30 + dx, 30 + dy, RED);
        int count = 0;
        for (int y = 0; y < SIDE; ++y) {
            for (int x = 0; x < SIDE; ++x) {
                count += ui_.canvasPixel(window_, x, y) == RED ? 1 : 0;
            }
        }
        SCOPED_TRACE(::testing::Message() << "towards " << dx << "," << dy);
        EXPECT_EQ(ui_.canvasPixel(window_, 30, 30), RED);
        EXPECT_EQ(ui_.canvasPixel(window_, 30 + dx, 30 + dy), WHITE);
        EXPECT_EQ(count, std::max(std::abs(dx), std::abs(dy)));
    }
}

TEST_F(Win32Window, PrintedTextIsOpaqueCoversLongerEarlierTextAndDropsItsLineEnd) {
    ui_.setControlFont(window_, "Ariel", 8, 700, 0);
    ui_.setDrawColour(window_, BLACK);
    ui_.setTextBackground(window_, GREEN);
    ui_.moveTo(window_, 5, 5);
    ui_.printText(window_, " 888888\r\n");
    int inked = 0;
    for (int x = 5; x < 100; ++x) {
        inked += ui_.canvasPixel(window_, x, 8) != WHITE ? 1 : 0;
    }
    EXPECT_GT(inked, 20);
    ui_.moveTo(window_, 5, 5);
    ui_.printText(window_, " 1");
    int black = 0;
    for (int y = 5; y < 20; ++y) {
        for (int x = 25; x < 100; ++x) {
            black += ui_.canvasPixel(window_, x, y) == BLACK ? 1 : 0;
        }
    }
    EXPECT_EQ(black, 0) << "the longer text is gone";
}

TEST_F(Win32Window, ControlsKeepWhatTheProgramReadsBack) {
    for (const char* item : {"a", "b", "c"}) {
        ui_.addListItem(window_, LIST, item);
    }
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1) << "nothing picked yet";
    pick(1);
    ui_.removeListItem(window_, LIST, 1);
    EXPECT_EQ(ui_.getListSelection(window_, LIST), -1) << "the picked item is gone";
    EXPECT_EQ(SendMessageA(ui_.controlHwnd(window_, LIST), CB_GETCOUNT, 0, 0), 2);

    ui_.reportAddColumn(window_, REPORT, 0, "Date");
    ui_.reportAddColumn(window_, REPORT, 1, "Description");
    ui_.reportInsertRow(window_, REPORT, 0, "older");
    ui_.reportInsertRow(window_, REPORT, 0, "newer");
    ui_.reportSetCell(window_, REPORT, 0, 1, "on top");
    ui_.reportSetCell(window_, REPORT, 0, 5, "no such column");
    EXPECT_EQ(ui_.reportGetCell(window_, REPORT, 0, 0) + "|" +
                  ui_.reportGetCell(window_, REPORT, 0, 1) + "|" +
                  ui_.reportGetCell(window_, REPORT, 1, 0) + "|" +
                  ui_.reportGetCell(window_, REPORT, 7, 0),
              "newer|on top|older|");
    ui_.reportClear(window_, REPORT);
    EXPECT_EQ(ui_.reportRowCount(window_, REPORT), 0);

    // Unknown windows and controls give the empty results.
    EXPECT_EQ(ui_.getControlText(window_, 99) + ui_.getControlText({77}, FIELD), "");
    ui_.playWave("");
    ui_.playWave("no such file.wav");
}

TEST_F(Win32Window, EventsWaitForTheLoopAndADisabledSourceIsPutBack) {
    pick(0); // no items: nothing selected, so no change
    SendMessageA(ui_.controlHwnd(window_, BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(ui_.pendingEvents(), 1U) << "queued, not handled inside the click";
    EXPECT_TRUE(seen_.empty());

    // The button's handler disables the box whose click waits behind it.
    disableBoxOnButton_ = true;
    SendMessageA(ui_.controlHwnd(window_, BOX), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui_.isChecked(window_, BOX)) << "an auto check box toggles at once";
    ui_.dispatchPending();
    ASSERT_EQ(seen_.size(), 1U);
    EXPECT_EQ(std::pair(seen_[0].controlId, seen_[0].notifyCode), std::pair(BUTTON, 0));
    EXPECT_FALSE(ui_.isChecked(window_, BOX)) << "the dropped click is taken back";

    const MenuHandle bar = ui_.makeMenu();
    const MenuHandle file = ui_.makeMenu();
    ui_.appendMenuItem(file, "Live", 0, 17);
    ui_.appendMenuItem(file, "Greyed", MENU_GREYED, 18);
    ui_.appendMenuItem(bar, "File", MENU_POPUP, 0, file);
    ui_.setMenuBar(window_, bar);
    ui_.checkMenuItem(window_, 17, true);
    EXPECT_EQ(GetMenuState(GetMenu(ui_.windowHwnd(window_)), 17, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    SendMessageA(ui_.windowHwnd(window_), WM_CLOSE, 0, 0);
    for (const int item : {17, 18, 19}) { // live, greyed, not on the menu
        SendMessageA(ui_.windowHwnd(window_), WM_COMMAND, MAKEWPARAM(item, 0), 0);
    }
    ui_.dispatchPending();
    ASSERT_EQ(seen_.size(), 3U);
    EXPECT_EQ(seen_[1].code, WindowEventCode::CloseRequest);
    EXPECT_NE(ui_.windowHwnd(window_), nullptr) << "the handler decides about closing";
    EXPECT_EQ(std::pair(seen_[2].code, seen_[2].menuId), std::pair(WindowEventCode::MenuPick, 17));
}

TEST_F(Win32Window, AHiddenWindowTakesNoInputAndARepeatedPickIsSilent) {
    for (const char* item : {"a", "b"}) {
        ui_.addListItem(window_, LIST, item);
    }
    pick(1);
    pick(1);
    ui_.dispatchPending();
    ASSERT_EQ(seen_.size(), 1U) << "the second pick changed nothing";
    EXPECT_EQ(seen_[0].notifyCode, NOTIFY_SELECTION_CHANGED);

    // Clicks queued before the window was hidden are dropped and put back.
    SendMessageA(ui_.controlHwnd(window_, BOX), BM_CLICK, 0, 0);
    pick(0);
    ui_.showWindow(window_, ShowCommand::Hide);
    SendMessageA(ui_.controlHwnd(window_, BUTTON), BM_CLICK, 0, 0);
    ui_.dispatchPending();
    EXPECT_EQ(seen_.size(), 1U);
    EXPECT_FALSE(ui_.isChecked(window_, BOX));
    EXPECT_EQ(ui_.getListSelection(window_, LIST), 1);
}

TEST_F(Win32Window, ATimerTicksUntilStoppedAndAClosedWindowIsForgotten) {
    ui_.startTimer(window_, 20, 1);
    while (seen_.empty()) {
        ui_.waitEvents();
    }
    EXPECT_EQ(std::pair(seen_[0].code, seen_[0].timerId), std::pair(WindowEventCode::Timer, 1));
    ui_.stopTimer(window_, 1);
    EXPECT_EQ(ui_.pendingEvents(), 0U);
    ui_.closeWindow(window_);
    EXPECT_EQ(ui_.windowHwnd(window_), nullptr);
    ui_.closeWindow(window_);
}

TEST_F(Win32Window, MessageBoxGivesTheAnswerAndFileRequesterItsCancel) {
    test::answerNextModal([](HWND box) { test::pressInDialog(box, IDNO); });
    EXPECT_EQ(ui_.messageBox(window_, "Really?", "Question", MB_QUESTION_YES_NO), ANSWER_NO);
    test::answerNextModal([](HWND box) { test::pressInDialog(box, IDCANCEL); });
    EXPECT_EQ(ui_.chooseFile("Pick", window_, true, "Sound File (*.wav)|*.wav||", "wav", 0, ""),
              "");
}

// A wave file as a recorder writes it, with a LIST chunk before its format:
// 16-bit PCM, mono, 8 kHz.
std::string pcmWave(std::size_t dataBytes) {
    std::string wave = testing::riffWave(testing::WAVE_PCM, std::string(dataBytes, '\0'));
    wave.insert(12, std::string("LIST\4\0\0\0INFO", 12));
    const std::uint32_t size = static_cast<std::uint32_t>(wave.size() - 8);
    for (int i = 0; i < 4; ++i) {
        wave[4 + static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFFU);
    }
    return wave;
}

TEST(Win32Sound, OnlyAWaveFileWithAFormatCanPlay) {
    const std::string folder = executableFolder();
    const auto write = [&](const std::string& name, const std::string& bytes) {
        StdFileSystem files;
        auto file = files.openFile(folder + name, FileMode::Write);
        EXPECT_TRUE(file != nullptr && file->write(bytes) && file->close());
        return folder + name;
    };
    Win32Ui ui;
    const std::string good = write("wave-test-good.wav", pcmWave(800));
    const std::string cut = write("wave-test-cut.wav", pcmWave(800).substr(0, 30));
    EXPECT_TRUE(ui.canPlayWave(good));
    EXPECT_FALSE(ui.canPlayWave(cut));
    EXPECT_FALSE(ui.canPlayWave(folder + "no such file.wav"));
    StdFileSystem files;
    files.removeFile(good);
    files.removeFile(cut);
}

// The files of the program on Windows: bytes exactly as written and read,
// and only files on a disk.
TEST(Win32Files, BytesPassUnchangedAndOnlyFilesOnADiskOpen) {
    char temporary[MAX_PATH] = {};
    GetTempPathA(sizeof temporary, temporary);
    const std::string path = std::string(temporary) + "vurezer-win32-files.csv";
    const std::string swapped = path + ".new";
    StdFileSystem files;
    auto written = files.openFile(path, FileMode::Write);
    ASSERT_NE(written, nullptr);
    EXPECT_TRUE(writeTextLine(*written, "1.23456") && closeFile(*written));
    auto appended = files.openFile(path, FileMode::Append);
    ASSERT_NE(appended, nullptr);
    EXPECT_TRUE(writeTextLine(*appended, "\x1a\xff") && closeFile(*appended));

    auto held = files.openFile(path, FileMode::Read);
    ASSERT_NE(held, nullptr);
    std::string bytes;
    for (int byte = held->readByte(); byte >= 0; byte = held->readByte()) {
        bytes += static_cast<char>(byte);
    }
    EXPECT_EQ(bytes, "1.23456\r\n\x1a\xff\r\n") << "no CR CR LF, no stop at Ctrl-Z";

    held.reset();
    auto next = files.openFile(swapped, FileMode::Write);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(writeTextLine(*next, "1.3") && closeFile(*next));
    EXPECT_NE(MoveFileExA(swapped.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING), 0);
    auto reread = files.openFile(path, FileMode::Read);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->readByte(), '1');
    EXPECT_EQ(reread->peekByte(), '.');
    reread.reset();
    DeleteFileA(path.c_str());

    EXPECT_EQ(files.openFile(path, FileMode::Read), nullptr) << "missing";
    EXPECT_EQ(files.openFile(temporary, FileMode::Read), nullptr) << "a folder";
    EXPECT_EQ(files.openFile("NUL", FileMode::Read), nullptr) << "a device";
}

TEST(Win32ProgramFolder, IsTheExecutablesFolderWithATrailingBackslash) {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string path(program);
    EXPECT_EQ(executableFolder(), path.substr(0, path.find_last_of('\\') + 1));
}

} // namespace
} // namespace vz
