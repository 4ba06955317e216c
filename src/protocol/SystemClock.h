#pragma once

#include <ctime>

#include "protocol/Clock.h"

namespace quillane {

// The real clocks of the machine.
class SystemClock : public Clock {
public:
    double LocalDays() const override;
    double MonotonicSeconds() const override;
    void SleepMs(int ms) override;

    // LocalDays at a given moment: secs since 1970 (UTC) and the milliseconds
    // past them, in the process's time zone.
    static double LocalDaysAt(std::time_t secs, int milliseconds);

private:
    // The broken-down local time of secs, by each system's own call
    // (SystemClock_<system>.cpp).
    static std::tm LocalTime(std::time_t secs);
};

}  // namespace quillane
