#include "engine_fixture.h"

#include "engine/ranking.h"
#include "engine/slot_arrows.h"

#include <algorithm>
#include <limits>

namespace vz::testing {
namespace {

constexpr int GBPUSD = 0;
constexpr int EURUSD = 7;
constexpr int EURCHF = 13;
constexpr float HUGE_PRICE = 99999999999.0F;

// Pips falling with the pair index, so the rows show the pair table order.
std::vector<int> descending() {
    std::vector<int> pips;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        pips.push_back(130 - 10 * pair);
    }
    return pips;
}

// The same ladder lower down, leaving room above it for a new top.
std::vector<int> low() {
    std::vector<int> pips;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        pips.push_back(40 - 10 * pair);
    }
    return pips;
}

std::vector<int> with(std::vector<int> pips, int pair, int value) {
    pips[static_cast<std::size_t>(pair)] = value;
    return pips;
}

std::vector<int> swapped(std::vector<int> pips, int a, int b) {
    std::swap(pips[static_cast<std::size_t>(a)], pips[static_cast<std::size_t>(b)]);
    return pips;
}

std::vector<std::string> containing(const std::vector<std::string>& entries,
                                    const std::string& part) {
    std::vector<std::string> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                 [&](const std::string& entry) { return entry.find(part) != std::string::npos; });
    return found;
}

class RankingPass : public EngineFixture {};

TEST_F(RankingPass, WritesRowsColoursAndPipsTexts) {
    pass(with(descending(), EURUSD, 500));
    EXPECT_EQ(mainText(MAIN_NAME_BOX_FIRST), "EURUSD");
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST), " 500");
    EXPECT_EQ(mainText(MAIN_NAME_BOX_FIRST + 1), "GBPUSD");
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST + 13), " 0");
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST + 12), " 10");
    const ControlState* top = ui.control(host.windows.main, MAIN_NAME_BOX_FIRST);
    EXPECT_EQ(top->textColour, BLACK);
    EXPECT_EQ(top->backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(ui.control(host.windows.main, MAIN_NAME_BOX_FIRST + 1)->backgroundColour,
              FIRST_GROUP_COLOUR);
    EXPECT_EQ(ranking.rowSymbols[0], "EURUSD");
    EXPECT_EQ(ranking.rowPipsTexts[12], " 10");
    EXPECT_EQ(ranking.pairPips[EURUSD], 500);
    EXPECT_EQ(ranking.pairSlot[EURUSD], 0);
    EXPECT_EQ(ranking.pairSlot[GBPUSD], 1);
    EXPECT_EQ(ranking.pairSlot[EURCHF], 13);
}

TEST_F(RankingPass, DerivesBiasFigures) {
    pass({10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10});
    EXPECT_EQ(ranking.buyPower, 40);
    EXPECT_EQ(ranking.sellPower, -70);
    EXPECT_EQ(ranking.referenceBias, 110);
    EXPECT_EQ(ranking.basketBias, -30);
    EXPECT_EQ(ranking.previousRefBias, 110);
}

TEST_F(RankingPass, AnchorBiasIsTheSumOfBothEnds) {
    pass({120, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -80});
    EXPECT_EQ(ranking.anchorBias, 40);
}

TEST_F(RankingPass, ReferenceComesFromTheChosenDailyRecord) {
    market.referenceDayIndex = 4;
    market.history.bar(Timeframe::Daily, GBPUSD, 4).price = 1.9850F;
    market.history.bar(Timeframe::Daily, EURUSD, 4).price = 1.4750F;
    market.livePrices[GBPUSD] = 1.9900F;
    market.livePrices[EURUSD] = 1.4700F;
    rankMainSlots(ranking, market, alerts, host);
    EXPECT_EQ(ranking.pairPips[GBPUSD], 50);
    EXPECT_EQ(ranking.pairPips[EURUSD], 50);
}

