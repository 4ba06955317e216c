#pragma once

namespace quillane {

// Time as the console needs it: local wall time for log stamps and trace texts,
// a monotonic clock for every interval (link time-out, redraw limit, shutdown
// wait), so that a clock set back or forward cannot freeze the display or hide
// a lost link. Tests drive a fake.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time in days since 1899-12-30 (the fractional part is the
    // time of day), with milliseconds.
    virtual double LocalDays() const = 0;
    // Seconds on a clock that never goes back; its origin is arbitrary.
    virtual double MonotonicSeconds() const = 0;
    // Sleeps (or, in a fake, advances) the given milliseconds.
    virtual void SleepMs(int ms) = 0;
};

}  // namespace quillane
