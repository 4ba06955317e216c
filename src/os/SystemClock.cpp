#include "os/SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace quillane {

namespace {
// Days from 1899-12-30 to a date of the proleptic Gregorian calendar, worked
// out from the calendar alone (no time-zone rules to consult on every line).
long DaysFrom18991230(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long daysFrom1970 = era * 146097 + dayOfEra - 719468;
    return daysFrom1970 + 25569;  // 1970-01-01 is day 25569
}
}  // namespace

double SystemClock::LocalDays() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return lastSecond_.DaysAt(secs, static_cast<int>(ms));
}

double SystemClock::LocalDaysAt(std::time_t secs, int milliseconds) {
    double day = 0;
    double secondOfDay = 0;
    SplitLocal(secs, day, secondOfDay);
    return Combine(day, secondOfDay, milliseconds);
}

void SystemClock::SplitLocal(std::time_t secs, double& day, double& secondOfDay) {
    const std::tm local = LocalTime(secs);
    day = static_cast<double>(
        DaysFrom18991230(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
}

double SystemClock::Combine(double day, double secondOfDay, int milliseconds) {
    return day + (secondOfDay + milliseconds / 1000.0) / 86400.0;
}

double SystemClock::LocalSecond::DaysAt(std::time_t secs, int milliseconds) {
    // A change of zone rules (summer time) falls on a whole second, so one
    // second never has two local times.
    if (!known_ || secs != secs_) {
        SplitLocal(secs, day_, secondOfDay_);
        secs_ = secs;
        known_ = true;
    }
    return Combine(day_, secondOfDay_, milliseconds);
}

double SystemClock::MonotonicSeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace quillane
