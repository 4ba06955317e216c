#pragma once

#include <functional>

#include "protocol/Clock.h"

namespace quillane::test {

// Time that moves only when a test (or a 1 ms sleep) moves it.
class FakeClock : public Clock {
public:
    double LocalDays() const override { return days; }
    double MonotonicSeconds() const override { return seconds; }
    void SleepMs(int ms) override {
        seconds += ms / 1000.0;
        days += ms / 86400000.0;
        if (onSleep) onSleep();
    }

    double days = 45000.5;
    double seconds = 1000.0;
    // Runs at every sleep, e.g. a timer tick that real time would have brought.
    std::function<void()> onSleep;
};

}  // namespace quillane::test
