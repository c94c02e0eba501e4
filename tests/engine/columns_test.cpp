#include "engine_fixture.h"

#include "engine/columns.h"
#include "engine/slot_arrows.h"

namespace vz::testing {
namespace {

constexpr int EURUSD = 7;

class Columns : public EngineFixture {
protected:
    ColumnSet columns = initialColumns();

    TimeframeColumn& column(int k) { return columns[static_cast<std::size_t>(k - 1)]; }

    // Reference bar `index` of the timeframe holds the given pips below 1.0
    // (above it for the second half), with live prices of 1.0.
    void setReference(Timeframe timeframe, int index, const std::vector<int>& pips) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto p = static_cast<std::size_t>(pair);
            market.livePrices[p] = 1.0F;
            const float move = static_cast<float>(pips[p]) / static_cast<float>(pipFactor(pair));
            market.history.bar(timeframe, pair, index).price =
                inFirstHalf(pair) ? 1.0F - move : 1.0F + move;
        }
    }

    void pick(int k, int index) {
        column(k).referenceIndex = index;
        column(k).markerState = MARKERS_SUPPRESSED;
        drawColumnUpArrow(host, k, MARKERS_SUPPRESSED, 0);
        rankColumn(column(k), k, market, host);
    }

    std::vector<std::string> shownRows(int k) {
        std::vector<std::string> rows;
        for (int r = 0; r < PAIR_COUNT; ++r) {
            const int box = columnLayout(k).firstNameBox + r;
            rows.push_back(mtfText(box) + "|" + mtfText(box + 20));
        }
        return rows;
    }

    Colour at(int x, int row, int dy) {
        return ui.pixel(host.windows.multiTimeframe, x, MTF_ROW_TOP + ROW_PITCH * row + dy);
    }
};

const std::vector<int> BIAS_EXAMPLE = {10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10};
const std::vector<int> LADDER = {130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0};

std::vector<int> eurusdOnTop() {
    std::vector<int> pips = LADDER;
    pips[EURUSD] = 500;
    return pips;
}

TEST_F(Columns, StartWithoutReferenceAndWithTheirTimeframes) {
    const Timeframe expected[] = {Timeframe::Daily, Timeframe::Daily, Timeframe::Daily,
                                  Timeframe::FourHour, Timeframe::OneHour};
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        EXPECT_EQ(column(k).timeframe, expected[k - 1]);
        EXPECT_EQ(column(k).referenceIndex, NO_REFERENCE);
        EXPECT_EQ(column(k).markerState, MARKERS_SUPPRESSED);
        EXPECT_EQ(columnLayout(k).firstNameBox, 20 + 40 * (k - 1));
    }
}

TEST_F(Columns, PassPrintsFiguresAndFillsItsBoxes) {
    setReference(Timeframe::Daily, 3, BIAS_EXAMPLE);
    pick(1, 3);
    const WindowHandle w = host.windows.multiTimeframe;
    EXPECT_EQ(ui.textAt(w, 25, 396), "Ref. Bias:  110    ");
    EXPECT_EQ(ui.textAt(w, 25, 411), "Buy Power:  40     ");
    EXPECT_EQ(ui.textAt(w, 25, 426), "Sell Power:  -70      ");
    EXPECT_EQ(column(1).referenceBias, 110);
    EXPECT_EQ(mtfText(20), "GBPUSD");
    EXPECT_EQ(mtfText(40), " 10");
    EXPECT_EQ(mtfText(33), "EURCHF");
    EXPECT_EQ(mtfText(53), " -10");
    EXPECT_EQ(ui.control(w, 20)->textColour, BLACK);
    EXPECT_EQ(ui.control(w, 20)->backgroundColour, FIRST_GROUP_COLOUR);
    EXPECT_EQ(ui.control(w, 33)->backgroundColour, SECOND_GROUP_COLOUR);
    EXPECT_EQ(column(1).rows[0].symbol, "GBPUSD");
    EXPECT_EQ(column(1).markerState, 0);
    EXPECT_EQ(mtfText(60), "Pair1"); // column 2 untouched
}

TEST_F(Columns, ShorterTimeframesReadTheirOwnHistory) {
    setReference(Timeframe::FourHour, 7, eurusdOnTop());
    setReference(Timeframe::OneHour, 2, LADDER);
    pick(4, 7);
    pick(5, 2);
    EXPECT_EQ(mtfText(140), "EURUSD");
    EXPECT_EQ(mtfText(160), " 500");
    EXPECT_EQ(mtfText(180), "GBPUSD");
    EXPECT_EQ(mtfText(200), " 130");
    EXPECT_EQ(ui.textAt(host.windows.multiTimeframe, 700, 411), "Buy Power:  700     ");
}

TEST_F(Columns, SameDailyBarMatchesTheMainRanking) {
    setReference(Timeframe::Daily, 5, BIAS_EXAMPLE);
    market.referenceDayIndex = 5;
    rankMainSlots(ranking, market, alerts, host);
    pick(1, 5);
    pick(2, 5);
    EXPECT_EQ(shownRows(1), shownRows(2));
    for (int r = 0; r < PAIR_COUNT; ++r) {
        EXPECT_EQ(mtfText(20 + r), mainText(MAIN_NAME_BOX_FIRST + r));
        EXPECT_EQ(mtfText(40 + r), mainText(MAIN_PIPS_BOX_FIRST + r));
    }
    EXPECT_EQ(column(2).buyPower, ranking.buyPower);
    EXPECT_EQ(column(2).sellPower, ranking.sellPower);
}

TEST_F(Columns, WithoutAReferenceNothingIsShown) {
    rankColumn(column(3), 3, market, host);
    EXPECT_EQ(mtfText(100), "Pair1");
    EXPECT_EQ(mtfText(120), "Price1");
    EXPECT_EQ(ui.textAt(host.windows.multiTimeframe, 365, 396), "");
}

TEST_F(Columns, ArrowsOnlyAfterTheFirstPassAndOnlyForMovedRows) {
    setReference(Timeframe::Daily, 1, LADDER);
    pick(2, 1);
    for (int r = 0; r < PAIR_COUNT; ++r) {
        EXPECT_EQ(at(185, r, 5), BACKGROUND_COLOUR) << r;
    }
    std::vector<int> moved = LADDER;
    std::swap(moved[3], moved[4]);
    setReference(Timeframe::Daily, 1, moved);
    rankColumn(column(2), 2, market, host);
    EXPECT_EQ(at(185, 3, 5), UP_ARROW_COLOUR);
    EXPECT_EQ(at(186, 3, 0), UP_ARROW_COLOUR);
    EXPECT_EQ(at(185, 4, 5), DOWN_ARROW_COLOUR);
    EXPECT_EQ(at(185, 4, 20), DOWN_ARROW_COLOUR);
    EXPECT_EQ(at(185, 2, 5), BACKGROUND_COLOUR);
    EXPECT_EQ(at(10, 3, 5), BACKGROUND_COLOUR); // column 1's strip stays blank

    pick(2, 1); // picking again erases the strip
    EXPECT_EQ(at(185, 3, 5), BACKGROUND_COLOUR);
    EXPECT_EQ(at(185, 4, 5), BACKGROUND_COLOUR);
}

} // namespace
} // namespace vz::testing
