#pragma once

#include <optional>

#include "console/line/PollPlan.h"

namespace quillane {

// The one planner of the console's wake-ups. The window keeps a single timer
// and its watch on the line; after every wake and whenever anything that
// wakes it changed, it hands this planner all it knows and follows the plan.
//
// What the timer does when it fires:
enum WakeJob : unsigned {
    kWakePass = 1u,    // a pass over the line (a tick, or the link time-out)
    kWakeWatch = 2u,   // the core's watch: a port tried again, answer times
    kWakeRedraw = 4u,  // the signal-driven redraw the redraw limit refused
    kWakeFrame = 8u,   // the presentation a page asked for within a frame
    kWakeLog = 16u,    // the exchange log's held lines are due for the disk
    kWakePhone = 32u,  // the phone view's waiting snapshot or its tick is due
};

// The one timer as it is armed: this many milliseconds, for these jobs.
struct WakeTimer {
    int ms = 0;
    unsigned jobs = 0;
    bool operator==(const WakeTimer& o) const { return ms == o.ms && jobs == o.jobs; }
};

// Everything that may wake the console. Times are seconds from now on the
// monotonic clock.
struct WakeFacts {
    PollFacts poll;                  // the line and the command slots
    std::optional<double> watchIn;   // the core's watch is due
    std::optional<double> redrawIn;  // a refused signal redraw may be done
    std::optional<double> frameIn;   // a page's waiting presentation may go
    // The timer woke the console just now and repeats at this interval: its
    // next wake-up comes that long after this one.
    std::optional<int> repeatingMs;
    std::optional<double> logIn;  // the exchange log's held lines are due
    // While the phone view is shared: a snapshot the rate refused may go, and
    // the once-a-second tick (the phones counted, what changed with no word).
    std::optional<double> phoneIn;
    std::optional<double> phoneTickIn;
};

struct WakePlan {
    bool watchLine = false;  // a pass when bytes arrive
    std::optional<WakeTimer> timer;
    // The repeating timer already wakes the console when the plan wants:
    // it is left as it runs (it is not stopped and started at every pass).
    bool keepTimer = false;
    // The refused redraw is due already: the window does it at once, then
    // plans again.
    bool redrawNow = false;

    bool operator==(const WakePlan& o) const {
        return watchLine == o.watchLine && timer == o.timer && keepTimer == o.keepTimer &&
               redrawNow == o.redrawNow;
    }
};

// A redraw, a presentation, the log's write or the phone view's work that
// waits comes a rest after it may, so that while frames stream the next pass,
// which comes within a rest, does it and the timer wakes the console only
// once the line went quiet.
int RestedMs(double seconds);

WakePlan PlanWake(const WakeFacts& f);

}  // namespace quillane
