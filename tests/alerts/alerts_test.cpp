#include "alerts/alert_checks.h"
#include "alerts/alert_options.h"
#include "logging/event_log.h"
#include "market/pairs.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vz {
namespace {

using Rows = std::array<std::string, PAIR_COUNT>;
using Entries = std::vector<std::string>;

// The options window wired to its own handler, and the main window's event log.
class Alerts : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    WindowHandle options = host.windows.options = buildOptionsWindow(
        host, [this](const WindowEvent& event) { handleOptionsEvent(host, state, event); });
    AlertState state;
    Rows symbols, pipsTexts, groupList;
    AlertInputs inputs;

    void SetUp() override {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
        std::ranges::copy(PAIR_TABLE, groupList.begin());
        symbols = groupList;
        inputs.rowSymbols = &symbols;
        inputs.rowPipsTexts = &pipsTexts;
        inputs.groupList = &groupList;
    }
    // The user works the window's controls only while it is shown.
    void show() { ui.showWindow(options, ShowCommand::Show); }

    void arm(int box, const std::string& sound = "") {
        ui.setChecked(options, box, true);
        ui.setControlText(options, box + 1, sound);
    }
    void run(AlertCheck check) { runAlertCheck(check, inputs, state, host); }
    Entries entries() {
        Entries found;
        for (int row = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            found.push_back(ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2));
        }
        return found;
    }

    const ControlState& control(int id) const { return *ui.control(options, id); }
    bool visible() const { return ui.window(options)->visible; }
    // Clicks the Exit button or toggles a check box, and handles what that raised.
    void press(int id) {
        id == OPT_EXIT_BUTTON ? ui.clickButton(options, id) : ui.toggleCheckBox(options, id);
        ui.dispatchPending();
    }
};

TEST_F(Alerts, GroupingIsAnnouncedOnceUntilItBreaksEvenWhileSwitchedOff) {
    arm(OPT_GROUPING_BOX, "group.wav");
    // The pair table rotated: by 0 or 7 rows it is grouped, by any other number it is not.
    const auto passWith = [this](int shift) {
        symbols = groupList;
        std::ranges::rotate(symbols, symbols.begin() + shift);
        run(AlertCheck::Grouping);
        return entries().size();
    };
    EXPECT_EQ(passWith(0) + passWith(0), 2U); // once
    ui.setChecked(options, OPT_GROUPING_BOX, false);
    passWith(1);
    EXPECT_EQ(state.groupedAlertLatch, 1); // a switched-off check leaves the latch alone
    ui.setChecked(options, OPT_GROUPING_BOX, true);
    EXPECT_EQ(passWith(7), 1U);
    passWith(1);
    passWith(7); // second half on top is grouped too
    EXPECT_EQ(entries(), Entries(2, "Pairs are perfectly grouped."));
    EXPECT_EQ(ui.playedWaves(), (Entries{"group.wav", "group.wav"}));
}

TEST_F(Alerts, PairInSlotFiresOnceAndDisarms) {
    arm(OPT_PAIR_BOX, "pair.wav");
    symbols[0] = "EURUSD";
    show();
    ui.pickListItem(options, OPT_PAIR_LIST, 7);
    run(AlertCheck::PairInSlot); // no slot chosen: never fires
    ui.pickListItem(options, OPT_SLOT_LIST, 1);
    run(AlertCheck::PairInSlot); // not the chosen slot
    EXPECT_TRUE(entries().empty());
    ui.pickListItem(options, OPT_SLOT_LIST, 0);
    run(AlertCheck::PairInSlot);
    run(AlertCheck::PairInSlot);
    EXPECT_EQ(entries(), Entries{"Pair: EURUSD is in slot:  1"});
    EXPECT_FALSE(ui.isChecked(options, OPT_PAIR_BOX));
    EXPECT_EQ(ui.playedWaves(), Entries{"pair.wav"});
}

