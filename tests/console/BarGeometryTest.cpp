// Where a chart's bars, ticks and labels fall, whatever a page sets.
#include <gtest/gtest.h>

#include <limits>

#include "console/BarGeometry.h"

namespace quillane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The Setup chart's plot: columns 12-560, rows 16-105; axis 0-2 mV, left axis 0-2.
const BarGeometry::Pixels kPlot{12, 16, 549, 90};
const BarGeometry kSetup(kPlot, 2, 0, 2);

TEST(BarGeometry, AHorizontalBarPastTheAxisReachesTheEdgeAndNothingElseLeavesThePlot) {
    const struct {
        double x;
        int length;  // -1: not drawn
    } cases[] = {{0, 0},   {1, 274},     {2, 548},   {1023, 548}, {1e308, 548},
                 {-1, -1}, {-1e308, -1}, {kNaN, -1}, {kInf, -1},  {-kInf, -1}};
    for (const auto& c : cases) {
        const auto bar = kSetup.HorizontalBar(c.x, 100);
        ASSERT_EQ(bar.has_value(), c.length >= 0) << c.x;
        if (!bar) continue;
        EXPECT_EQ(bar->width, c.length) << c.x;
        EXPECT_EQ(bar->left, 12);
        EXPECT_EQ(bar->top, 34);  // the middle 60 % of the rows
        EXPECT_EQ(bar->height, 54);
    }
}

TEST(BarGeometry, AVerticalBarStandsOnlyOnTheAxis) {
    const struct {
        double x, y, widthPercent;
        int left, width, height;  // width 0: not drawn
    } cases[] = {
        {0, 2, 4, 12, 11, 90},          // half of it cut at the plot's left edge
        {1, 2, 1, 284, 5, 90},          // the middle column, 1 % wide
        {2, 2, 1, 558, 3, 90},          // the axis's end, cut at the right edge
        {1, 1, 0, 286, 1, 45},          // at least one pixel wide; half the height
        {1, 50, kNaN, 286, 1, 90},      // no higher than the plot
        {2.0000001, 2, 1, 0, 0, 0},     // just past the end
        {-1, 2, 1, 0, 0, 0},            // hidden
        {1e308, 2, 1, 0, 0, 0},         // a hand-edited threshold far off the axis
        {-1e308, 2, 1, 0, 0, 0},        //
        {2147483648.0, 2, 1, 0, 0, 0},  // past an int
        {kNaN, 2, 1, 0, 0, 0},          //
        {kInf, 2, 1, 0, 0, 0},          //
        {1, 0, 1, 0, 0, 0},             // no height
        {1, kNaN, 1, 0, 0, 0},          //
    };
    for (const auto& c : cases) {
        const auto bar = kSetup.VerticalBar(c.x, c.y, c.widthPercent);
        ASSERT_EQ(bar.has_value(), c.width > 0) << c.x << ' ' << c.y;
        if (!bar) continue;
        EXPECT_EQ(bar->left, c.left) << c.x;
        EXPECT_EQ(bar->width, c.width) << c.x;
        EXPECT_EQ(bar->height, c.height) << c.x << ' ' << c.y;
        EXPECT_EQ(bar->top + bar->height, 106) << c.x;
    }
}

TEST(BarGeometry, AxesThatAreNoRangeDrawNothing) {
    const BarGeometry::Pixels tiny{12, 16, -28, -40};  // a chart smaller than its margins
    const BarGeometry cases[] = {BarGeometry(kPlot, 0, 0, 2), BarGeometry(kPlot, kNaN, 0, 2),
                                 BarGeometry(kPlot, kInf, 0, 2), BarGeometry(kPlot, -5, 0, 2),
                                 BarGeometry(tiny, 2, 0, 2)};
    for (const BarGeometry& g : cases) {
        EXPECT_FALSE(g.HorizontalBar(1, 100));
        EXPECT_FALSE(g.VerticalBar(1, 2, 1));
        EXPECT_FALSE(g.Column(1));
        EXPECT_TRUE(g.MajorTicks(0.4).empty());
    }
    EXPECT_FALSE(BarGeometry(kPlot, 2, 2, 2).VerticalBar(1, 3, 1));  // left axis without a range
    EXPECT_FALSE(BarGeometry(kPlot, 2, 0, kNaN).VerticalBar(1, 1, 1));
}

TEST(BarGeometry, TicksSpanThePlotAndTheLastLabelStaysInTheChart) {
    const auto ticks = kSetup.MajorTicks(0.4);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks.front().column, 12);
    EXPECT_EQ(ticks.back().column, 560);
    EXPECT_DOUBLE_EQ(ticks.back().value, 2.0);
    EXPECT_EQ(kSetup.MinorTicks(0.4, 4).size(), 20u);
    for (double step : {0.0, -1.0, 1e-300, kNaN, kInf})
        EXPECT_TRUE(kSetup.MajorTicks(step).empty()) << step;

    const struct {
        int centre, width, extent, left;
    } labels[] = {{560, 40, 577, 537},  // "0.001" under the last tick, whole
                  {12, 7, 577, 9},      // "0" under the first
                  {288, 20, 577, 278},  // centred where there is room
                  {0, 40, 30, 0},       // wider than the chart
                  {2147483647, 10, -2147483647 - 1, 0}};
    for (const auto& l : labels)
        EXPECT_EQ(BarGeometry::TextLeft(l.centre, l.width, l.extent), l.left) << l.centre;
}

}  // namespace
}  // namespace quillane
