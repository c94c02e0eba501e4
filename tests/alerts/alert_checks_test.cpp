#include "alerts/alert_checks.h"
#include "alerts/alert_options.h"
#include "logging/event_log.h"
#include "market/pairs.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vz {
namespace {

class NoFiles final : public FileSystem {
public:
    std::unique_ptr<TextFile> openFile(const std::string&, FileMode) override { return nullptr; }
    bool exists(const std::string&) override { return false; }
};

using Rows = std::array<std::string, 14>;

Rows tableOrder() {
    Rows rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = std::string(PAIR_TABLE[i]);
    }
    return rows;
}

// Second half on top, first half below.
Rows halvesSwapped() {
    Rows rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = std::string(PAIR_TABLE[(i + 7) % 14]);
    }
    return rows;
}

Rows mixed() {
    Rows rows = tableOrder();
    std::swap(rows[6], rows[7]);
    return rows;
}

class AlertChecks : public ::testing::Test {
protected:
    HeadlessUi ui;
    NoFiles files;
    FixedClock clock;
    Host host{ui, files, clock};
    AlertState state;
    Rows symbols = tableOrder();
    Rows pipsTexts{};
    Rows groupList = tableOrder();
    AlertInputs inputs;

    void SetUp() override {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
        const WindowHandle w = ui.openWindow(0, 0, 400, 300, WINDOW_POPUP, "options", {});
        host.windows.options = w;
        for (int box : {OPT_ANCHORS_BOX, OPT_FLIP_BOX, OPT_GROUPING_BOX, OPT_PAIR_BOX}) {
            ui.createControl(w, ControlKind::CheckBox, "", 5, 5 * box, 100, 20, STYLE_CHECK_BOX,
                             box);
            ui.createControl(w, ControlKind::TextBox, "", 120, 5 * box, 100, 20, STYLE_TEXT_PLAIN,
                             box + 1);
        }
        for (int list : {OPT_PAIR_LIST, OPT_SLOT_LIST}) {
            ui.createControl(w, ControlKind::DropList, "", 5, 20 * list, 80, 100, STYLE_DROP_LIST,
                             list);
        }
        for (int i = 0; i < PAIR_COUNT; ++i) {
            ui.addListItem(w, OPT_PAIR_LIST, PAIR_TABLE[static_cast<std::size_t>(i)]);
            ui.addListItem(w, OPT_SLOT_LIST, std::to_string(i + 1));
            pipsTexts[static_cast<std::size_t>(i)] = " " + std::to_string(100 - 10 * i);
        }
        inputs.rowSymbols = &symbols;
        inputs.rowPipsTexts = &pipsTexts;
        inputs.groupList = &groupList;
    }

    void arm(int box, const std::string& sound = "") {
        ui.setChecked(host.windows.options, box, true);
        ui.setControlText(host.windows.options, box + 1, sound);
    }
    void run(AlertCheck check) { runAlertCheck(check, inputs, state, host); }

    std::vector<std::string> entries() {
        std::vector<std::string> found;
        for (int row = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            found.push_back(ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2));
        }
        return found;
    }
};

class OpposingAnchors : public AlertChecks {
protected:
    void SetUp() override {
        AlertChecks::SetUp();
        arm(OPT_ANCHORS_BOX, "anchor.wav");
        inputs.topAnchorPair = "GBPUSD";
        inputs.bottomAnchorPair = "EURCHF";
    }
};

TEST_F(OpposingAnchors, OtherHalfTakingTheTopIsReported) {
    symbols[0] = "EURUSD";
    run(AlertCheck::OpposingAnchors);
    EXPECT_EQ(entries(), std::vector<std::string>{"New opposing top anchor: EURUSD: 100"});
    EXPECT_EQ(ui.playedWaves(), std::vector<std::string>{"anchor.wav"});
}

