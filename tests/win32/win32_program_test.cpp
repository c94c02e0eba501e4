// The whole program on real Win32 windows, driven through window messages
// as a user's clicks and picks would arrive. Runs under a display (Xvfb for
// Wine), since timers and window geometry need one.

#include "../shell/history_folder.h"
#include "modal_answer.h"

#include "platform/palette.h"
#include "platform/win32/win32_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::answerNextModal;
using test::pressInDialog;
using test::windowText;

// Controls of the main window.
constexpr int REAL_TIME_BOX = 1, DAY_LIST = 3, FIRST_NAME_BOX = 5, EVENT_LOG = 46, MTF_BUTTON = 50;
constexpr int MENU_SAVE_LOG = 2, MENU_SOUND_ALERTS = 35;
// How long a real one-second tick may take to come before the test gives up.
constexpr ULONGLONG TICK_WAIT_LIMIT_MS = 10000;

const auto rowTop = [](int row) { return 140 + 24 * row; };

Colour groupColour(const std::string& symbol) {
    const auto pair = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), symbol);
    EXPECT_NE(pair, PAIR_TABLE.end()) << "not a pair: " << symbol;
    return inFirstHalf(static_cast<int>(pair - PAIR_TABLE.begin())) ? FIRST_GROUP_COLOUR
                                                                    : SECOND_GROUP_COLOUR;
}

class Win32ProgramTest : public ::testing::Test {
protected:
    Win32ProgramTest() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
        startUp(app, folder.path());
        settle();
    }
    ~Win32ProgramTest() override { shutDown(app); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    std::string symbolInRow(int row) { return text(main, FIRST_NAME_BOX + row); }
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
    void click(WindowHandle window, int id) {
        SendMessageA(ui.controlHwnd(window, id), BM_CLICK, 0, 0);
        settle();
    }
    // What the list sends its window when the user picks an item.
    void pick(WindowHandle window, int listId, int index) {
        HWND list = ui.controlHwnd(window, listId);
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(ui.windowHwnd(window), WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        settle();
    }
    void pickMenu(int menuId) {
        SendMessageA(ui.windowHwnd(main), WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
        settle();
    }
    // Waits through real events until the condition holds or time is up.
    bool runUntil(const std::function<bool()>& done) {
        const ULONGLONG limit = GetTickCount64() + TICK_WAIT_LIMIT_MS;
        while (!done() && GetTickCount64() < limit) {
            ui.waitEvents();
        }
        return done();
    }
    // Ranks the first day, switches real time on and lets one real tick lift
    // the bottom pair to the top. Gives the first ranking's top and bottom.
    std::pair<std::string, std::string> liftBottomPairInRealTime() {
        pick(main, DAY_LIST, 0);
        click(main, REAL_TIME_BOX);
        const std::pair ends{symbolInRow(0), symbolInRow(13)};
        const auto bottom = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), ends.second);
        folder.setLivePips(static_cast<int>(bottom - PAIR_TABLE.begin()), 1000);
        EXPECT_TRUE(runUntil([&] { return symbolInRow(0) == ends.second; })) << "a tick came";
        return ends;
    }

    testing::HistoryFolder folder;
    Win32Ui ui;
    StdFileSystem files;
    SystemClock clock;
    Host host{ui, files, clock};
    App app{host};
    const WindowHandle &main = app.host.windows.main, &options = app.host.windows.options,
                       &mtf = app.host.windows.multiTimeframe;
};

TEST_F(Win32ProgramTest, AlertSoundIsChosenThroughTheFileRequester) {
    pickMenu(MENU_SOUND_ALERTS);
    ASSERT_TRUE(visible(options));
    answerNextModal([](HWND dialog) { pressInDialog(dialog, IDCANCEL); });
    click(options, 2);
    EXPECT_TRUE(ui.isChecked(options, 2));
    EXPECT_EQ(text(options, 3), "") << "cancelled";

    // Typed with Windows separators only: the requester reads a '/' as a filter.
    const std::string wave =
        std::filesystem::path(folder.file("bell.wav")).make_preferred().string();
    folder.write("bell.wav", "RIFF");
    click(options, 2);
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
    const std::string top = liftBottomPairInRealTime().first;
    EXPECT_EQ(symbolInRow(1), top);
    EXPECT_EQ(ui.canvasPixel(main, 10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(ui.canvasPixel(main, 10, rowTop(1) + 5), DOWN_ARROW_COLOUR);
    for (const int row : {0, 13}) {
        EXPECT_EQ(shownColour(main, FIRST_NAME_BOX + row), groupColour(symbolInRow(row))) << row;
    }
    click(main, REAL_TIME_BOX);
    EXPECT_EQ(ui.pendingEvents(), 0U) << "no ticks once real time is off";
    click(main, MTF_BUTTON);
    pick(mtf, 11, 0);
    pickMenu(MENU_SOUND_ALERTS);
    EXPECT_EQ(text(mtf, 20), "Pair1") << "other columns wait for their own pick";
    EXPECT_EQ(shownColour(mtf, 60), groupColour(text(mtf, 60)));
    EXPECT_EQ(shownColour(mtf, 60 + 13), groupColour(text(mtf, 60 + 13)));
    EXPECT_EQ(ui.canvasPixel(main, 100, 306), BLACK) << "the line between the two groups";
    EXPECT_EQ(ui.canvasPixel(main, 100, 305), BACKGROUND_COLOUR);
    EXPECT_EQ(ui.canvasPixel(options, 480, 300), BACKGROUND_COLOUR);
    HDC shown = GetDC(ui.windowHwnd(options));
    EXPECT_EQ(fromScreen(GetPixel(shown, 470, 290)), BACKGROUND_COLOUR) << "the window is painted";
    ReleaseDC(ui.windowHwnd(options), shown);
}

} // namespace
} // namespace vz
