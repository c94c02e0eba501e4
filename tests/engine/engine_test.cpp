#include "alerts/alert_options.h"
#include "engine/columns.h"
#include "engine/ranking.h"
#include "engine/slot_arrows.h"
#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vz {
namespace {

using Pips = std::array<std::int32_t, PAIR_COUNT>;
using Entries = std::vector<std::string>;
constexpr std::int32_t MOST = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t LEAST = std::numeric_limits<std::int32_t>::min();
constexpr int GBPUSD = 0, EURGBP = 1, GBPJPY = 2, EURJPY = 6, EURUSD = 7, USDJPY = 8, EURCHF = 13;
const Pips BIAS_EXAMPLE = {10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10};
const std::string NO_MARKS(PAIR_COUNT, '.');

// `top` for GBPUSD, then `step` less for each following pair; `changes` overrides single pairs.
Pips pips(int top, int step, std::initializer_list<std::pair<int, int>> changes = {}) {
    Pips all;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        all[static_cast<std::size_t>(pair)] = top - step * pair;
    }
    for (const auto& [pair, value] : changes) {
        all[static_cast<std::size_t>(pair)] = value;
    }
    return all;
}

TEST(Pips, CountSecondHalfFallsAsGainsRoundInSinglePrecisionAndSaturate) {
    // EURJPY is 298.9998 in single precision: rounded, not truncated. The next two lie just
    // above the half in double precision, exactly on 2.5 / 3.5 in single.
    const std::tuple<int, float, float, std::int32_t> cases[] = {
        {GBPUSD, 1.9900F, 1.9850F, 50},
        {USDJPY, 108.00F, 107.50F, -50},
        {EURJPY, 100.00F, 97.01F, 299},
        {GBPJPY, 0.025F, 0.0F, 2},
        {GBPJPY, 0.035F, 0.0F, 4},
        {EURUSD, 1.0F, 99999999999.0F, MOST},
        {GBPUSD, 1.0F, 99999999999.0F, LEAST}};
    for (const auto& [pair, live, reference, expected] : cases) {
        EXPECT_EQ(pairPipsSince(pair, live, reference), expected) << pair << ": " << live;
    }
    // Pairwise: 2.4999998 would reach 3 through a float "+ 0.5"; 2147483520 is the largest
    // float below 2^31.
    const float values[] = {2.5F,  3.5F,      -2.5F, 0.5F,          2.4999998F,    -0.75F,
                            1e20F, -INFINITY, NAN,   2147483520.0F, -2147483648.0F};
    const std::int32_t rounded[] = {2, 4, -2, 0, 2, -1, MOST, LEAST, 0, 2147483520, LEAST};
    static_assert(std::size(values) == std::size(rounded));
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(roundToPips(values[i]), rounded[i]) << values[i];
    }
    // The rounding is branch-free bit work: every quarter from -1000 to 1000
    // must round as the processor's own ties-to-even does.
    for (int quarter = -4000; quarter <= 4000; ++quarter) {
        const float value = static_cast<float>(quarter) / 4.0F;
        EXPECT_EQ(roundToPips(value), static_cast<std::int32_t>(std::nearbyint(value))) << value;
    }
}

// The pair names in the order the exchange sort leaves them, or with `wholeEntries` in the
// order of the sort as written first, swapping whole entries.
std::string sortedNames(const Pips& pips, bool wholeEntries = false) {
    SlotList entries = buildSlotEntries({}, {});
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].pips = pips[i];
    }
    for (std::size_t i = 0; wholeEntries && i < entries.size(); ++i) {
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            if (entries[i].pips < entries[j].pips) {
                std::swap(entries[i], entries[j]);
            }
        }
    }
    if (!wholeEntries) {
        exchangeSort(entries);
    }
    std::string names;
    for (const SlotEntry& entry : entries) {
        names += std::string(entry.symbol) + " ";
    }
    return names;
}

TEST(Pips, SortLeavesTiesAndExtremesWhereWholeEntrySwapsDo) {
    std::mt19937 random(7);
    const auto extreme = [](int k) {
        return k % 3 == 0   ? std::numeric_limits<std::int32_t>::min()
               : k % 3 == 1 ? std::numeric_limits<std::int32_t>::max()
                            : 0;
    };
    for (int round = 0; round < 3000; ++round) {
        Pips pips{};
        for (std::size_t i = 0; i < pips.size(); ++i) {
            // Few distinct values, so most rounds are full of ties.
            const int draw = static_cast<int>(random() % 9);
            pips[i] = round % 5 == 0 ? extreme(draw) : draw - 4;
        }
        EXPECT_EQ(sortedNames(pips), sortedNames(pips, true)) << round;
    }
}

