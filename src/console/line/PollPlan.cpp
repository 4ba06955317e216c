#include "console/line/PollPlan.h"

#include <algorithm>
#include <cmath>

namespace quillane {

namespace {

// The receive pass drops the link only once more than the time-out has
// passed, so the pass comes a millisecond after it, never before.
int TimeoutMs(double seconds) { return CeilMs(seconds) + 1; }

PollPlan Tick(int ms) { return PollPlan{PollPlan::Next::Tick, ms, std::nullopt}; }

}  // namespace

int CeilMs(double seconds) {
    // A time that is not a number is no time at all: due now, so that the
    // wake that follows plans again from what it then knows.
    if (std::isnan(seconds)) return 0;
    const double ms = std::ceil(std::max(seconds, 0.0) * 1000.0);
    return ms > 1e9 ? 1000000000 : static_cast<int>(ms);
}

PollPlan PlanPoll(const PollFacts& f) {
    if (!f.polling) return PollPlan{};
    // Every tick's pass reads the line too: nothing else is needed.
    if (f.commandPending) return Tick(PollPlan::kTickMs);
    if (f.closedOrGone) {
        // A hung-up line reads as readable for ever, and a closed one has
        // nothing to watch: only the time-out has anything left to do.
        PollPlan plan;
        if (f.secondsToTimeout) plan.timeoutMs = TimeoutMs(*f.secondsToTimeout);
        return plan;
    }
    if (f.moreWaiting) return Tick(0);
    // A line that cannot wake the console is looked at as often as it would
    // be while streaming.
    if (f.bytesRead > 0 || !f.watchable) return Tick(PollPlan::kRestMs);
    PollPlan plan{PollPlan::Next::Watch, 0, std::nullopt};
    if (f.secondsToTimeout) plan.timeoutMs = TimeoutMs(*f.secondsToTimeout);
    return plan;
}

}  // namespace quillane
