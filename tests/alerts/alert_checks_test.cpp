#include "alerts/alert_checks.h"
#include "alerts/alert_options.h"
#include "logging/event_log.h"
#include "market/pairs.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz {
namespace {

using Rows = std::array<std::string, 14>;
using Entries = std::vector<std::string>;

// The pair table rotated by `shift` rows: 0 and 7 are grouped, anything else is not.
Rows rotated(std::size_t shift) {
    Rows rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = std::string(PAIR_TABLE[(i + shift) % 14]);
    }
    return rows;
}

class AlertChecks : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    AlertState state;
    Rows symbols = rotated(0);
    Rows pipsTexts{};
    Rows groupList = rotated(0);
    AlertInputs inputs;

    void SetUp() override {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
        host.windows.options = buildOptionsWindow(host, {});
        inputs.rowSymbols = &symbols;
        inputs.rowPipsTexts = &pipsTexts;
        inputs.groupList = &groupList;
    }

    void arm(int box, const std::string& sound = "") {
        ui.setChecked(host.windows.options, box, true);
        ui.setControlText(host.windows.options, box + 1, sound);
    }
    void run(AlertCheck check) { runAlertCheck(check, inputs, state, host); }

    Entries entries() {
        Entries found;
        for (int row = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            found.push_back(ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2));
        }
        return found;
    }
};

TEST_F(AlertChecks, BiasFlipsOnlyAcrossZero) {
    arm(OPT_FLIP_BOX);
    struct Case {
        int previous;
        int current;
        const char* entry;
    };
    const Case cases[] = {{12, -3, "Reference Bias Flipped Negative!"},
                          {-3, 0, nullptr},
                          {0, 5, "Reference Bias Flipped Positive!"},
                          {0, -1, "Reference Bias Flipped Negative!"},
                          {0, 0, nullptr},
                          {-5, -7, nullptr}};
    for (const Case& c : cases) {
        ui.reportClear(host.windows.main, EVENT_LOG_LIST);
        inputs.previousRefBias = c.previous;
        inputs.referenceBias = c.current;
        run(AlertCheck::RefBiasFlip);
        EXPECT_EQ(entries(), c.entry ? Entries{c.entry} : Entries{})
            << c.previous << " -> " << c.current;
    }
    EXPECT_TRUE(ui.playedWaves().empty()); // empty sound field plays nothing
}

TEST_F(AlertChecks, GroupingIsAnnouncedOnceUntilItBreaksEvenWhileSwitchedOff) {
    arm(OPT_GROUPING_BOX, "group.wav");
    const auto passWith = [this](std::size_t shift) {
        symbols = rotated(shift);
        run(AlertCheck::Grouping);
        return entries().size();
    };
    EXPECT_EQ(passWith(0), 1U);
    EXPECT_EQ(passWith(0), 1U);
    ui.setChecked(host.windows.options, OPT_GROUPING_BOX, false);
    passWith(1);
    EXPECT_EQ(state.groupedAlertLatch, 1); // a switched-off check leaves the latch alone
    ui.setChecked(host.windows.options, OPT_GROUPING_BOX, true);
    EXPECT_EQ(passWith(7), 1U);
    passWith(1);
    EXPECT_EQ(state.groupedAlertLatch, 0);
    EXPECT_EQ(passWith(7), 2U); // second half on top is grouped too
    EXPECT_EQ(entries().back(), "Pairs are perfectly grouped.");
    EXPECT_EQ(ui.playedWaves(), (Entries{"group.wav", "group.wav"}));
}

TEST_F(AlertChecks, PairInSlotFiresOnceAndDisarms) {
    arm(OPT_PAIR_BOX, "pair.wav");
    symbols[0] = "EURUSD";
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, 7);
    run(AlertCheck::PairInSlot); // no slot chosen: never fires
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 1);
    run(AlertCheck::PairInSlot); // not the chosen slot
    EXPECT_TRUE(entries().empty());
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 0);
    run(AlertCheck::PairInSlot);
    run(AlertCheck::PairInSlot);
    EXPECT_EQ(entries(), Entries{"Pair: EURUSD is in slot:  1"});
    EXPECT_FALSE(ui.isChecked(host.windows.options, OPT_PAIR_BOX));
    EXPECT_EQ(ui.playedWaves(), Entries{"pair.wav"});
}

TEST_F(AlertChecks, EverySwitchOffMeansNoEntryNoSoundNoLatchChange) {
    for (int box : {OPT_ANCHORS_BOX, OPT_FLIP_BOX, OPT_GROUPING_BOX, OPT_PAIR_BOX}) {
        ui.setControlText(host.windows.options, box + 1, "sound.wav");
    }
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, 0);
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 0);
    inputs.topAnchorPair = "EURUSD";
    inputs.previousRefBias = 5;
    inputs.referenceBias = -5;
    for (AlertCheck check : {AlertCheck::OpposingAnchors, AlertCheck::RefBiasFlip,
                             AlertCheck::Grouping, AlertCheck::PairInSlot}) {
        run(check);
    }
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(ui.playedWaves().empty());
    EXPECT_EQ(state.groupedAlertLatch, 0);
}

} // namespace
} // namespace vz
