#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vz {
namespace {

constexpr Colour RED = rgb(255, 0, 0);
constexpr Colour GREEN = rgb(0, 255, 0);
constexpr Colour BLUE = rgb(0, 0, 255);

int countOf(const Canvas& canvas, Colour colour) {
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            count += canvas.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(CanvasLine, HorizontalRunsExcludeTheEndPoint) {
    Canvas canvas(20, 10, WHITE);
    canvas.line(10, 5, 2, 5, RED);
    for (int x = 3; x <= 10; ++x) {
        EXPECT_EQ(canvas.pixel(x, 5), RED) << x;
    }
    EXPECT_EQ(canvas.pixel(2, 5), WHITE);
    EXPECT_EQ(countOf(canvas, RED), 8);
}

TEST(CanvasLine, ZeroLengthDrawsNothing) {
    Canvas canvas(5, 5, WHITE);
    canvas.line(2, 2, 2, 2, RED);
    EXPECT_EQ(countOf(canvas, RED), 0);
}

TEST(CanvasLine, EveryOctantDrawsAConnectedRunWithoutItsEnd) {
    const int ends[][2] = {{16, 5},   {5, 16},  {-5, 16}, {-16, 5}, {-16, -5},
                           {-5, -16}, {5, -16}, {16, -5}, {0, 9},   {9, 9}};
    for (const auto& end : ends) {
        Canvas canvas(41, 41, WHITE);
        const int x2 = 20 + end[0];
        const int y2 = 20 + end[1];
        canvas.line(20, 20, x2, y2, RED);
        SCOPED_TRACE(testing::Message() << "to " << x2 << "," << y2);
        EXPECT_EQ(canvas.pixel(20, 20), RED);
        EXPECT_EQ(canvas.pixel(x2, y2), WHITE);
        EXPECT_EQ(countOf(canvas, RED), std::max(std::abs(end[0]), std::abs(end[1])));
        // The last pixel drawn touches the excluded end point.
        bool touchesEnd = false;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                touchesEnd = touchesEnd || canvas.pixel(x2 + dx, y2 + dy) == RED;
            }
        }
        EXPECT_TRUE(touchesEnd);
    }
}

TEST(CanvasLine, ClipsAtTheEdgesAndIgnoresFarLines) {
    Canvas canvas(10, 10, WHITE);
    canvas.line(-5, 3, 15, 3, RED);
    EXPECT_EQ(countOf(canvas, RED), 10);
    canvas.line(-2000000000, -5, 2000000000, -5, BLUE);
    EXPECT_EQ(countOf(canvas, BLUE), 0);
    EXPECT_EQ(canvas.pixel(-1, 0), NO_FILL);
    EXPECT_EQ(canvas.pixel(10, 0), NO_FILL);
}

TEST(CanvasRect, HollowKeepsTheInside) {
    Canvas canvas(20, 20, WHITE);
    canvas.fill(GREEN);
    canvas.rect(2, 3, 5, 4, RED, NO_FILL);
    EXPECT_EQ(canvas.pixel(2, 3), RED);
    EXPECT_EQ(canvas.pixel(6, 6), RED);
    EXPECT_EQ(canvas.pixel(7, 6), GREEN);
    EXPECT_EQ(canvas.pixel(6, 7), GREEN);
    EXPECT_EQ(canvas.pixel(3, 4), GREEN);
    EXPECT_EQ(countOf(canvas, RED), 2 * 5 + 2 * 2);
}

TEST(CanvasRect, FilledPaintsInsideAndBorder) {
    Canvas canvas(20, 20, WHITE);
    canvas.rect(2, 3, 5, 4, RED, BLUE);
    EXPECT_EQ(countOf(canvas, BLUE), 3 * 2);
    EXPECT_EQ(countOf(canvas, RED), 14);
    canvas.rect(10, 10, 3, 3, GREEN, GREEN);
    EXPECT_EQ(countOf(canvas, GREEN), 9);
    canvas.rect(0, 0, 0, 5, GREEN, GREEN);
    canvas.rect(0, 0, -4, 5, GREEN, GREEN);
    EXPECT_EQ(countOf(canvas, GREEN), 9);
}

class CanvasOnWindow : public ::testing::Test {
protected:
    HeadlessUi ui_;
    WindowHandle window_ = ui_.openWindow(0, 0, 100, 50, WINDOW_POPUP, "w", {});
};

TEST_F(CanvasOnWindow, IsOnePixelLargerAndStartsInTheSystemColour) {
    EXPECT_EQ(ui_.window(window_)->canvas.width(), 101);
    EXPECT_EQ(ui_.window(window_)->canvas.height(), 51);
    EXPECT_EQ(ui_.pixel(window_, 100, 50), HeadlessUi::SYSTEM_WINDOW_COLOUR);
    ui_.setWindowBackground(window_, GREEN);
    EXPECT_EQ(ui_.pixel(window_, 0, 0), GREEN);
    EXPECT_EQ(ui_.pixel(window_, 100, 50), GREEN);
}

TEST_F(CanvasOnWindow, LineToMovesThePen) {
    ui_.moveTo(window_, 0, 0);
    ui_.lineTo(window_, 5, 0, RED);
    ui_.lineTo(window_, 5, 3, BLUE);
    EXPECT_EQ(ui_.pixel(window_, 4, 0), RED);
    EXPECT_EQ(ui_.pixel(window_, 5, 0), BLUE);
    EXPECT_EQ(ui_.pixel(window_, 5, 2), BLUE);
    EXPECT_EQ(ui_.pixel(window_, 5, 3), HeadlessUi::SYSTEM_WINDOW_COLOUR);
    ui_.drawLine(window_, 20, 20, 20, 20, RED);
    EXPECT_EQ(ui_.pixel(window_, 20, 20), HeadlessUi::SYSTEM_WINDOW_COLOUR);
}

TEST_F(CanvasOnWindow, PrintedTextIsOpaqueRecordedAndAdvancesThePen) {
    constexpr int W = HeadlessUi::GLYPH_WIDTH;
    constexpr int H = HeadlessUi::GLYPH_HEIGHT;
    ui_.setDrawColour(window_, RED);
    ui_.setTextBackground(window_, BLUE);
    ui_.moveTo(window_, 10, 5);
    ui_.printText(window_, "RB = 3\r\n");
    ui_.printText(window_, "x");
    EXPECT_EQ(ui_.textAt(window_, 10, 5), "RB = 3");
    EXPECT_EQ(ui_.textAt(window_, 10 + 6 * W, 5), "x");
    EXPECT_EQ(ui_.pixel(window_, 10, 5), BLUE);
    EXPECT_EQ(ui_.pixel(window_, 10 + 7 * W - 1, 5 + H - 1), BLUE);
    EXPECT_EQ(ui_.pixel(window_, 10 + 7 * W, 5), HeadlessUi::SYSTEM_WINDOW_COLOUR);
    EXPECT_EQ(ui_.pixel(window_, 10, 5 + H), HeadlessUi::SYSTEM_WINDOW_COLOUR);
    const DrawnText& first = ui_.window(window_)->texts.front();
    EXPECT_EQ(first.colour, RED);
    EXPECT_EQ(first.background, BLUE);

    ui_.moveTo(window_, 10, 5);
    ui_.printText(window_, "later\n");
    EXPECT_EQ(ui_.textAt(window_, 10, 5), "later");
    EXPECT_EQ(ui_.textAt(window_, 11, 5), "");
}

} // namespace
} // namespace vz