TEST(Pips, PowersSumTheHalves) {
    const Powers p = computePowers(BIAS_EXAMPLE);
    EXPECT_EQ(std::tuple(p.buyPower, p.sellPower, p.referenceBias, p.basketBias),
              std::tuple(40, -70, 110, -30));
}

// The real options window, and the main and multi-timeframe windows with just the
// controls the rankings write to.
class Engine : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    MarketData market;
    MainRanking ranking;
    AlertState alerts;
    ColumnSet columns = initialColumns();

    void SetUp() override {
        const WindowHandle main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        const WindowHandle mtf = ui.openWindow(0, 0, 875, 480, WINDOW_POPUP, "mtf", {});
        host.windows = {
            .main = main, .options = buildOptionsWindow(host, {}), .multiTimeframe = mtf};
        for (int r = 0; r < PAIR_COUNT; ++r) {
            box(main, "", 20, MAIN_ROW_TOP + ROW_PITCH * r, MAIN_NAME_BOX_FIRST + r);
            box(main, "", 95, MAIN_ROW_TOP + ROW_PITCH * r, MAIN_PIPS_BOX_FIRST + r);
            for (const ColumnLayout& layout : COLUMN_LAYOUTS) {
                const int y = MTF_ROW_TOP + ROW_PITCH * r;
                box(mtf, "Pair" + std::to_string(r + 1), layout.x, y, layout.firstNameBox + r);
                box(mtf, "Price" + std::to_string(r + 1), layout.x + 75, y,
                    layout.firstNameBox + 20 + r);
            }
            market.groupList[static_cast<std::size_t>(r)] = std::string(PAIR_TABLE[r]);
        }
        ui.createControl(main, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                         EVENT_LOG_LIST);
        addEventLogColumns(host);
    }

    // Bar `index` of the timeframe lies the given pips behind live prices of 1.0.
    void setReference(Timeframe timeframe, int index, const Pips& pips) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto p = static_cast<std::size_t>(pair);
            market.livePrices[p] = 1.0F;
            const float move = static_cast<float>(pips[p]) / static_cast<float>(pipFactor(pair));
            market.history.bar(timeframe, pair, index).price =
                inFirstHalf(pair) ? 1.0F - move : 1.0F + move;
        }
    }

    void pass(const Pips& pips) {
        setReference(Timeframe::Daily, market.referenceDayIndex, pips);
        rankMainSlots(ranking, market, alerts, host);
    }

    TimeframeColumn& column(int k) { return columns[static_cast<std::size_t>(k - 1)]; }

    // What choosing a reference in a column's list does.
    void pick(int k, int index) {
        column(k).referenceIndex = index;
        column(k).markerState = MARKERS_SUPPRESSED;
        drawColumnUpArrow(host, k, MARKERS_SUPPRESSED, 0);
        rankColumn(column(k), k, market, host);
    }

    // Oldest first; only the entries containing `part`.
    Entries logEntries(const std::string& part = "") {
        Entries entries;
        for (int row = ui.reportRowCount(host.windows.main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            std::string entry = ui.reportGetCell(host.windows.main, EVENT_LOG_LIST, row, 2);
            if (entry.find(part) != std::string::npos) {
                entries.push_back(std::move(entry));
            }
        }
        return entries;
    }

    // Name and pips text of the first `count` rows of the main window (k 0) or column k:
    // "EURUSD 500,GBPUSD 130".
    std::string rows(int k = 0, int count = PAIR_COUNT) {
        const int first = k == 0 ? MAIN_NAME_BOX_FIRST : columnLayout(k).firstNameBox;
        const int firstPips = k == 0 ? MAIN_PIPS_BOX_FIRST : first + 20;
        std::string shown;
        for (int r = 0; r < count; ++r) {
            shown += (r == 0 ? "" : ",") + ui.getControlText(window(k), first + r) +
                     ui.getControlText(window(k), firstPips + r);
        }
        return shown;
    }

    // One letter per arrow cell of the main window (k 0) or column k: U(p), D(own) or '.'.
    std::string marks(int k = 0) {
        const int x = k == 0 ? 10 : columnLayout(k).shaftX;
        const int top = k == 0 ? MAIN_ROW_TOP : MTF_ROW_TOP;
        std::string shown;
        for (int row = 0; row < PAIR_COUNT; ++row) {
            const Colour c = ui.pixel(window(k), x, top + ROW_PITCH * row + 5);
            shown += c == UP_ARROW_COLOUR ? 'U' : (c == DOWN_ARROW_COLOUR ? 'D' : '.');
        }
        return shown;
    }

    void arm(int checkBoxId, const std::string& sound = "") {
        ui.setChecked(host.windows.options, checkBoxId, true);
        ui.setControlText(host.windows.options, checkBoxId + 1, sound);
    }

    WindowHandle window(int k) { return k == 0 ? host.windows.main : host.windows.multiTimeframe; }
    void box(WindowHandle w, const std::string& text, int x, int y, int id) {
        ui.createControl(w, ControlKind::TextBox, text, x, y, 70, 20, STYLE_TEXT_READ_ONLY_CENTRED,
                         id);
    }
};

