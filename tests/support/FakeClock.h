#pragma once

#include <functional>

#include "os/Clock.h"

namespace quillane::test {

// Two independent clocks that move only when a test (or a 1 ms sleep) moves
// them, so that a test can set the wall clock back or forward without moving
// the monotonic one.
class FakeClock : public Clock {
public:
    static constexpr double kDay = 45000.0;  // some day in 2023

    static double At(int h, int m, int s, int ms) {
        return kDay + (h * 3600000.0 + m * 60000.0 + s * 1000.0 + ms) / 86400000.0;
    }

    double LocalDays() const override { return local; }
    double MonotonicSeconds() const override { return mono; }
    void SleepMs(int ms) override {
        Advance(ms / 1000.0);
        if (onSleep) onSleep();
    }

    void Advance(double seconds) {
        mono += seconds;
        local += seconds / 86400.0;
    }

    double local = At(10, 20, 30, 456);
    double mono = 1000.0;
    // Runs at every sleep, e.g. a timer tick that real time would have brought.
    std::function<void()> onSleep;
};

}  // namespace quillane::test
