#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "EnvVar.h"
#include "protocol/SystemClock.h"

namespace quillane {
namespace {

// Sets the process time zone for one test and puts the old one back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        Set(zone);
    }
    ~TimeZone() {
        if (saved_) {
            test::SetEnvVar("TZ", *saved_);
        } else {
            test::UnsetEnvVar("TZ");
        }
        tzset();
    }
    void Set(const char* zone) {
        test::SetEnvVar("TZ", zone);
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

// The log stamps and the time-out trace read the local time as days since
// 1899-12-30; in UTC that is the Unix time shifted by 25569 days.
TEST(SystemClock, LocalDaysCountFromTheEndOf1899) {
    TimeZone utc("UTC0");
    SystemClock clock;
    const double before = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
    const double days = clock.LocalDays();
    const double after = static_cast<double>(std::time(nullptr) + 1) / 86400.0 + 25569.0;
    EXPECT_GE(days, before);
    EXPECT_LE(days, after);
}

// Far east of Greenwich the local date runs ahead of the UTC date for half
// the day; the day number must follow the local date, not the UTC one.
TEST(SystemClock, LocalDaysFollowTheTimeZone) {
    TimeZone zone("UTC0");
    SystemClock clock;
    const double utc = clock.LocalDays();
    zone.Set("XXX-13");
    const double east = clock.LocalDays();
    EXPECT_NEAR((east - utc) * 24.0, 13.0, 0.01);
}

}  // namespace
}  // namespace quillane