TEST_F(Engine, PassWritesRowsSlotsAndAnchorBias) {
    pass(pips(130, 10, {{EURUSD, 500}}));
    EXPECT_EQ(rows(0, 3), "EURUSD 500,GBPUSD 130,EURGBP 120");
    EXPECT_EQ(ranking.pairSlot[EURUSD], 0);
    EXPECT_EQ(ranking.pairSlot[EURCHF], 13);
    pass(pips(0, 0, {{GBPUSD, 120}, {EURCHF, -80}}));
    EXPECT_EQ(ranking.anchorBias, 40);
}

TEST_F(Engine, HugeMovesSaturateEveryFigure) {
    Pips extremes = pips(MOST, 0);
    std::fill_n(extremes.begin(), PAIR_COUNT / 2, LEAST);
    pass(extremes);
    EXPECT_EQ(std::tuple(ranking.buyPower, ranking.sellPower, ranking.referenceBias,
                         ranking.basketBias, ranking.anchorBias),
              std::tuple(LEAST, MOST, LEAST, -1, -1));
    EXPECT_EQ(rows(0, 1), "EURUSD 2147483647");
    pass(pips(LEAST, 0)); // the top anchor falls by almost 2^32 pips
    EXPECT_EQ(logEntries("+anchor"), Entries{"New +anchor: GBPUSD: -2147483648"});
}

TEST_F(Engine, EndOfPassChecksPairInSlotAndGroupingAfterTheAnchors) {
    arm(OPT_GROUPING_BOX, "group.wav");
    arm(OPT_PAIR_BOX, "pair.wav");
    ui.showWindow(host.windows.options, ShowCommand::Show); // the user's lists take input only then
    ui.pickListItem(host.windows.options, OPT_PAIR_LIST, EURUSD);
    ui.pickListItem(host.windows.options, OPT_SLOT_LIST, 0);
    pass(pips(-10, 0, {{EURUSD, 50}}));
    pass(pips(130, 10));
    EXPECT_EQ(logEntries(), (Entries{"Pair: EURUSD is in slot:  1", "New +anchor: GBPUSD: 130",
                                     "Pairs are perfectly grouped."}));
    EXPECT_EQ(ui.playedWaves(), (Entries{"pair.wav", "group.wav"}));
}

TEST_F(Engine, TopAnchorMovesOnlyToAnotherPairMoreThanFivePipsAway) {
    pass(pips(40, 10, {{GBPUSD, 100}}));
    pass(pips(40, 10, {{GBPUSD, 300}})); // the same pair keeps its recorded pips
    EXPECT_EQ(ranking.topAnchorPips, 100);
    pass(pips(40, 10, {{GBPUSD, 50}, {EURGBP, 105}}));
    EXPECT_TRUE(logEntries().empty());
    pass(pips(40, 10, {{GBPUSD, 50}, {EURGBP, 106}}));
    EXPECT_EQ(logEntries(), Entries{"New +anchor: EURGBP: 106"});
    EXPECT_EQ(std::tuple(ranking.topAnchorPair, ranking.topAnchorPips, ranking.bottomAnchorPair),
              std::tuple("EURGBP", 106, "EURCHF"));
}

TEST_F(Engine, OnlyATakeoverByTheOtherHalfIsOpposingCheckedAgainstTheOldBottomTwice) {
    arm(OPT_ANCHORS_BOX, "anchor.wav");
    pass(pips(40, 10, {{GBPUSD, 100}, {EURCHF, -100}}));
    pass(pips(40, 10, {{GBPUSD, 100}, {GBPJPY, 110}, {EURCHF, -100}}));
    pass(pips(40, 10, {{GBPJPY, -110}, {EURUSD, 200}, {EURCHF, -100}}));
    EXPECT_EQ(
        logEntries(),
        (Entries{"New +anchor: GBPJPY: 110", "New +anchor: EURUSD: 200",
                 "New opposing top anchor: EURUSD: 200", "New opposing bottom anchor: GBPJPY: -110",
                 "New -anchor: GBPJPY: -110", "New opposing bottom anchor: GBPJPY: -110"}));
    EXPECT_EQ(ui.playedWaves().size(), 3U);
}

