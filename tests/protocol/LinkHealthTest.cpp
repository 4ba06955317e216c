#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "model/NumberFormat.h"
#include "protocol/LinkHealth.h"

namespace quillane::test {
namespace {

TEST(LinkHealth, RateCountsWholeWindowsAndFallsToZeroOnASilentLine) {
    LinkHealth h;
    h.Restart(100.0);
    // 400 frames a second, as the detector sends by default.
    for (int i = 0; i < 400; ++i) h.FrameStart(100.0 + i * 0.0025, true);
    EXPECT_EQ(h.Now(100.999).framesPerSecond, 0.0) << "the first window is still open";
    EXPECT_NEAR(h.Now(101.0).framesPerSecond, 400.0, 0.5);
    EXPECT_NEAR(h.Now(101.5).framesPerSecond, 400.0, 0.5) << "kept until the next window closes";
    const LinkHealth::Figures silent = h.Now(102.0);
    EXPECT_EQ(silent.framesPerSecond, 0.0);
    ASSERT_TRUE(silent.secondsSinceLastFrame);
    EXPECT_NEAR(*silent.secondsSinceLastFrame, 102.0 - (100.0 + 399 * 0.0025), 1e-9);
}

TEST(LinkHealth, CountsBadChecksumsUntilTheLineIsRestarted) {
    LinkHealth h;
    EXPECT_FALSE(h.Now(5.0).secondsSinceLastFrame) << "no frame yet";
    h.FrameStart(5.0, true);
    h.FrameStart(5.1, false);
    h.FrameStart(5.2, false);
    EXPECT_EQ(h.Now(5.5).badChecksums, 2);
    h.Restart(6.0);
    const LinkHealth::Figures fresh = h.Now(8.0);
    EXPECT_EQ(fresh.badChecksums, 0);
    EXPECT_EQ(fresh.framesPerSecond, 0.0);
    EXPECT_FALSE(fresh.secondsSinceLastFrame);
}

TEST(LinkHealth, FiguresAreDueAtMostFourTimesASecond) {
    LinkHealth h;
    const struct {
        double at;
        bool due;
    } table[] = {{10.0, true},  {10.1, false}, {10.249, false},
                 {10.25, true}, {10.3, false}, {12.0, true}};
    for (const auto& row : table) EXPECT_EQ(h.Due(row.at).has_value(), row.due) << row.at;
}

TEST(LinkHealth, TextInTheUsersNumberFormat) {
    const struct {
        double rate;
        long long bad;
        std::optional<double> since;
        char sep;
        const char* text;
    } table[] = {
        {399.6, 3, 0.04, '.',
         "Frames per second: 400\nFrames with a bad checksum: 3\nLast frame: 0.0  s ago"},
        {12.0, 0, 2.25, ',',
         "Frames per second: 12\nFrames with a bad checksum: 0\nLast frame: 2,3  s ago"},
        {0.0, 41, 75.4, '.',
         "Frames per second: 0\nFrames with a bad checksum: 41\nLast frame: 75  s ago"},
        {0.0, 0, std::nullopt, '.',
         "Frames per second: 0\nFrames with a bad checksum: 0\nLast frame: none yet"},
    };
    for (const auto& row : table) {
        LinkHealth::Figures f;
        f.framesPerSecond = row.rate;
        f.badChecksums = row.bad;
        f.secondsSinceLastFrame = row.since;
        EXPECT_EQ(LinkHealthText(f, NumberFormat(row.sep)), row.text);
    }
}

// The receive pass counts every frame start, good or bad, on the monotonic
// clock; choosing a port starts the counts again.
class LinkHealthThroughTheCore : public CoreFixture {};

TEST_F(LinkHealthThroughTheCore, ReceivePassCountsAndPortChangeRestarts) {
    view.selected = "COM3";
    ASSERT_TRUE(core.cbComPortChange());
    ASSERT_TRUE(core.LinkHealthDue());
    Pass(Join(FullSet(), {0x00, 0x2F, 0xFF, 0x2F, 0x55, 0x00, 0x2F, 0xFF, 0x2E}));
    clock.local -= 1.0;  // a wall clock set back a day changes nothing
    clock.Advance(0.5);
    const auto figures = core.LinkHealthDue();
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->badChecksums, 1);
    ASSERT_TRUE(figures->secondsSinceLastFrame);
    EXPECT_DOUBLE_EQ(*figures->secondsSinceLastFrame, 0.5);
    clock.Advance(0.6);
    EXPECT_NEAR(core.LinkHealthDue()->framesPerSecond, 8 / 1.1, 1e-9);

    ASSERT_TRUE(core.cbComPortChange());
    clock.Advance(0.3);
    const auto restarted = core.LinkHealthDue();
    ASSERT_TRUE(restarted);
    EXPECT_EQ(restarted->badChecksums, 0);
    EXPECT_FALSE(restarted->secondsSinceLastFrame);
}

}  // namespace
}  // namespace quillane::test