// A broken sound file is told once, whichever alert or choice meets it first;
// the alerts themselves still log and still ask for the sound.
TEST_F(Alerts, UnplayableSoundIsReportedOncePerFileUntilItPlaysAgain) {
    const std::string unplayable = "Alert sound cannot be played: /gone.wav";
    ui.refuseWave("/gone.wav");
    show();
    arm(OPT_GROUPING_BOX, "/gone.wav");
    arm(OPT_PAIR_BOX, "/gone.wav");
    arm(OPT_FLIP_BOX, "/fine.wav");
    ui.pickListItem(options, OPT_PAIR_LIST, 0);
    ui.pickListItem(options, OPT_SLOT_LIST, 0);
    inputs.referenceBias = 1;
    for (AlertCheck check :
         {AlertCheck::RefBiasFlip, AlertCheck::Grouping, AlertCheck::PairInSlot}) {
        run(check);
    }
    EXPECT_EQ(entries(),
              (Entries{"Reference Bias Flipped Positive!", "Pairs are perfectly grouped.",
                       unplayable, "Pair: GBPUSD is in slot:  1"}));
    EXPECT_EQ(ui.playedWaves(), (Entries{"/fine.wav", "/gone.wav", "/gone.wav"}));

    // Mended, it plays; broken again later, it is told again.
    const auto groupAgain = [this] {
        std::ranges::rotate(symbols, symbols.begin() + 1);
        run(AlertCheck::Grouping); // breaks the grouping
        symbols = groupList;
        run(AlertCheck::Grouping);
    };
    ui.refuseWave("/gone.wav", false);
    groupAgain();
    ui.refuseWave("/gone.wav");
    groupAgain();
    EXPECT_EQ(std::ranges::count(entries(), unplayable), 2);
}

TEST_F(Alerts, UnplayableSoundIsReportedWhenChosen) {
    ui.refuseWave("/sounds/broken.wav");
    show();
    for (const char* answer : {"/sounds/broken.wav", "", "/sounds/broken.wav", "/sounds/ok.wav"}) {
        ui.queueFileAnswer(answer);
    }
    for (int box : {OPT_ANCHORS_BOX, OPT_FLIP_BOX, OPT_GROUPING_BOX, OPT_PAIR_BOX}) {
        press(box);
    }
    EXPECT_EQ(entries(), Entries{"Alert sound cannot be played: /sounds/broken.wav"});
    EXPECT_TRUE(ui.playedWaves().empty()) << "choosing only looks at the file";
}

TEST_F(Alerts, EverySwitchOffMeansNoEntryNoSoundNoLatchChange) {
    show();
    ui.pickListItem(options, OPT_PAIR_LIST, 0);
    ui.pickListItem(options, OPT_SLOT_LIST, 0);
    inputs.topAnchorPair = "EURUSD";
    inputs.previousRefBias = 5;
    inputs.referenceBias = -5;
    for (int check = 1; check <= 4; ++check) {
        ui.setControlText(options, 2 * check + 1, "sound.wav"); // check k: box 2k, sound 2k + 1
        run(static_cast<AlertCheck>(check));
    }
    EXPECT_TRUE(entries().empty() && ui.playedWaves().empty());
    EXPECT_EQ(state.groupedAlertLatch, 0);
}

TEST_F(Alerts, CheckingABoxAsksForItsOwnSoundFile) {
    show();
    ui.queueFileAnswer("/sounds/anchor.wav");
    ui.queueFileAnswer("pair.wav");
    press(OPT_ANCHORS_BOX);
    press(OPT_PAIR_BOX);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text + "|" + control(OPT_PAIR_SOUND).text,
              "/sounds/anchor.wav|pair.wav");
    press(OPT_ANCHORS_BOX); // unchecking keeps the path and asks nothing
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "/sounds/anchor.wav");
    ui.queueFileAnswer(""); // cancelled
    press(OPT_ANCHORS_BOX);
    EXPECT_TRUE(control(OPT_ANCHORS_BOX).checked);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "");
}

TEST_F(Alerts, ExitHidesOnlyOnceThePairAlertIsComplete) {
    show();
    press(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());
    show();
    press(OPT_PAIR_BOX);
    press(OPT_EXIT_BUTTON);
    EXPECT_TRUE(visible());
    const std::vector<MessageBoxRecord>& shown = ui.messageBoxes();
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(std::tuple(shown[0].text, shown[0].style, shown[1].text, shown[1].style),
              std::tuple("Please Select a Pair or uncheck the box.", MB_EXCLAMATION,
                         "Please Select a Target Slot for the pair.", MB_INFORMATION));
    ui.pickListItem(options, OPT_PAIR_LIST, 3);
    ui.pickListItem(options, OPT_SLOT_LIST, 0);
    press(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());
    EXPECT_EQ(ui.messageBoxes().size(), 2U);
}

} // namespace
} // namespace vz
