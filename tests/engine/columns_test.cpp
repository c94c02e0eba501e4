#include "engine_fixture.h"

namespace vz::testing {
namespace {

const Pips BIAS_EXAMPLE = {10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10};
const Pips LADDER = {130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0};

class Columns : public EngineFixture {
protected:
    ColumnSet columns = initialColumns();

    TimeframeColumn& column(int k) { return columns[static_cast<std::size_t>(k - 1)]; }

    // What choosing a reference in the column's list does.
    void pick(int k, int index) {
        column(k).referenceIndex = index;
        column(k).markerState = MARKERS_SUPPRESSED;
        drawColumnUpArrow(host, k, MARKERS_SUPPRESSED, 0);
        rankColumn(column(k), k, market, host);
    }

    std::string marks(int k) {
        return EngineFixture::marks(host.windows.multiTimeframe, columnLayout(k).shaftX,
                                    MTF_ROW_TOP);
    }
};

TEST_F(Columns, PassPrintsFiguresAndFillsOnlyItsOwnBoxes) {
    setReference(Timeframe::Daily, 3, BIAS_EXAMPLE);
    pick(1, 3);
    const WindowHandle w = host.windows.multiTimeframe;
    EXPECT_EQ(ui.textAt(w, 25, 396), "Ref. Bias:  110    ");
    EXPECT_EQ(ui.textAt(w, 25, 411), "Buy Power:  40     ");
    EXPECT_EQ(ui.textAt(w, 25, 426), "Sell Power:  -70      ");
    EXPECT_EQ(mtfText(20), "GBPUSD");
    EXPECT_EQ(mtfText(40), " 10");
    EXPECT_EQ(mtfText(53), " -10");
    EXPECT_EQ(ui.control(w, 20)->backgroundColour, FIRST_GROUP_COLOUR);
    EXPECT_EQ(ui.control(w, 33)->backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(mtfText(60), "Pair1");
    rankColumn(column(3), 3, market, host); // no reference chosen yet
    EXPECT_EQ(mtfText(100), "Pair1");
    EXPECT_EQ(mtfText(120), "Price1");
    EXPECT_EQ(ui.textAt(w, 365, 396), "");
}

TEST_F(Columns, ShorterTimeframesReadTheirOwnHistory) {
    setReference(Timeframe::FourHour, 7, BIAS_EXAMPLE);
    setReference(Timeframe::OneHour, 2, LADDER);
    pick(4, 7);
    pick(5, 2);
    EXPECT_EQ(mtfText(140), "GBPUSD");
    EXPECT_EQ(mtfText(160), " 10");
    EXPECT_EQ(mtfText(180), "GBPUSD");
    EXPECT_EQ(mtfText(200), " 130");
    EXPECT_EQ(ui.textAt(host.windows.multiTimeframe, 700, 411), "Buy Power:  700     ");
}

TEST_F(Columns, SameDailyBarMatchesTheMainRanking) {
    market.referenceDayIndex = 5;
    pass(LADDER);
    pick(2, 5);
    for (int r = 0; r < PAIR_COUNT; ++r) {
        EXPECT_EQ(mtfText(60 + r), mainText(MAIN_NAME_BOX_FIRST + r));
        EXPECT_EQ(mtfText(80 + r), mainText(MAIN_PIPS_BOX_FIRST + r));
    }
    EXPECT_EQ(column(2).referenceBias, ranking.referenceBias);
}

TEST_F(Columns, ArrowsOnlyFromTheSecondPassAndOnlyForMovedRows) {
    setReference(Timeframe::Daily, 1, LADDER);
    pick(2, 1);
    EXPECT_EQ(marks(2), "..............");
    Pips moved = LADDER;
    std::swap(moved[3], moved[4]);
    setReference(Timeframe::Daily, 1, moved);
    rankColumn(column(2), 2, market, host);
    EXPECT_EQ(marks(2), "...UD.........");
    EXPECT_EQ(marks(1), "..............");
    pick(2, 1); // picking again erases the strip
    EXPECT_EQ(marks(2), "..............");
}

} // namespace
} // namespace vz::testing
