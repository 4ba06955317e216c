// The one planner of the console's wake-ups: the pass, the core's watch, the
// refused redraw and a page's waiting presentation, on one timer and the
// watch on the line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "CoreFixture.h"
#include "console/line/WakePlan.h"

namespace quillane {

void PrintTo(const PollPlan& p, std::ostream* os) {
    *os << "{next " << static_cast<int>(p.next) << ", delay " << p.delayMs << " ms, time-out "
        << (p.timeoutMs ? std::to_string(*p.timeoutMs) + " ms" : "none") << "}";
}

void PrintTo(const WakePlan& p, std::ostream* os) {
    *os << "{line " << p.watchLine << ", timer ";
    if (p.timer)
        *os << p.timer->ms << " ms jobs " << p.timer->jobs;
    else
        *os << "none";
    *os << ", keep " << p.keepTimer << ", redraw now " << p.redrawNow << "}";
}

namespace {

// polling, command pending, watchable, closed or gone, bytes read, more
// waiting, seconds to the time-out
const PollFacts kStreaming{true, false, true, false, 58, false, 2.5};
const PollFacts kQuiet{true, false, true, false, 0, false, 2.5};
const PollFacts kSending{true, true, true, false, 58, false, 2.5};
const PollFacts kClosed{true, false, false, true, 0, false, {}};
const PollFacts kStopped{false, false, true, false, 0, false, {}};
const PollFacts kBehind{true, false, true, false, 100, true, 2.5};
const PollFacts kLookedUnlinked{true, false, true, false, 0, false, {}};
const PollFacts kOverdue{true, false, true, false, 0, false, -0.2};
const PollFacts kHungUp{true, false, true, true, 0, false, 0.0004};
const PollFacts kClosedSending{true, true, false, true, 0, false, {}};
const PollFacts kUnwatchable{true, false, false, false, 0, false, 1.0};

TEST(WakePlan, TheEarliestWakeUpOnOneTimerWhichRunsOnWhileItsWakeUpStands) {
    const struct {
        const char* what;
        WakeFacts facts;  // poll, watch, redraw, frame in s; repeating ms; log, phone,
                          // phone tick in s
        WakePlan plan;    // line, timer {ms, jobs}, keep, redraw now
    } cases[] = {
        {"streaming: rest, then look",
         {kStreaming, {}, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{10, kWakePass}, false, false}},
        {"streaming, woken by the timer",
         {kStreaming, {}, {}, {}, 10, {}, {}, {}},
         {false, WakeTimer{10, kWakePass}, true, false}},
        {"stopped by an error", {kStopped, {}, {}, {}, {}, {}, {}, {}}, {false, {}, false, false}},
        {"behind the line: read on at once",
         {kBehind, {}, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{0, kWakePass}, false, false}},
        {"a look found nothing, unlinked",
         {kLookedUnlinked, {}, {}, {}, {}, {}, {}, {}},
         {true, {}, false, false}},
        {"the time-out overdue",
         {kOverdue, {}, {}, {}, {}, {}, {}, {}},
         {true, WakeTimer{1, kWakePass}, false, false}},
        {"hung up while linked: only the time-out",
         {kHungUp, {}, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{2, kWakePass}, false, false}},
        {"closed, still sending",
         {kClosedSending, {}, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{1, kWakePass}, false, false}},
        {"a line that cannot wake the console is looked at",
         {kUnwatchable, {}, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{10, kWakePass}, false, false}},
        {"a command word to send",
         {kSending, {}, {}, {}, 10, {}, {}, {}},
         {false, WakeTimer{1, kWakePass}, false, false}},
        {"quiet: the line wakes, or the time-out",
         {kQuiet, {}, {}, {}, {}, {}, {}, {}},
         {true, WakeTimer{2501, kWakePass}, false, false}},
        {"a refused redraw while frames stream: the pass does it",
         {kStreaming, {}, 0.05, {}, {}, {}, {}, {}},
         {false, WakeTimer{10, kWakePass}, false, false}},
        {"a refused redraw on a quiet line",
         {kQuiet, {}, 0.05, {}, {}, {}, {}, {}},
         {true, WakeTimer{60, kWakeRedraw}, false, false}},
        {"a refused redraw due already",
         {kQuiet, {}, 0.0, {}, {}, {}, {}, {}},
         {true, WakeTimer{2501, kWakePass}, false, true}},
        {"an answer time before the next look",
         {kStreaming, 0.004, {}, {}, 10, {}, {}, {}},
         {false, WakeTimer{4, kWakeWatch}, false, false}},
        {"an answer time and a frame in the same ms",
         {kQuiet, 0.027, {}, 0.0167, {}, {}, {}, {}},
         {true, WakeTimer{27, kWakeWatch | kWakeFrame}, false, false}},
        {"closed, nothing waits", {kClosed, {}, {}, {}, {}, {}, {}, {}}, {false, {}, false, false}},
        {"stopped by an error, a port tried again in a second",
         {kStopped, 1.0, {}, {}, {}, {}, {}, {}},
         {false, WakeTimer{1000, kWakeWatch}, false, false}},
        {"log lines held while frames stream: a pass writes them",
         {kStreaming, {}, {}, {}, 10, 0.0, {}, {}},
         {false, WakeTimer{10, kWakePass | kWakeLog}, true, false}},
        {"log lines held on a quiet line",
         {kQuiet, {}, {}, {}, {}, 0.1, {}, {}},
         {true, WakeTimer{110, kWakeLog}, false, false}},
        {"log lines held, polling stopped by an error",
         {kStopped, {}, {}, {}, {}, 0.04, {}, {}},
         {false, WakeTimer{50, kWakeLog}, false, false}},
        {"a refused snapshot while frames stream: a pass sends it",
         {kStreaming, {}, {}, {}, 10, {}, 0.0, 0.6},
         {false, WakeTimer{10, kWakePass | kWakePhone}, true, false}},
        {"a refused snapshot on a quiet line",
         {kQuiet, {}, {}, {}, {}, {}, 0.07, 0.9},
         {true, WakeTimer{80, kWakePhone}, false, false}},
        {"shared on a silent line: the tick, once a second",
         {kLookedUnlinked, {}, {}, {}, {}, {}, {}, 1.0},
         {true, WakeTimer{1010, kWakePhone}, false, false}},
        {"the tick late after a long wake: at the next rest",
         {kStopped, {}, {}, {}, {}, {}, {}, -3.0},
         {false, WakeTimer{10, kWakePhone}, false, false}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlanWake(c.facts), c.plan) << c.what;
}

TEST(WakePlan, WholeMillisecondsNeverBeforeTheTimeAndNeverPastTheHorizon) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double seconds;
        int ms;
    } cases[] = {
        {0.0, 0},  {0.0001, 1}, {0.001, 1},        {0.0011, 2},       {2.5, 2500},
        {-0.2, 0}, {-inf, 0},   {1e7, 1000000000}, {inf, 1000000000}, {std::nan(""), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(CeilMs(c.seconds), c.ms) << c.seconds;
}

// What the core knows of the next pass, from the line, the link and the slots.
using Next = PollPlan::Next;
using namespace test;

class PlanNextPass : public test::CoreFixture {
protected:
    PlanNextPass() {
        link.readable = 5;
        core.TimerTimer();  // opens the port
    }
    PollPlan Plan() const { return PlanPoll(core.Facts(true, clock.mono).poll); }
};

TEST_F(PlanNextPass, FollowsTheLinkTheLineAndTheCommandSlots) {
    link.Script(Frames(LinkUpSet().Words()));
    core.TimerTimer();
    ASSERT_TRUE(core.Linked());
    EXPECT_EQ(Plan(), (PollPlan{Next::Tick, 10, {}}));
    clock.Advance(1.0);
    core.TimerTimer();  // nothing more came
    EXPECT_EQ(Plan(), (PollPlan{Next::Watch, 0, 2001}));
    link.Script(Bytes(100, 0x55));  // a full read: more is waiting
    core.TimerTimer();
    EXPECT_EQ(Plan().delayMs, 0);
    core.QueueCmd1(1, 2, 3);
    EXPECT_EQ(Plan().next, Next::Tick);
}

TEST_F(PlanNextPass, AHungUpLineIsNotWatchedAndOneThatCannotBeIsPolled) {
    link.readable = ByteLink::kNoReadable;
    EXPECT_EQ(Plan(), (PollPlan{Next::Tick, 10, {}}));
    link.readable = 5;
    link.gone = true;
    core.TimerTimer();  // woken by the hang-up, reads nothing
    EXPECT_EQ(Plan(), (PollPlan{Next::Nothing, 0, {}}));
}

}  // namespace
}  // namespace quillane