TEST_F(OpposingAnchors, BothEndsAreCheckedOnEveryCall) {
    symbols[0] = "EURUSD";
    symbols[13] = "GBPUSD";
    run(AlertCheck::OpposingAnchors);
    EXPECT_EQ(entries(), (std::vector<std::string>{"New opposing top anchor: EURUSD: 100",
                                                   "New opposing bottom anchor: GBPUSD: -30"}));
    EXPECT_EQ(ui.playedWaves().size(), 2U);
}

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
                          {5, 7, nullptr},
                          {-5, -7, nullptr}};
    for (const Case& c : cases) {
        ui.reportClear(host.windows.main, EVENT_LOG_LIST);
        inputs.previousRefBias = c.previous;
        inputs.referenceBias = c.current;
        run(AlertCheck::RefBiasFlip);
        const std::vector<std::string> expected =
            c.entry ? std::vector<std::string>{c.entry} : std::vector<std::string>{};
        EXPECT_EQ(entries(), expected) << c.previous << " -> " << c.current;
    }
    EXPECT_TRUE(ui.playedWaves().empty()); // empty sound field plays nothing
}

class Grouping : public AlertChecks {
protected:
    void passWith(const Rows& rows) {
        symbols = rows;
        run(AlertCheck::Grouping);
    }
    std::size_t announced() { return entries().size(); }
};

TEST_F(Grouping, AnnouncedOnceUntilTheGroupingBreaks) {
    arm(OPT_GROUPING_BOX, "group.wav");
    passWith(tableOrder());
    passWith(tableOrder());
    EXPECT_EQ(entries(), std::vector<std::string>{"Pairs are perfectly grouped."});
    EXPECT_EQ(state.groupedAlertLatch, 1);
    passWith(mixed());
    EXPECT_EQ(state.groupedAlertLatch, 0);
    EXPECT_EQ(announced(), 1U);
    passWith(halvesSwapped());
    EXPECT_EQ(announced(), 2U);
    EXPECT_EQ(ui.playedWaves(), (std::vector<std::string>{"group.wav", "group.wav"}));
}

TEST_F(Grouping, UncheckedBoxKeepsTheLatch) {
    arm(OPT_GROUPING_BOX);
    passWith(tableOrder());
    ui.setChecked(host.windows.options, OPT_GROUPING_BOX, false);
    passWith(mixed());
    EXPECT_EQ(state.groupedAlertLatch, 1);
    ui.setChecked(host.windows.options, OPT_GROUPING_BOX, true);
    passWith(halvesSwapped());
    EXPECT_EQ(announced(), 1U);
    passWith(mixed());
    passWith(tableOrder());
    EXPECT_EQ(announced(), 2U);
}

class PairInSlot : public AlertChecks {
protected:
    void choose(int pair, int slot) {
        ui.pickListItem(host.windows.options, OPT_PAIR_LIST, pair);
        ui.pickListItem(host.windows.options, OPT_SLOT_LIST, slot);
    }
};

TEST_F(PairInSlot, FiresOnceAndDisarms) {
    arm(OPT_PAIR_BOX, "pair.wav");
    symbols[0] = "EURUSD";
    choose(7, 0);
    run(AlertCheck::PairInSlot);
    run(AlertCheck::PairInSlot);
    EXPECT_EQ(entries(), std::vector<std::string>{"Pair: EURUSD is in slot:  1"});
    EXPECT_FALSE(ui.isChecked(host.windows.options, OPT_PAIR_BOX));
    EXPECT_EQ(ui.playedWaves(), std::vector<std::string>{"pair.wav"});
}

TEST_F(PairInSlot, WaitsWhileThePairIsElsewhere) {
    arm(OPT_PAIR_BOX);
    choose(2, 13);
    run(AlertCheck::PairInSlot);
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(ui.isChecked(host.windows.options, OPT_PAIR_BOX));
    symbols[13] = "GBPJPY";
    run(AlertCheck::PairInSlot);
    EXPECT_EQ(entries(), std::vector<std::string>{"Pair: GBPJPY is in slot:  14"});
}

TEST_F(PairInSlot, IncompleteChoiceNeverFires) {
    arm(OPT_PAIR_BOX);
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, 0);
    run(AlertCheck::PairInSlot);
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(ui.isChecked(host.windows.options, OPT_PAIR_BOX));
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
