#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "console/pages/Page.h"
#include "console/record/SiteRecord.h"

namespace quillane {

// One alarm as an alarm counter group counted it: the time of day, the page
// whose group counted it and the count it made.
struct CountedAlarm {
    std::string time;  // "10:20:30"
    Page page = Page::Setup;
    long long count = 0;
    bool operator==(const CountedAlarm& o) const {
        return time == o.time && page == o.page && count == o.count;
    }
};

// The alarms the groups counted, for the phone's view: the newest first, as
// many as a phone shows, and those of a group only while its count holds
// them (a reset or counting switched off clears them with the count). The
// serial number goes on across resets, so that a phone can tell a new alarm
// from one it has seen.
class CountedAlarms {
public:
    static constexpr std::size_t kKept = 10;

    // What a group did, as it tells the site record; `localDays` is the
    // clock's local time.
    void Note(Page page, SiteRecord::Count change, long long count, double localDays);

    const std::deque<CountedAlarm>& Newest() const { return newest_; }
    long long Serial() const { return serial_; }

private:
    std::deque<CountedAlarm> newest_;
    long long serial_ = 0;
};

}  // namespace quillane
