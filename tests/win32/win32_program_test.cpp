// The whole program on real Win32 windows, driven through window messages
// as a user's clicks and picks would arrive. Runs under a display (Xvfb for
// Wine), since timers and window geometry need one.

#include "../gui/program_fixture.h"
#include "win32_input.h"

#include "platform/win32/win32_ui.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::answerNextModal, test::pressInDialog, test::windowText;
using test::DAY_LIST, test::EVENT_LOG, test::FIRST_NAME_BOX, test::MTF_BUTTON, test::REAL_TIME_BOX,
    test::groupColour;

constexpr int MENU_SAVE_LOG = 2, MENU_SOUND_ALERTS = 35;
// How long a real one-second tick may take to come before the test gives up.
constexpr ULONGLONG TICK_WAIT_LIMIT_MS = 10000;

class Win32ProgramTest : public test::ProgramFixture<Win32Ui> {
protected:
    Win32ProgramTest() { settle(); }

    bool visible(WindowHandle window) { return IsWindowVisible(ui.windowHwnd(window)) != 0; }
    static Colour fromScreen(COLORREF value) {
        return rgb(GetRValue(value), GetGValue(value), GetBValue(value));
    }
    // What the control shows on screen near its top-left corner.
    Colour shownColour(WindowHandle window, int id) {
        HWND control = ui.controlHwnd(window, id);
        UpdateWindow(control);
        HDC dc = GetDC(control);
        const COLORREF value = GetPixel(dc, 4, 4);
        ReleaseDC(control, dc);
        return fromScreen(value);
    }

    void settle() {
        do {
            MSG message{};
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            ui.dispatchPending();
        } while (ui.pendingEvents() > 0);
    }
    void click(WindowHandle window, int id) override {
        SendMessageA(ui.controlHwnd(window, id), BM_CLICK, 0, 0);
        settle();
    }
    void pick(WindowHandle window, int listId, int index) override {
        test::pickInList(ui.windowHwnd(window), ui.controlHwnd(window, listId), listId, index);
        settle();
    }
    void pickMenu(int menuId) {
        SendMessageA(ui.windowHwnd(main), WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
        settle();
    }
    // Waits through real events until the condition holds or time is up.
    bool waitForTick(const std::function<bool()>& done) override {
        const ULONGLONG limit = GetTickCount64() + TICK_WAIT_LIMIT_MS;
        while (!done() && GetTickCount64() < limit) {
            ui.waitEvents();
        }
        return done();
    }
};

TEST_F(Win32ProgramTest, AlertSoundIsChosenThroughTheFileRequester) {
    pickMenu(MENU_SOUND_ALERTS);
    ASSERT_TRUE(visible(options));
    // Typed with Windows separators only: the requester reads a '/' as a filter.
    const std::string wave =
        std::filesystem::path(folder.file("bell.wav")).make_preferred().string();
    folder.write("bell.wav", "RIFF");
    std::string title;
    answerNextModal([&](HWND dialog) {
        title = windowText(dialog);
        // Typed into the name field, as a user would.
        for (const int field : {0x47C /* cmb13 */, 0x480 /* edt1 */}) {
            SetDlgItemTextA(dialog, field, wave.c_str());
        }
        pressInDialog(dialog, IDOK);
    });
    click(options, 2);
    EXPECT_EQ(title + "|" + text(options, 3), "Select A Sound File|" + wave);
}

TEST_F(Win32ProgramTest, SavedLogHasOneCrLfPerRow) {
    pick(main, DAY_LIST, 1);
    std::string confirmation;
    answerNextModal([&](HWND box) {
        confirmation = windowText(box);
        pressInDialog(box, IDOK);
    });
    pickMenu(MENU_SAVE_LOG);
    EXPECT_EQ(confirmation, "Complete");
    std::string saved;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().extension() == ".txt") {
            saved = testing::readFile(entry.path().string());
        }
    }
    const auto rows = ui.reportRowCount(main, EVENT_LOG);
    ASSERT_GT(rows, 0);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), rows);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\r'), rows) << "no CR CR LF";
    EXPECT_EQ(saved.find("\r\n"), saved.find('\n') - 1);
}

// Checks the colours a user would see after a real tick, with one
// multi-timeframe column picked.
TEST_F(Win32ProgramTest, ScreenshotsShowTheColoursOfEachWindow) {
    liftBottomPairInRealTime();
    for (const int row : {0, 13}) {
        EXPECT_EQ(shownColour(main, FIRST_NAME_BOX + row), groupColour(symbolInRow(row))) << row;
    }
    click(main, REAL_TIME_BOX);
    click(main, MTF_BUTTON);
    pick(mtf, 11, 0);
    pickMenu(MENU_SOUND_ALERTS);
    EXPECT_EQ(shownColour(mtf, 60), groupColour(text(mtf, 60)));
    EXPECT_EQ(shownColour(mtf, 60 + 13), groupColour(text(mtf, 60 + 13)));
    HDC shown = GetDC(ui.windowHwnd(options));
    EXPECT_EQ(fromScreen(GetPixel(shown, 470, 290)), BACKGROUND_COLOUR) << "the window is painted";
    ReleaseDC(ui.windowHwnd(options), shown);
}

} // namespace
} // namespace vz
