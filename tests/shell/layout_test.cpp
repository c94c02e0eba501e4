#include "shell_fixture.h"

#include "engine/slot_arrows.h"

#include <gtest/gtest.h>
#include <string>

namespace vz::testing {
namespace {

using LayoutTest = ShellTest;

TEST_F(LayoutTest, MainMenuCaptionsOrderSeparatorAndIds) {
    std::string shown;
    for (const MenuItemState& item : ui.menuItems(main)) {
        const bool popup = (item.flags & MENU_POPUP) != 0U;
        shown += item.separator ? "-|"
                                : item.caption + (popup ? "" : "#" + std::to_string(item.menuId)) +
                                      (item.checked ? "[x]" : "") + (item.greyed ? "~" : "") + "|";
    }
    EXPECT_EQ(shown, "&File|Reload History#1|-|Save Log#2|Clear Log#3|Quit#4|"
                     "Log Timers|60 minutes#20|30 minutes#21|15 minutes#22[x]|10 minutes#23|"
                     "5 minutes#24|1 minute#25|"
                     "Pairs|Tarvo Pairs#30[x]~|Orvex Original#31~|"
                     "Options|Sound/Alerts#35|Pair Alerts#36~|Strength Chart#37|");
}

TEST_F(LayoutTest, MultiTimeframeWindowColumnsCaptionsListsAndBoxes) {
    const WindowState& window = *ui.window(mtf);
    EXPECT_EQ(window.caption, "Multi-Timeframe Slots");
    EXPECT_EQ(std::to_string(window.width) + "x" + std::to_string(window.height), "875x480");
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.centred);
    EXPECT_EQ(window.style & 0x00010000U, 0U); // no maximise box
    EXPECT_NE(window.style & 0x00020000U, 0U); // a minimise box
    EXPECT_EQ(window.menuBar, MenuHandle{});
    const int lefts[] = {25, 195, 365, 535, 700};
    const int listWidths[] = {108, 108, 108, 118, 118};
    const auto place = [&](int id) {
        const ControlState& c = control(mtf, id);
        return std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.width) +
               "x" + std::to_string(c.height);
    };
    for (int k = 1; k <= 5; ++k) {
        const int x = lefts[k - 1];
        const std::string xs = std::to_string(x);
        const ControlState& caption = control(mtf, k);
        EXPECT_EQ(caption.text + " " + place(k), "Reference Day: " + xs + ",15 98x16") << k;
        EXPECT_TRUE(caption.style == 0x5000010BU && caption.fontFace.empty() &&
                    caption.textColour == BLACK && caption.backgroundColour == BACKGROUND_COLOUR);
        const ControlState& list = control(mtf, 9 + k);
        EXPECT_EQ(place(9 + k), xs + ",30 " + std::to_string(listWidths[k - 1]) + "x109") << k;
        EXPECT_TRUE(list.style == 0x50A00603U && list.fontFace == "Ariel" && list.fontPoints == 8 &&
                    list.fontWeight == 700 && list.backgroundColour == BACKGROUND_COLOUR);
        for (const int row : {0, 13}) {
            const int name = 20 + 40 * (k - 1) + row;
            const std::string y = std::to_string(60 + 24 * row);
            EXPECT_EQ(control(mtf, name).text + " " + place(name),
                      "Pair" + std::to_string(row + 1) + " " + xs + "," + y + " 70x20");
            EXPECT_EQ(control(mtf, name + 20).text + " " + place(name + 20),
                      "Price" + std::to_string(row + 1) + " " + std::to_string(x + 75) + "," + y +
                          " 70x20");
            EXPECT_TRUE(control(mtf, name).style == 0x50800801U &&
                        control(mtf, name + 20).fontWeight == 700 &&
                        !control(mtf, name).backgroundColour);
        }
    }
    EXPECT_EQ(window.controls.size(), 5U * (2 + 28));
}

// The marker cell of row r: x 3 to 17, from y - 1 to y + 20 with y = 140 + 24 r;
// the shaft at x 10 and 11 from y to y + 19; the tip at y (up) or y + 20 (down);
// the head strokes end short of (5, y + 12/13) and (15, y + 12/13).
TEST_F(LayoutTest, ArrowsFillTheirCellWithShaftAndHeadWhereTheRowSaysAndNowhereElse) {
    const Colour junk = rgb(1, 2, 3);
    for (const int row : {6, 13}) {
        for (const bool up : {true, false}) {
            ui.setWindowBackground(main, junk);
            const int y = 140 + 24 * row;
            const Colour arrow = up ? UP_ARROW_COLOUR : DOWN_ARROW_COLOUR;
            (up ? drawUpArrow : drawDownArrow)(app.host, 0, row);
            const auto at = [&](int x, int py) { return ui.pixel(main, x, py); };
            const std::string what = std::to_string(row) + (up ? " up" : " down");
            for (const int x : {3, 17}) {
                EXPECT_TRUE(at(x, y - 1) == BACKGROUND_COLOUR && at(x, y + 20) == BACKGROUND_COLOUR)
                    << what;
            }
            EXPECT_TRUE(at(2, y) == junk && at(18, y) == junk && at(3, y - 2) == junk &&
                        at(3, y + 21) == junk)
                << what;
            for (int py = y; py <= y + 19; ++py) {
                EXPECT_TRUE(at(10, py) == arrow && at(11, py) == arrow) << what << " " << py;
            }
            const int tip = up ? y : y + 20;
            EXPECT_TRUE(at(10, tip) == arrow && at(11, tip) == arrow) << what;
            EXPECT_EQ(at(10, up ? y + 20 : y - 1), BACKGROUND_COLOUR) << what;
            // The head strokes stop one pixel short of (5, y + 12/13) and
            // (15, y + 12/13): nothing at row y + 13 or beyond x 5..15, and
            // their last pixels reach x 5..6 and 14..15 next to those ends.
            const auto strokeNear = [&](int x1, int x2, int y1, int y2) {
                bool found = false;
                for (int x = x1; x <= x2; ++x) {
                    for (int py = y1; py <= y2; ++py) {
                        found = found || at(x, py) == arrow;
                    }
                }
                return found;
            };
            EXPECT_TRUE(at(5, y + 13) == BACKGROUND_COLOUR && at(15, y + 13) == BACKGROUND_COLOUR)
                << what;
            EXPECT_FALSE(strokeNear(3, 4, y - 1, y + 20) || strokeNear(16, 17, y - 1, y + 20))
                << what;
            const int headEnd = up ? y + 10 : y + 13;
            EXPECT_TRUE(strokeNear(5, 6, headEnd, headEnd + 2) &&
                        strokeNear(14, 15, headEnd, headEnd + 2))
                << what;
            // The head sits at the tip's end of the shaft only.
            EXPECT_FALSE(up ? strokeNear(5, 8, y + 14, y + 20) : strokeNear(5, 8, y, y + 10))
                << what;
            // The neighbouring rows' cells are untouched.
            EXPECT_EQ(at(10, y - 2), junk) << what;
        }
    }
}

} // namespace
} // namespace vz::testing
