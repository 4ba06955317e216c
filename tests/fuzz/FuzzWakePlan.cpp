// The wake planner and the reconnect rule fed any sequence of facts: the
// line's state, the times the watch, a refused redraw and a page's frame are
// due (tiny, huge, negative, infinite, not a number), and a port that goes
// away, fails to open, opens, is heard or is given up, while time passes.
// A plan wakes the console for each thing when it is due and not before,
// never in the past and never past the planner's horizon; a silent line with
// nothing waiting is watched, not polled; and a port is tried again at most
// once a retry period, the next try never more than one period away.
//
// Input: a list of steps; the low bit of a step's first byte picks a plan or
// a reconnect step.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "FuzzInput.h"
#include "console/line/Reconnect.h"
#include "console/line/WakePlan.h"

namespace quillane {
namespace {

using fuzz::Check;
using fuzz::Input;

constexpr int kHorizonMs = 1000000000;  // CeilMs's cap, about 11.6 days
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Seconds from now, or none: mostly within a few seconds either side, but
// also the values no clock should give.
std::optional<double> Seconds(Input& in) {
    const std::uint8_t tag = in.Next<std::uint8_t>();
    const auto ms = static_cast<double>(in.Next<std::int16_t>());
    if (tag % 8 < 2) return std::nullopt;
    // Seconds, within a millisecond, days, either side; then no clock's values.
    const double values[] = {ms / 1000.0, ms / 1.0e6, ms * 1.0e4, tag & 8 ? kInf : -kInf,
                             kNaN,        0.0};
    return values[tag % 8 - 2];
}

// The wake-up a time asks for holds the plan to it: not later, and, when
// the plan is that wake-up, not before it.
void Holds(const WakePlan& plan, std::optional<double> in, int (*wantMs)(double), WakeJob job) {
    if (!in || (job == kWakeRedraw && *in <= 0)) {
        Check(!plan.timer || !(plan.timer->jobs & job));
        return;
    }
    Check(plan.timer && plan.timer->ms <= wantMs(*in));
    if ((plan.timer->jobs & job) && std::isfinite(*in) && *in < 1.0e6)
        Check(plan.timer->ms >= *in * 1000.0 - 1e-6);
}

void Plan(Input& in) {
    const std::uint8_t flags = in.Next<std::uint8_t>();
    WakeFacts f;
    f.poll.polling = flags & 1u;
    f.poll.commandPending = flags & 2u;
    f.poll.watchable = flags & 4u;
    f.poll.closedOrGone = flags & 8u;
    f.poll.moreWaiting = flags & 16u;
    f.poll.bytesRead = flags & 32u ? in.Next<std::int8_t>() : 0;
    f.poll.secondsToTimeout = Seconds(in);
    f.watchIn = Seconds(in);
    f.redrawIn = Seconds(in);
    f.frameIn = Seconds(in);
    if (flags & 64u) f.repeatingMs = in.Next<std::int16_t>();
    const WakePlan plan = PlanWake(f);
    const PollFacts& p = f.poll;

    if (plan.timer) {
        Check(plan.timer->ms >= 0 && plan.timer->ms <= kHorizonMs + PollPlan::kRestMs + 1);
        Check(plan.timer->jobs != 0 && (plan.timer->jobs & ~15u) == 0);
    }
    Check(plan.keepTimer == (plan.timer && f.repeatingMs == plan.timer->ms));
    Check(plan.redrawNow == (f.redrawIn && *f.redrawIn <= 0));

    // The line: watched only while open, polling and quiet.
    const bool quiet =
        p.polling && !p.commandPending && !p.closedOrGone && !p.moreWaiting && p.watchable;
    if (plan.watchLine) Check(quiet && p.bytesRead <= 0);
    const bool pass = plan.timer && (plan.timer->jobs & kWakePass);
    if (!p.polling) Check(!plan.watchLine && !pass);
    // A word to send keeps the tick; a link that may time out is looked at
    // in time, or within a rest while frames stream.
    if (p.polling && p.commandPending) Check(plan.timer && plan.timer->ms <= PollPlan::kTickMs);
    if (p.polling && p.secondsToTimeout)
        Check(plan.timer &&
              plan.timer->ms <= std::max(CeilMs(*p.secondsToTimeout) + 1, PollPlan::kRestMs));

    Holds(plan, f.watchIn, CeilMs, kWakeWatch);
    Holds(plan, f.redrawIn, RestedMs, kWakeRedraw);
    Holds(plan, f.frameIn, RestedMs, kWakeFrame);

    // No busy wake: within a rest only for a word to send, a line behind, or
    // something due that soon.
    const auto soon = [](std::optional<double> s) { return s && !(*s >= 0.01); };
    if (plan.timer && plan.timer->ms < PollPlan::kRestMs)
        Check((p.polling && (p.commandPending || (p.moreWaiting && !p.closedOrGone) ||
                             soon(p.secondsToTimeout))) ||
              soon(f.watchIn));
    // A silent line with nothing waiting sleeps until bytes come or the link times out.
    if (quiet && p.bytesRead == 0 && !f.watchIn && !f.redrawIn && !f.frameIn) {
        Check(plan.watchLine);
        Check(!plan.timer || (p.secondsToTimeout && plan.timer->ms >= CeilMs(*p.secondsToTimeout)));
    }
}

class Tries {
public:
    void Step(Input& in, unsigned arg) {
        switch (arg % 6) {
            case 0:
                reconnect_.Start(in.Next<std::uint8_t>(), now_, arg & 8u);
                untilFound_ = arg & 8u;
                break;
            case 1:
                reconnect_.Stop();
                Check(!reconnect_.Active());
                break;
            case 2:
                // The watch tries the port when a try is due, and only then.
                if (!reconnect_.Due(now_)) break;
                Check(!lastTry_ || now_ - *lastTry_ >= Reconnect::kRetrySeconds - 1e-9);
                lastTry_ = now_;
                if (arg & 8u) {
                    reconnect_.Failed(now_);
                } else {
                    reconnect_.Opened(now_);
                    Check(reconnect_.Active() == untilFound_);
                }
                break;
            case 3:
                // A frame began a little while ago.
                reconnect_.Heard(now_ - in.Next<std::uint8_t>() / 100.0);
                break;
            default:
                now_ +=
                    arg & 8u ? in.Next<std::uint16_t>() / 10.0 : in.Next<std::uint8_t>() / 1000.0;
                break;
        }
        if (const std::optional<double> next = reconnect_.NextTry()) {
            Check(reconnect_.Active() && std::isfinite(*next));
            Check(*next <= now_ + Reconnect::kRetrySeconds + 1e-9);
            if (lastTry_) Check(*next >= *lastTry_ + Reconnect::kRetrySeconds - 1e-9);
            Check(reconnect_.Text() ==
                  "Reconnecting to COM" + std::to_string(reconnect_.PortNumber()) + " ...");
        }
    }

private:
    Reconnect reconnect_;
    double now_ = 500.0;
    std::optional<double> lastTry_;
    bool untilFound_ = false;
};

}  // namespace
}  // namespace quillane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    quillane::fuzz::Input in(data, size);
    quillane::Tries tries;
    while (!in.Done()) {
        const std::uint8_t step = in.Next<std::uint8_t>();
        if (step & 1u)
            tries.Step(in, step >> 1);
        else
            quillane::Plan(in);
    }
    return 0;
}