TEST_F(RankingPass, HugePricesSaturateEveryFigure) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        market.history.bar(Timeframe::Daily, pair, 0).price = HUGE_PRICE;
        market.livePrices[static_cast<std::size_t>(pair)] = 1.0F;
    }
    rankMainSlots(ranking, market, alerts, host);
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ranking.pairPips[GBPUSD], least);
    EXPECT_EQ(ranking.pairPips[EURUSD], most);
    EXPECT_EQ(ranking.buyPower, least);
    EXPECT_EQ(ranking.sellPower, most);
    EXPECT_EQ(ranking.referenceBias, least);
    EXPECT_EQ(ranking.basketBias, -1);
    EXPECT_EQ(ranking.anchorBias, -1);
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST), " 2147483647");
}

class Anchors : public EngineFixture {};

TEST_F(Anchors, FirstPassRecordsBothEndsSilently) {
    pass(low());
    EXPECT_EQ(ranking.topAnchorPair, "GBPUSD");
    EXPECT_EQ(ranking.topAnchorPips, 40);
    EXPECT_EQ(ranking.bottomAnchorPair, "EURCHF");
    EXPECT_EQ(ranking.bottomAnchorPips, -90);
    EXPECT_TRUE(logEntries().empty());
}

TEST_F(Anchors, NewTopMustMoveMoreThanFivePips) {
    pass(with(low(), GBPUSD, 100));
    pass(with(low(), GBPUSD, 300)); // the same pair keeps its recorded pips
    EXPECT_EQ(ranking.topAnchorPips, 100);
    pass(with(with(low(), GBPUSD, 50), 1, 105));
    EXPECT_TRUE(logEntries().empty());
    EXPECT_EQ(ranking.topAnchorPair, "GBPUSD");
    EXPECT_EQ(ranking.topAnchorPips, 100);
    pass(with(with(low(), GBPUSD, 50), 1, 106));
    EXPECT_EQ(logEntries(), std::vector<std::string>{"New +anchor: EURGBP: 106"});
    EXPECT_EQ(ranking.topAnchorPair, "EURGBP");
    EXPECT_EQ(ranking.topAnchorPips, 106);
}

TEST_F(Anchors, OpposingTopAnchorFollowsTheAnnouncement) {
    arm(OPT_ANCHORS_BOX, "anchor.wav");
    pass(with(low(), GBPUSD, 100));
    pass(with(with(low(), GBPUSD, 100), EURUSD, 110));
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"New +anchor: EURUSD: 110",
                                                      "New opposing top anchor: EURUSD: 110"}));
    EXPECT_EQ(ui.playedWaves(), std::vector<std::string>{"anchor.wav"});
}

TEST_F(Anchors, SameHalfTakeoverIsOnlyAnnounced) {
    arm(OPT_ANCHORS_BOX, "anchor.wav");
    pass(with(low(), GBPUSD, 100));
    pass(with(with(low(), GBPUSD, 100), 2, 110));
    EXPECT_EQ(logEntries(), std::vector<std::string>{"New +anchor: GBPJPY: 110"});
    EXPECT_TRUE(ui.playedWaves().empty());
}

TEST_F(Anchors, BothEndsInOnePassCheckAgainstTheOldBottomTwice) {
    arm(OPT_ANCHORS_BOX);
    pass(with(low(), EURCHF, -100));
    pass(with(with(with(low(), EURCHF, -100), EURUSD, 200), 2, -110));
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"New +anchor: EURUSD: 200",
                                                      "New opposing top anchor: EURUSD: 200",
                                                      "New opposing bottom anchor: GBPJPY: -110",
                                                      "New -anchor: GBPJPY: -110",
                                                      "New opposing bottom anchor: GBPJPY: -110"}));
    EXPECT_EQ(ranking.bottomAnchorPair, "GBPJPY");
    EXPECT_EQ(ranking.bottomAnchorPips, -110);
}

