#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "CoreFixture.h"
#include "console/line/PollPlan.h"

namespace quillane {

// Readable plans in failure messages (found by argument lookup).
void PrintTo(const PollPlan& p, std::ostream* os) {
    *os << "{next " << static_cast<int>(p.next) << ", delay " << p.delayMs << " ms, time-out "
        << (p.timeoutMs ? std::to_string(*p.timeoutMs) + " ms" : "none") << "}";
}

namespace test {
namespace {

using Next = PollPlan::Next;

TEST(PollPlan, TheLineWakesThePassUnlessACommandTicksOrNothingCanArrive) {
    // polling, command pending, watchable, closed or gone, bytes read, more
    // waiting, seconds to the time-out
    const struct {
        const char* what;
        PollFacts facts;
        PollPlan plan;
    } cases[] = {
        {"stopped by an error", {false, true, true, false, 58, false, 1.0}, {Next::Nothing, 0, {}}},
        {"a command word", {true, true, true, false, 58, false, 1.0}, {Next::Tick, 1, {}}},
        {"streaming: rest, then look",
         {true, false, true, false, 58, false, 2.5},
         {Next::Tick, 10, {}}},
        {"behind the line", {true, false, true, false, 100, true, 2.5}, {Next::Tick, 0, {}}},
        {"a look found nothing", {true, false, true, false, 0, false, {}}, {Next::Watch, 0, {}}},
        {"linked, found nothing",
         {true, false, true, false, 0, false, 2.5},
         {Next::Watch, 0, 2501}},
        {"time-out overdue", {true, false, true, false, 0, false, -0.2}, {Next::Watch, 0, 1}},
        {"hung up, linked", {true, false, true, true, 0, false, 0.0004}, {Next::Nothing, 0, 2}},
        {"closed, unlinked", {true, false, false, true, 0, false, {}}, {Next::Nothing, 0, {}}},
        {"closed, sending", {true, true, false, true, 0, false, {}}, {Next::Tick, 1, {}}},
        {"cannot be watched", {true, false, false, false, 0, false, 1.0}, {Next::Tick, 10, {}}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlanPoll(c.facts), c.plan) << c.what;
}

class PlanNextPass : public CoreFixture {
protected:
    PlanNextPass() {
        link.readable = 5;
        core.TimerTimer();  // opens the port
    }
};

TEST_F(PlanNextPass, FollowsTheLinkTheLineAndTheCommandSlots) {
    link.Script(Frames(LinkUpSet().Words()));
    core.TimerTimer();
    ASSERT_TRUE(core.Linked());
    EXPECT_EQ(core.PlanNextPass(true), (PollPlan{Next::Tick, 10, {}}));
    clock.Advance(1.0);
    core.TimerTimer();  // nothing more came
    EXPECT_EQ(core.PlanNextPass(true), (PollPlan{Next::Watch, 0, 2001}));
    link.Script(Bytes(100, 0x55));  // a full read: more is waiting
    core.TimerTimer();
    EXPECT_EQ(core.PlanNextPass(true).delayMs, 0);
    core.QueueCmd1(1, 2, 3);
    EXPECT_EQ(core.PlanNextPass(true).next, Next::Tick);
}

TEST_F(PlanNextPass, AHungUpLineIsNotWatchedAndOneThatCannotBeIsPolled) {
    link.readable = ByteLink::kNoReadable;
    EXPECT_EQ(core.PlanNextPass(true), (PollPlan{Next::Tick, 10, {}}));
    link.readable = 5;
    link.gone = true;
    core.TimerTimer();  // woken by the hang-up, reads nothing
    EXPECT_EQ(core.PlanNextPass(true), (PollPlan{Next::Nothing, 0, {}}));
}

}  // namespace
}  // namespace test
}  // namespace quillane
