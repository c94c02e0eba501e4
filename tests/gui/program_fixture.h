#pragma once

#include "../shell/history_folder.h"

#include "platform/palette.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vz::test {

// Controls of the main window.
constexpr int REAL_TIME_BOX = 1, DAY_LIST = 3, FIRST_NAME_BOX = 5, EVENT_LOG = 46, MTF_BUTTON = 50;

inline Colour groupColour(const std::string& symbol) {
    const auto pair = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), symbol);
    EXPECT_NE(pair, PAIR_TABLE.end()) << "not a pair: " << symbol;
    return inFirstHalf(static_cast<int>(pair - PAIR_TABLE.begin())) ? FIRST_GROUP_COLOUR
                                                                    : SECOND_GROUP_COLOUR;
}

// The whole program on a toolkit's real windows, over a generated history
// folder; the toolkit's fixture drives it as a user would. Live prices rise
// with the pair index, so the first ranking pass has one order without ties,
// the whole second half on top: perfectly grouped.
template <class ToolkitUi> class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
        startUp(app, folder.path());
    }
    ~ProgramFixture() override { shutDown(app); }

    virtual void click(WindowHandle window, int id) = 0;
    virtual void pick(WindowHandle window, int listId, int index) = 0;
    // Waits for a real tick; true when it came and the condition holds.
    virtual bool waitForTick(const std::function<bool()>& done) = 0;

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    std::string symbolInRow(int row) { return text(main, FIRST_NAME_BOX + row); }
    // Ranks the first day, switches real time on and lets one real tick lift
    // the bottom pair to the top.
    void liftBottomPairInRealTime() {
        pick(main, DAY_LIST, 0);
        click(main, REAL_TIME_BOX);
        const std::string bottom = symbolInRow(13);
        const auto pair = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), bottom);
        folder.setLivePips(static_cast<int>(pair - PAIR_TABLE.begin()), 1000);
        EXPECT_TRUE(waitForTick([&] { return symbolInRow(0) == bottom; })) << "a tick came";
    }

    testing::HistoryFolder folder;
    ToolkitUi ui;
    StdFileSystem files;
    SystemClock clock;
    Host host{ui, files, clock};
    App app{host};
    const WindowHandle &main = app.host.windows.main, &options = app.host.windows.options,
                       &mtf = app.host.windows.multiTimeframe;
};

} // namespace vz::test