TEST_F(Anchors, ShiftAcrossTheWholeRangeDoesNotWrap) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        market.livePrices[static_cast<std::size_t>(pair)] = pair == EURUSD ? 0.0F : 1.0F;
        market.history.bar(Timeframe::Daily, pair, 0).price = pair == EURUSD ? HUGE_PRICE : 1.0F;
    }
    rankMainSlots(ranking, market, alerts, host);
    ASSERT_EQ(ranking.topAnchorPair, "EURUSD");
    // Every pair now at the bottom of the range: the top falls by almost 2^32 pips.
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const bool first = inFirstHalf(pair);
        market.livePrices[static_cast<std::size_t>(pair)] = first ? 0.0F : HUGE_PRICE;
        market.history.bar(Timeframe::Daily, pair, 0).price = first ? HUGE_PRICE : 0.0F;
    }
    rankMainSlots(ranking, market, alerts, host);
    EXPECT_EQ(containing(logEntries(), "+anchor"),
              std::vector<std::string>{"New +anchor: GBPUSD: -2147483648"});
}

TEST_F(Anchors, NewReferenceDayForgetsAnchorsAndBias) {
    arm(OPT_FLIP_BOX);
    pass(descending());
    resetForNewReferenceDay(ranking);
    EXPECT_TRUE(ranking.topAnchorPair.empty());
    EXPECT_EQ(ranking.previousRefBias, NO_PREVIOUS_BIAS);
    EXPECT_EQ(ranking.slotMarkerState, MARKERS_SUPPRESSED);
    const std::vector<int> ladder = descending();
    pass(std::vector<int>(ladder.rbegin(), ladder.rend()));
    EXPECT_TRUE(logEntries().empty());
    EXPECT_EQ(ranking.topAnchorPair, "EURCHF");
    EXPECT_EQ(ranking.bottomAnchorPair, "GBPUSD");
}

class BiasFlips : public EngineFixture {
protected:
    // The reference bias equals GBPUSD's pips while every other pair stands still.
    void passWithBias(int bias) { pass(with(std::vector<int>(PAIR_COUNT, 0), GBPUSD, bias)); }
    std::vector<std::string> flips() { return containing(logEntries(), "Flipped"); }
};

TEST_F(BiasFlips, SignChangesAreAnnouncedAndZeroIsTheStart) {
    arm(OPT_FLIP_BOX, "flip.wav");
    for (int bias : {12, -3, 0, 5}) {
        passWithBias(bias);
    }
    EXPECT_EQ(flips(), (std::vector<std::string>{"Reference Bias Flipped Negative!",
                                                 "Reference Bias Flipped Positive!"}));
    EXPECT_EQ(ui.playedWaves(), (std::vector<std::string>{"flip.wav", "flip.wav"}));
}

TEST_F(BiasFlips, RealBiasOf9999IsStillAPreviousPass) {
    arm(OPT_FLIP_BOX);
    for (int bias : {0, 9999, -5}) {
        passWithBias(bias);
    }
    EXPECT_EQ(flips(), (std::vector<std::string>{"Reference Bias Flipped Positive!",
                                                 "Reference Bias Flipped Negative!"}));
}

TEST_F(BiasFlips, FirstPassNeverChecks) {
    arm(OPT_FLIP_BOX);
    ranking.previousRefBias = 5;
    passWithBias(-5);
    EXPECT_TRUE(flips().empty());
}

