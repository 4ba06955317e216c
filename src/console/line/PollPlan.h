#pragma once

#include <optional>

namespace quillane {

// When the console next looks at the line, decided after every pass and
// whenever the line or the work waiting on it changes.
//
// The detector streams up to 1440 frames a second, and nothing the console
// does with them needs them sooner than a screen shows them. So the console
// sleeps until bytes arrive, takes them in a pass, and rests kRestMs before it
// looks again: while frames stream a pass runs about every 10 ms (58 bytes at
// the full line rate, well within a pass's 100), and once a look finds nothing
// it sleeps until bytes come, however long the line stays silent. A command
// word keeps the 1 ms tick, which spaces its seven sends. A linked detector
// that falls silent is noticed by one pass at the end of the link time-out.
// When the console fell behind (a pass read all it could), it reads on without
// a rest until it has caught up.
struct PollFacts {
    bool polling = true;                     // false after an error, or a port that did not open
    bool commandPending = false;             // a command word has sends to go
    bool watchable = false;                  // the line can wake the console when bytes arrive
    bool closedOrGone = false;               // the port is closed or its device went away:
                                             // nothing more arrives on the line
    int bytesRead = 0;                       // by the last pass
    bool moreWaiting = false;                // the last pass filled its read: more bytes wait
    std::optional<double> secondsToTimeout;  // while linked: until the link time-out
};

struct PollPlan {
    static constexpr int kTickMs = 1;
    static constexpr int kRestMs = 10;

    enum class Next {
        Nothing,  // no pass but the time-out's, if one is due
        Tick,     // a pass in delayMs
        Watch,    // a pass when bytes arrive
    };
    Next next = Next::Nothing;
    int delayMs = 0;
    // A pass this many ms from now, when the link would time out.
    std::optional<int> timeoutMs;

    bool operator==(const PollPlan& o) const {
        return next == o.next && delayMs == o.delayMs && timeoutMs == o.timeoutMs;
    }
};

PollPlan PlanPoll(const PollFacts& f);

// Whole milliseconds to wait for a time `seconds` from now: never before it,
// none for a time already past (or not a number), at most 10^9.
int CeilMs(double seconds);

}  // namespace quillane
