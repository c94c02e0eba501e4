#include "engine_fixture.h"

#include <algorithm>

namespace vz::testing {
namespace {

constexpr int GBPUSD = 0;
constexpr int EURGBP = 1;
constexpr int GBPJPY = 2;
constexpr int EURUSD = 7;
constexpr int EURCHF = 13;
constexpr float HUGE_PRICE = 99999999999.0F;

// Pips falling by 10 with the pair index from `top`, so the rows show the pair table order.
Pips ladder(int top = 130) {
    Pips pips;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        pips.push_back(top - 10 * pair);
    }
    return pips;
}

Pips with(Pips pips, int pair, int value) {
    pips[static_cast<std::size_t>(pair)] = value;
    return pips;
}

Pips swapped(Pips pips, int a, int b) {
    std::swap(pips[static_cast<std::size_t>(a)], pips[static_cast<std::size_t>(b)]);
    return pips;
}

using Entries = std::vector<std::string>;

class RankingPass : public EngineFixture {
protected:
    // Every pair at `live` against a daily reference of `reference` (or its mirror image).
    void passAtExtremes(float live, float reference, bool mirrorSecondHalf) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const bool mirrored = mirrorSecondHalf && !inFirstHalf(pair);
            market.livePrices[static_cast<std::size_t>(pair)] = mirrored ? reference : live;
            market.history.bar(Timeframe::Daily, pair, 0).price = mirrored ? live : reference;
        }
        rankMainSlots(ranking, market, alerts, host);
    }
};

TEST_F(RankingPass, WritesRowsColoursSlotsAndAnchorBias) {
    pass(with(ladder(), EURUSD, 500));
    EXPECT_EQ(mainText(MAIN_NAME_BOX_FIRST), "EURUSD");
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST), " 500");
    const ControlState* top = ui.control(host.windows.main, MAIN_NAME_BOX_FIRST);
    EXPECT_EQ(top->textColour, BLACK);
    EXPECT_EQ(top->backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(ui.control(host.windows.main, MAIN_NAME_BOX_FIRST + 1)->backgroundColour,
              FIRST_GROUP_COLOUR);
    EXPECT_EQ(ranking.pairSlot[EURUSD], 0);
    EXPECT_EQ(ranking.pairSlot[EURCHF], 13);
    pass(with(with(Pips(PAIR_COUNT, 0), GBPUSD, 120), EURCHF, -80));
    EXPECT_EQ(ranking.anchorBias, 40);
}

TEST_F(RankingPass, HugePricesSaturateEveryFigure) {
    passAtExtremes(1.0F, HUGE_PRICE, false);
    EXPECT_EQ(ranking.buyPower, LEAST);
    EXPECT_EQ(ranking.sellPower, MOST);
    EXPECT_EQ(ranking.referenceBias, LEAST);
    EXPECT_EQ(ranking.basketBias, -1);
    EXPECT_EQ(ranking.anchorBias, -1);
    EXPECT_EQ(mainText(MAIN_PIPS_BOX_FIRST), " 2147483647");
    // Every pair to the other end of the range: the top anchor falls by almost 2^32 pips.
    passAtExtremes(0.0F, HUGE_PRICE, true);
    EXPECT_EQ(logEntries("+anchor"), Entries{"New +anchor: GBPUSD: -2147483648"});
}

TEST_F(RankingPass, EndOfPassChecksGroupingThenPairInSlot) {
    arm(OPT_GROUPING_BOX, "group.wav");
    arm(OPT_PAIR_BOX, "pair.wav");
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, EURUSD);
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 0);
    pass(with(Pips(PAIR_COUNT, -10), EURUSD, 50));
    pass(with(Pips(PAIR_COUNT, -10), EURUSD, 60));
    EXPECT_EQ(logEntries(), Entries{"Pair: EURUSD is in slot:  1"});
    pass(ladder());
    EXPECT_EQ(logEntries(), (Entries{"Pair: EURUSD is in slot:  1", "New +anchor: GBPUSD: 130",
                                     "Pairs are perfectly grouped."}));
    EXPECT_EQ(ui.playedWaves(), (Entries{"pair.wav", "group.wav"}));
}

class Anchors : public EngineFixture {};

TEST_F(Anchors, FirstPassRecordsThenTopMustMoveMoreThanFivePips) {
    pass(with(ladder(40), GBPUSD, 100));
    EXPECT_EQ(ranking.bottomAnchorPair, "EURCHF");
    pass(with(ladder(40), GBPUSD, 300)); // the same pair keeps its recorded pips
    EXPECT_EQ(ranking.topAnchorPips, 100);
    pass(with(with(ladder(40), GBPUSD, 50), EURGBP, 105));
    EXPECT_TRUE(logEntries().empty());
    EXPECT_EQ(ranking.topAnchorPair, "GBPUSD");
    pass(with(with(ladder(40), GBPUSD, 50), EURGBP, 106));
    EXPECT_EQ(logEntries(), Entries{"New +anchor: EURGBP: 106"});
    EXPECT_EQ(ranking.topAnchorPair, "EURGBP");
    EXPECT_EQ(ranking.topAnchorPips, 106);
}