TEST_F(RankingPass, EndOfPassChecksGroupingThenPairInSlot) {
    arm(OPT_GROUPING_BOX, "group.wav");
    arm(OPT_PAIR_BOX, "pair.wav");
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, EURUSD);
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 0);
    pass(with(std::vector<int>(PAIR_COUNT, -10), EURUSD, 50));
    pass(with(std::vector<int>(PAIR_COUNT, -10), EURUSD, 60));
    EXPECT_EQ(logEntries(), std::vector<std::string>{"Pair: EURUSD is in slot:  1"});
    EXPECT_FALSE(ui.isChecked(host.windows.options, OPT_PAIR_BOX));
    pass(descending());
    EXPECT_EQ(logEntries(),
              (std::vector<std::string>{"Pair: EURUSD is in slot:  1", "New +anchor: GBPUSD: 130",
                                        "Pairs are perfectly grouped."}));
    EXPECT_EQ(ui.playedWaves(), (std::vector<std::string>{"pair.wav", "group.wav"}));
}

class MainArrows : public EngineFixture {
protected:
    static int rowTop(int row) { return MAIN_ROW_TOP + ROW_PITCH * row; }
    Colour at(int x, int row, int dy) { return ui.pixel(host.windows.main, x, rowTop(row) + dy); }

    bool cellHolds(int row, Colour colour) {
        for (int x = 3; x < 18; ++x) {
            for (int y = rowTop(row) - 1; y < rowTop(row) + 21; ++y) {
                if (ui.pixel(host.windows.main, x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
    bool cellBlank(int row) {
        return !cellHolds(row, UP_ARROW_COLOUR) && !cellHolds(row, DOWN_ARROW_COLOUR);
    }
};

TEST_F(MainArrows, FirstPassDrawsNone) {
    pass(with(descending(), EURCHF, 900));
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_TRUE(cellBlank(row)) << row;
    }
    EXPECT_EQ(ranking.slotMarkerState, 0);
}

TEST_F(MainArrows, SwappedRowsGetUpAndDownArrows) {
    pass(descending());
    pass(swapped(descending(), 3, 4));
    EXPECT_EQ(at(10, 3, 5), UP_ARROW_COLOUR);
    EXPECT_EQ(at(11, 3, 0), UP_ARROW_COLOUR);
    EXPECT_EQ(at(10, 3, 20), BACKGROUND_COLOUR); // the shaft stops short of its end point
    EXPECT_EQ(at(10, 4, 5), DOWN_ARROW_COLOUR);
    EXPECT_EQ(at(10, 4, 20), DOWN_ARROW_COLOUR); // the down arrow's tip
    for (int row : {0, 1, 2, 5, 13}) {
        EXPECT_TRUE(cellBlank(row)) << row;
    }
}

TEST_F(MainArrows, UnmovedRowKeepsItsArrow) {
    pass(descending());
    pass(swapped(descending(), 3, 4));
    pass(swapped(swapped(descending(), 3, 4), 0, 1));
    EXPECT_EQ(at(10, 3, 5), UP_ARROW_COLOUR);
    EXPECT_EQ(at(10, 4, 5), DOWN_ARROW_COLOUR);
    EXPECT_EQ(at(10, 0, 5), UP_ARROW_COLOUR);
    EXPECT_EQ(at(10, 1, 5), DOWN_ARROW_COLOUR);
}

TEST_F(MainArrows, NewReferenceDayErasesEveryCell) {
    pass(descending());
    pass(swapped(descending(), 3, 4));
    resetForNewReferenceDay(ranking);
    drawUpArrow(host, ranking.slotMarkerState, 0);
    EXPECT_TRUE(cellBlank(3));
    EXPECT_TRUE(cellBlank(4));
    pass(descending());
    for (int row = 0; row < PAIR_COUNT; ++row) {
        EXPECT_TRUE(cellBlank(row)) << row;
    }
}

TEST_F(MainArrows, SuppressedDownArrowLeavesCellsAlone) {
    drawUpArrow(host, 0, 6);
    drawDownArrow(host, MARKERS_SUPPRESSED, 6);
    drawDownArrow(host, MARKERS_SUPPRESSED, 7);
    EXPECT_EQ(at(10, 6, 5), UP_ARROW_COLOUR);
    EXPECT_TRUE(cellBlank(7));
}

} // namespace
} // namespace vz::testing
