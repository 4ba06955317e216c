#pragma once

#include <ctime>

#include "os/Clock.h"

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

    // LocalDaysAt with the local date of the last whole second kept: every
    // line of the exchange log is stamped, dozens within one second, and
    // finding the local time consults the time-zone rules each time. The
    // answer is the same to the last bit as LocalDaysAt's.
    class LocalSecond {
    public:
        double DaysAt(std::time_t secs, int milliseconds);

    private:
        bool known_ = false;
        std::time_t secs_ = 0;
        double day_ = 0;
        double secondOfDay_ = 0;
    };

private:
    // The day number since 1899-12-30 and the seconds into that day of secs,
    // both whole, in the process's time zone.
    static void SplitLocal(std::time_t secs, double& day, double& secondOfDay);
    static double Combine(double day, double secondOfDay, int milliseconds);
    // The broken-down local time of secs, by each system's own call
    // (SystemClock_<system>.cpp).
    static std::tm LocalTime(std::time_t secs);

    mutable LocalSecond lastSecond_;
};

}  // namespace quillane
