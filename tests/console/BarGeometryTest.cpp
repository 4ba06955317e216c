// Where a chart's bars, ticks and labels fall, whatever a page sets.
#include <gtest/gtest.h>

#include <limits>

#include "console/pages/BarGeometry.h"

namespace quillane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The Setup chart: columns 12-560, rows 16-105; axis 0-2 mV, left axis 0-2.
const BarGeometry kSetup({12, 16, 549, 90}, 2, 0, 2);

TEST(BarGeometry, BarsStayInThePlotAndValuesOffTheAxisDrawNothing) {
    const struct {
        bool horizontal;
        double x, y;
        int left, width, height;  // width -1: not drawn
    } cases[] = {
        {true, 1, 1, 12, 274, 54},
        {true, 1023, 1, 12, 548, 54},  // past the end: to the edge
        {true, 1e308, 1, 12, 548, 54},
        {true, 0, 1, 12, 0, 54},
        {true, -1, 1, 0, -1, 0},
        {true, kNaN, 1, 0, -1, 0},
        {true, kInf, 1, 0, -1, 0},
        {false, 0, 2, 12, 3, 90},  // a 1 % bar, cut at the left edge
        {false, 2, 1, 558, 3, 45},
        {false, 1, 50, 284, 5, 90},
        {false, 2.0000001, 2, 0, -1, 0},
        {false, 2147483648.0, 2, 0, -1, 0},
        {false, -1e308, 2, 0, -1, 0},
        {false, kNaN, 2, 0, -1, 0},
        {false, 1, 0, 0, -1, 0},
        {false, 1, kNaN, 0, -1, 0},
    };
    for (const auto& c : cases) {
        const auto bar =
            c.horizontal ? kSetup.HorizontalBar(c.x, 100) : kSetup.VerticalBar(c.x, c.y, 1);
        ASSERT_EQ(bar.has_value(), c.width >= 0) << c.x << ' ' << c.y;
        if (!bar) continue;
        EXPECT_EQ(bar->left, c.left) << c.x;
        EXPECT_EQ(bar->width, c.width) << c.x;
        EXPECT_EQ(bar->height, c.height) << c.x;
        EXPECT_EQ(bar->top + bar->height, c.horizontal ? 88 : 106) << c.x;
    }
    for (double maximum : {0.0, -5.0, kNaN, kInf}) {
        const BarGeometry none({12, 16, 549, 90}, maximum, 0, 2);
        EXPECT_FALSE(none.HorizontalBar(1, 100) || none.VerticalBar(1, 2, 1) || none.Column(1));
    }
    EXPECT_FALSE(BarGeometry({12, 16, -28, -40}, 2, 0, 2).HorizontalBar(1, 100));  // no plot
    EXPECT_FALSE(BarGeometry({12, 16, 549, 90}, 2, 2, 2).VerticalBar(1, 3, 1));    // no left range
}

TEST(BarGeometry, TicksSpanThePlotAndTheLastLabelStaysInTheChart) {
    const auto ticks = kSetup.MajorTicks(0.4);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks.front().column, 12);
    EXPECT_EQ(ticks.back().column, 560);
    EXPECT_EQ(kSetup.MinorTicks(0.4, 4).size(), 20u);
    for (double step : {0.0, -1.0, 1e-300, kNaN, kInf})
        EXPECT_TRUE(kSetup.MajorTicks(step).empty()) << step;
    // "0.001" under the last tick, "0" under the first, a text wider than the chart.
    EXPECT_EQ(BarGeometry::TextLeft(560, 40, 577), 537);
    EXPECT_EQ(BarGeometry::TextLeft(12, 7, 577), 9);
    EXPECT_EQ(BarGeometry::TextLeft(0, 40, 30), 0);
}

}  // namespace
}  // namespace quillane
