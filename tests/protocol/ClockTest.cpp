#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "protocol/Clock.h"

namespace quillane {
namespace {

// The log stamps and the time-out trace read the local time as days since
// 1899-12-30; in UTC that is the Unix time shifted by 25569 days.
TEST(SystemClock, LocalDaysCountFromTheEndOf1899) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC0", 1);
    tzset();

    SystemClock clock;
    const double before = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
    const double days = clock.LocalDays();
    const double after = static_cast<double>(std::time(nullptr) + 1) / 86400.0 + 25569.0;
    EXPECT_GE(days, before);
    EXPECT_LE(days, after);

    if (old) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(SystemClock, LocalDaysFollowTheTimeZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    SystemClock clock;
    setenv("TZ", "UTC0", 1);
    tzset();
    const double utc = clock.LocalDays();
    setenv("TZ", "XXX-13", 1);  // thirteen hours east of Greenwich
    tzset();
    const double east = clock.LocalDays();
    EXPECT_NEAR((east - utc) * 24.0, 13.0, 0.01);
    if (old) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace quillane
