#include "console/line/WakePlan.h"

namespace quillane {

namespace {

// The earliest of the wake-ups; jobs due in the same millisecond go together.
void Earliest(std::optional<WakeTimer>& timer, std::optional<int> ms, WakeJob job) {
    if (!ms) return;
    if (!timer || *ms < timer->ms)
        timer = WakeTimer{*ms, job};
    else if (*ms == timer->ms)
        timer->jobs |= job;
}

std::optional<int> PassMs(const PollPlan& pass) {
    if (pass.next == PollPlan::Next::Tick) return pass.delayMs;
    return pass.timeoutMs;
}

}  // namespace

int RestedMs(double seconds) { return CeilMs(seconds) + PollPlan::kRestMs; }

WakePlan PlanWake(const WakeFacts& f) {
    WakePlan plan;
    const PollPlan pass = PlanPoll(f.poll);
    plan.watchLine = pass.next == PollPlan::Next::Watch;
    Earliest(plan.timer, PassMs(pass), kWakePass);
    if (f.watchIn) Earliest(plan.timer, CeilMs(*f.watchIn), kWakeWatch);
    if (f.redrawIn && *f.redrawIn <= 0)
        plan.redrawNow = true;
    else if (f.redrawIn)
        Earliest(plan.timer, RestedMs(*f.redrawIn), kWakeRedraw);
    if (f.frameIn) Earliest(plan.timer, RestedMs(*f.frameIn), kWakeFrame);
    if (f.logIn) Earliest(plan.timer, RestedMs(*f.logIn), kWakeLog);
    if (f.phoneIn) Earliest(plan.timer, RestedMs(*f.phoneIn), kWakePhone);
    if (f.phoneTickIn) Earliest(plan.timer, RestedMs(*f.phoneTickIn), kWakePhone);
    plan.keepTimer = plan.timer && f.repeatingMs == plan.timer->ms;
    return plan;
}

}  // namespace quillane
