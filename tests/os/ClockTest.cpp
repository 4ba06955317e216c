#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "EnvVar.h"
#include "os/SystemClock.h"

namespace quillane {
namespace {

// Sets the process time zone for one test and puts the old one back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) { Set(zone); }
    ~TimeZone() {
        saved_.reset();  // puts TZ back
        tzset();
    }
    void Set(const char* zone) {
        saved_->Set(zone);
        tzset();
    }

private:
    std::optional<test::SavedEnvVar> saved_{"TZ"};
};

// The log stamps and the time-out trace read the local time as days since
// 1899-12-30; in UTC that is the Unix time shifted by 25569 days. Fixed
// moments, not the wall clock: two reads of it never agree to the digit.
TEST(SystemClock, LocalDaysCountFromTheEndOf1899) {
    TimeZone utc("UTC0");
    const struct {
        std::time_t secs;
        int ms;
        double days;
    } cases[] = {{0, 0, 25569.0},
                 {86399, 999, 25569.0 + 86399.999 / 86400.0},
                 {1700000000, 250, 25569.0 + 1700000000.25 / 86400.0},
                 {951782400, 0, 36585.0}};  // 2000-02-29, a leap day
    for (const auto& c : cases)
        EXPECT_NEAR(SystemClock::LocalDaysAt(c.secs, c.ms), c.days, 1e-9) << c.secs;
}

// Far east of Greenwich the local date runs ahead of the UTC date for half
// the day; the day number must follow the local date, not the UTC one.
TEST(SystemClock, LocalDaysFollowTheTimeZone) {
    const std::time_t evening = 1700000000 - 1700000000 % 86400 + 20 * 3600;  // 20:00 UTC
    TimeZone zone("UTC0");
    const double utc = SystemClock::LocalDaysAt(evening, 0);
    zone.Set("XXX-13");
    const double east = SystemClock::LocalDaysAt(evening, 0);
    EXPECT_NEAR((east - utc) * 24.0, 13.0, 1e-6);
    EXPECT_EQ(static_cast<long>(east), static_cast<long>(utc) + 1);  // the next day there
}

// The log's stamps keep the local date of the last second instead of asking
// the zone rules on every line: each stamp must still read exactly as if it
// had asked, over a new second, local midnight, a clock set back and the
// change to summer time.
TEST(SystemClock, KeptSecondReadsAsAFreshConversion) {
    TimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::time_t midnight = 1700002800;  // 2023-11-15 00:00 local (UTC+1)
    const std::time_t summer = 1711846800;    // 2024-03-31 03:00 local, just changed
    const struct {
        std::time_t secs;
        int ms;
    } steps[] = {{midnight - 1, 0}, {midnight - 1, 999}, {midnight, 0}, {midnight - 1, 500},
                 {summer - 1, 999}, {summer, 0},         {summer, 7}};
    // The steps do cross the local date and the summer-time change.
    ASSERT_EQ(static_cast<long>(SystemClock::LocalDaysAt(midnight, 0)),
              static_cast<long>(SystemClock::LocalDaysAt(midnight - 1, 999)) + 1);
#ifndef _WIN32
    // The Windows C runtime takes only the offset and the names from TZ, not
    // the rules of the change, so there the summer steps are plain seconds.
    ASSERT_NEAR(
        (SystemClock::LocalDaysAt(summer, 0) - SystemClock::LocalDaysAt(summer - 1, 0)) * 86400.0,
        3601.0, 1e-3);
#endif
    SystemClock::LocalSecond kept;
    for (const auto& s : steps)
        EXPECT_EQ(kept.DaysAt(s.secs, s.ms), SystemClock::LocalDaysAt(s.secs, s.ms))
            << s.secs << "." << s.ms;
}

}  // namespace
}  // namespace quillane
