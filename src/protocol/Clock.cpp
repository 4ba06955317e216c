#include "protocol/Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

namespace quillane {

double SystemClock::LocalDays() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    // Days since 1899-12-30 of the local calendar date, plus the time of day.
    std::tm base{};
    base.tm_year = local.tm_year;
    base.tm_mon = local.tm_mon;
    base.tm_mday = local.tm_mday;
    base.tm_hour = 12;  // noon keeps daylight-saving shifts away from the date
    const std::time_t dayNoon = std::mktime(&base);
    const double unixDays = std::floor(static_cast<double>(dayNoon) / 86400.0);
    const double days = unixDays + 25569.0;  // 1970-01-01 is day 25569
    const double timeOfDay =
        (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0) / 86400.0;
    return days + timeOfDay;
}

double SystemClock::MonotonicSeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quillane