// The reference bias equals GBPUSD's pips while every other pair stands still.
TEST_F(Engine, BiasFlipsAcrossZeroFromTheSecondPass) {
    arm(OPT_FLIP_BOX, "flip.wav");
    ranking.previousRefBias = -5; // not a previous pass: the first pass never checks
    for (int bias : {12, -3, 0, 5, 9999, -5}) {
        pass(pips(0, 0, {{GBPUSD, bias}}));
    }
    EXPECT_EQ(logEntries("Flipped"),
              (Entries{"Reference Bias Flipped Negative!", "Reference Bias Flipped Positive!",
                       "Reference Bias Flipped Negative!"}));
    EXPECT_EQ(ui.playedWaves().size(), 3U);
}

TEST_F(Engine, SwappedRowsGetArrowsFromTheSecondPassAndKeepThem) {
    pass(pips(130, 10));
    EXPECT_EQ(marks(), NO_MARKS);
    pass(pips(130, 10, {{3, 90}, {4, 100}}));
    EXPECT_EQ(marks(), "...UD.........");
    pass(pips(130, 10, {{0, 120}, {1, 130}, {3, 90}, {4, 100}}));
    EXPECT_EQ(marks(), "UD.UD.........");
}

TEST_F(Engine, NewReferenceDayStartsOverSilently) {
    arm(OPT_FLIP_BOX);
    pass(pips(130, 10));
    pass(pips(130, 10, {{3, 90}, {4, 100}}));
    resetForNewReferenceDay(ranking);
    drawUpArrow(host, ranking.slotMarkerState, 0); // erases every cell
    pass(pips(0, -10));                            // reversed: bias and both anchors flip
    EXPECT_EQ(marks(), NO_MARKS);
    EXPECT_TRUE(logEntries().empty());
    EXPECT_EQ(std::tuple(ranking.topAnchorPair, ranking.bottomAnchorPair),
              std::tuple("EURCHF", "GBPUSD"));
}

TEST_F(Engine, ColumnPassPrintsFiguresAndFillsOnlyItsOwnBoxes) {
    setReference(Timeframe::Daily, 3, BIAS_EXAMPLE);
    pick(1, 3);
    const WindowHandle w = host.windows.multiTimeframe;
    EXPECT_EQ(ui.textAt(w, 25, 396), "Ref. Bias:  110    ");
    EXPECT_EQ(rows(1), "GBPUSD 10,EURGBP 10,GBPJPY 10,USDCHF 10,NZDUSD 0,AUDJPY 0,EURJPY 0,"
                       "EURUSD -10,USDJPY -10,AUDUSD -10,NZDJPY -10,GBPCHF -10,CHFJPY -10,"
                       "EURCHF -10");
    EXPECT_EQ(ui.control(w, 20)->backgroundColour, FIRST_GROUP_COLOUR);
    EXPECT_EQ(ui.control(w, 33)->backgroundColour, SECOND_GROUP_COLOUR);
    rankColumn(column(3), 3, market, host); // no reference chosen yet
    EXPECT_EQ(rows(2, 1) + rows(3, 1), "Pair1Price1Pair1Price1");
}

TEST_F(Engine, ShorterTimeframeColumnsReadTheirOwnHistory) {
    setReference(Timeframe::FourHour, 7, BIAS_EXAMPLE);
    setReference(Timeframe::OneHour, 2, pips(130, 10));
    pick(4, 7);
    pick(5, 2);
    EXPECT_EQ(rows(4, 2), "GBPUSD 10,EURGBP 10");
    EXPECT_EQ(rows(5, 2), "GBPUSD 130,EURGBP 120");
    EXPECT_EQ(ui.textAt(host.windows.multiTimeframe, 700, 411), "Buy Power:  700     ");
}

TEST_F(Engine, DailyColumnMatchesTheMainRankingAndGetsArrowsFromItsSecondPass) {
    market.referenceDayIndex = 1;
    pass(pips(130, 10));
    pick(2, 1);
    EXPECT_EQ(rows(2), rows());
    EXPECT_EQ(column(2).referenceBias, ranking.referenceBias);
    EXPECT_EQ(marks(2), NO_MARKS);
    setReference(Timeframe::Daily, 1, pips(130, 10, {{3, 90}, {4, 100}}));
    rankColumn(column(2), 2, market, host);
    EXPECT_EQ(marks(2), "...UD.........");
    EXPECT_EQ(marks(1), NO_MARKS);
    pick(2, 1); // picking again erases the strip
    EXPECT_EQ(marks(2), NO_MARKS);
}

} // namespace
} // namespace vz
