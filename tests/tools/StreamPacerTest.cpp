#include <gtest/gtest.h>

#include <cmath>

#include "StreamPacer.h"

namespace quillane {
namespace {

// Wake-ups at uneven times: the frames sent never run ahead of the rate, and
// with prompt wake-ups none are skipped.
TEST(StreamPacerTest, KeepsToTheRateWithUnevenWakeUps) {
    for (int rate : {1, 10, 400, 1440}) {
        StreamPacer pacer(rate);
        long long sent = 0;
        double t = 0;
        for (int i = 0; t < 10.0; ++i) {
            sent += pacer.Due(t);
            EXPECT_LE(sent, static_cast<long long>(std::floor(t * rate)) + 1)
                << rate << " at " << t;
            t += (i % 3 == 0 ? 0.4 : 1.3) / 1000;  // 0.4 ms and 1.3 ms steps
        }
        EXPECT_EQ(pacer.Skipped(), 0) << rate;
        EXPECT_NEAR(static_cast<double>(sent), rate * 10.0, rate * 0.01 + 2) << rate;
    }
}

TEST(StreamPacerTest, AStallSendsOnlyAShortBurst) {
    StreamPacer pacer(1440);
    EXPECT_EQ(pacer.Due(0), 1);
    const int burst = pacer.Due(1.0);  // a whole second late
    EXPECT_GE(burst, 1);
    EXPECT_LE(burst, 8);  // at most about 5 ms of line time
    EXPECT_GT(pacer.Skipped(), 1400);
    EXPECT_EQ(pacer.Due(1.0), 0);
    EXPECT_GT(pacer.NextDue(), 1.0);
}

TEST(StreamPacerTest, NextDueFollowsTheFramesSent) {
    StreamPacer pacer(100);
    EXPECT_DOUBLE_EQ(pacer.NextDue(), 0);
    EXPECT_EQ(pacer.Due(0.005), 1);
    EXPECT_DOUBLE_EQ(pacer.NextDue(), 0.01);
    EXPECT_EQ(pacer.Due(0.0099), 0);
    EXPECT_EQ(pacer.Due(0.031), 2);  // frames 1 to 3 were due: the oldest is skipped
    EXPECT_EQ(pacer.Skipped(), 1);
}

}  // namespace
}  // namespace quillane
