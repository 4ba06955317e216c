#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "console/pages/RedrawLimit.h"

namespace quillane {
namespace {

// At five redraws a second, after a redraw at 10.0 s: the redraws asked for
// at `asks`, then where the trailing redraw falls and how often it is done.
TEST(RedrawLimit, ARefusedRedrawIsDoneOnceWhenTheLimitAllows) {
    const struct {
        const char* what;
        std::vector<double> asks;
        std::vector<bool> allowed;
        std::optional<double> trailingAt;
    } cases[] = {
        {"refused, then allowed at the end of the period", {10.05}, {false}, 10.2},
        {"several refused, one trailing redraw", {10.05, 10.1, 10.15}, {false, false, false}, 10.2},
        {"refused, then let through by a later one", {10.1, 10.3}, {false, true}, std::nullopt},
        {"nothing refused, no trailing redraw", {10.25, 10.5}, {true, true}, std::nullopt},
    };
    for (const auto& c : cases) {
        RedrawLimit limit;
        int refusals = 0;
        limit.refused = [&refusals] { ++refusals; };
        ASSERT_TRUE(limit.Allow(10.0, 5)) << c.what;
        for (std::size_t i = 0; i < c.asks.size(); ++i)
            EXPECT_EQ(limit.Allow(c.asks[i], 5), c.allowed[i]) << c.what << " at " << c.asks[i];
        const double now = c.asks.back();
        const std::optional<double> in = limit.TrailingIn(now, 5);
        ASSERT_EQ(in.has_value(), c.trailingAt.has_value()) << c.what;
        if (!in) continue;
        EXPECT_NEAR(now + *in, *c.trailingAt, 1e-9) << c.what;
        EXPECT_EQ(refusals, static_cast<int>(c.asks.size())) << c.what;
        EXPECT_TRUE(limit.TakeTrailing()) << c.what;
        EXPECT_FALSE(limit.TakeTrailing()) << c.what;  // once
        EXPECT_TRUE(limit.Allow(*c.trailingAt, 5)) << c.what;
        EXPECT_FALSE(limit.TrailingIn(*c.trailingAt, 5)) << c.what;
    }
}

TEST(RedrawLimit, ACrossingLetThroughLeavesNothingWaiting) {
    RedrawLimit limit;
    ASSERT_TRUE(limit.Allow(10.0, 5));
    EXPECT_FALSE(limit.Allow(10.05, 5));
    limit.Pass(10.06);
    EXPECT_EQ(limit.dblLastRefresh, 10.06);
    EXPECT_FALSE(limit.TrailingIn(10.06, 5));
}

}  // namespace
}  // namespace quillane
