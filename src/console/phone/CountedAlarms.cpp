#include "console/phone/CountedAlarms.h"

#include <algorithm>

#include "console/record/LocalDateTime.h"

namespace quillane {

void CountedAlarms::Note(Page page, SiteRecord::Count change, long long count, double localDays) {
    switch (change) {
        case SiteRecord::Count::On:
            return;
        case SiteRecord::Count::Alarm:
            ++serial_;
            newest_.push_front({TimeOfDayText(localDays), page, count});
            if (newest_.size() > kKept) newest_.pop_back();
            return;
        case SiteRecord::Count::Reset:
        case SiteRecord::Count::Off:
            newest_.erase(std::remove_if(newest_.begin(), newest_.end(),
                                         [page](const CountedAlarm& a) { return a.page == page; }),
                          newest_.end());
            return;
    }
}

}  // namespace quillane