TEST_F(Anchors, OnlyATakeoverByTheOtherHalfIsOpposing) {
    arm(OPT_ANCHORS_BOX, "anchor.wav");
    pass(with(ladder(40), GBPUSD, 100));
    pass(with(with(ladder(40), GBPUSD, 100), GBPJPY, 110));
    EXPECT_EQ(logEntries(), Entries{"New +anchor: GBPJPY: 110"});
    pass(with(with(ladder(40), GBPJPY, 110), EURUSD, 120));
    EXPECT_EQ(logEntries(), (Entries{"New +anchor: GBPJPY: 110", "New +anchor: EURUSD: 120",
                                     "New opposing top anchor: EURUSD: 120"}));
    EXPECT_EQ(ui.playedWaves(), Entries{"anchor.wav"});
}

TEST_F(Anchors, BothEndsInOnePassCheckAgainstTheOldBottomTwice) {
    arm(OPT_ANCHORS_BOX);
    pass(with(ladder(40), EURCHF, -100));
    pass(with(with(with(ladder(40), EURCHF, -100), EURUSD, 200), GBPJPY, -110));
    EXPECT_EQ(logEntries(),
              (Entries{"New +anchor: EURUSD: 200", "New opposing top anchor: EURUSD: 200",
                       "New opposing bottom anchor: GBPJPY: -110", "New -anchor: GBPJPY: -110",
                       "New opposing bottom anchor: GBPJPY: -110"}));
    EXPECT_EQ(ranking.bottomAnchorPips, -110);
}

// The reference bias equals GBPUSD's pips while every other pair stands still.
TEST_F(Anchors, BiasFlipsAcrossZeroFromTheSecondPass) {
    arm(OPT_FLIP_BOX, "flip.wav");
    ranking.previousRefBias = -5; // not a previous pass: the first pass never checks
    for (int bias : {12, -3, 0, 5, 9999, -5}) {
        pass(with(Pips(PAIR_COUNT, 0), GBPUSD, bias));
    }
    EXPECT_EQ(logEntries("Flipped"),
              (Entries{"Reference Bias Flipped Negative!", "Reference Bias Flipped Positive!",
                       "Reference Bias Flipped Negative!"}));
    EXPECT_EQ(ui.playedWaves().size(), 3U);
}

class MainArrows : public EngineFixture {
protected:
    Colour at(int x, int row, int dy) {
        return ui.pixel(host.windows.main, x, MAIN_ROW_TOP + ROW_PITCH * row + dy);
    }
    std::string marks() { return EngineFixture::marks(host.windows.main, 10, MAIN_ROW_TOP); }
};

TEST_F(MainArrows, SwappedRowsGetArrowsFromTheSecondPassAndKeepThem) {
    pass(ladder());
    EXPECT_EQ(marks(), "..............");
    pass(swapped(ladder(), 3, 4));
    EXPECT_EQ(marks(), "...UD.........");
    EXPECT_EQ(at(11, 3, 0), UP_ARROW_COLOUR);
    EXPECT_EQ(at(10, 3, 20), BACKGROUND_COLOUR); // the shaft stops short of its end point
    EXPECT_EQ(at(10, 4, 20), DOWN_ARROW_COLOUR); // the down arrow's tip
    pass(swapped(swapped(ladder(), 3, 4), 0, 1));
    EXPECT_EQ(marks(), "UD.UD.........");
}

TEST_F(MainArrows, NewReferenceDayStartsOverSilently) {
    arm(OPT_FLIP_BOX);
    pass(ladder());
    pass(swapped(ladder(), 3, 4));
    resetForNewReferenceDay(ranking);
    EXPECT_TRUE(ranking.topAnchorPair.empty());
    EXPECT_EQ(ranking.slotMarkerState, MARKERS_SUPPRESSED);
    drawUpArrow(host, ranking.slotMarkerState, 0); // erases every cell
    Pips reversed = ladder();
    std::ranges::reverse(reversed);
    pass(reversed);
    EXPECT_EQ(marks(), "..............");
    EXPECT_TRUE(logEntries().empty());
    EXPECT_EQ(ranking.topAnchorPair, "EURCHF");
    EXPECT_EQ(ranking.bottomAnchorPair, "GBPUSD");
}

} // namespace
} // namespace vz::testing
