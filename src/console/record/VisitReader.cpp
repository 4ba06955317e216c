#include "console/record/VisitReader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "console/record/LocalDateTime.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordReader.h"

namespace quillane {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// Half a millisecond, the record's resolution, in days.
constexpr double kSameStamp = 0.5 / 86400000.0;

double FromOf(const ReportScope& s) {
    switch (s.span) {
        case ReportSpan::Visit:
            return s.visitStartDays;
        case ReportSpan::Today:
            return std::min(s.visitStartDays, std::floor(s.nowDays));
        case ReportSpan::Record:
            break;
    }
    return -std::numeric_limits<double>::infinity();
}

}  // namespace

ScopeFilter::ScopeFilter(const ReportScope& scope) : scope_(scope), from_(FromOf(scope)) {}

ScopeFilter::Verdict ScopeFilter::Judge(const RecordEntry& e) {
    Verdict v;
    // From the visit's own detection on, whatever the clock says (set back
    // during the visit); before it, by time.
    v.take = visitSeen_ || e.days >= from_ - kSameStamp;
    if (e.event == "detected") {
        const DetectorIdentity found = IdentityOf(e);
        // Another detector before this one: what came before is not this one's.
        v.restart = v.take && last_ && *last_ != found;
        last_ = found;
        // The visit's own detection: whatever the clock did before it.
        if (scope_.span == ReportSpan::Visit &&
            std::fabs(e.days - scope_.visitStartDays) <= kSameStamp)
            v.restart = v.take = visitSeen_ = true;
    } else if (e.event == "link_lost") {
        // As the detector was at the loss: a relink to it continues the visit.
        const DetectorIdentity lost = IdentityOf(e);
        if (!lost.model.empty()) last_ = lost;
    }
    return v;
}

void VisitReader::Restart() {
    const std::uint64_t givenUp = visit_.linesGivenUp;
    visit_ = VisitRecord{};
    visit_.linesGivenUp = givenUp;
    openWalks_.clear();
}

void VisitReader::Take(const RecordEntry& e) {
    const ScopeFilter::Verdict v = filter_.Judge(e);
    if (v.restart) Restart();
    if (!v.take) return;
    if (visit_.lines++ == 0) visit_.fromDays = e.days;
    TakeWalk(e);
    if (e.event == "calibration_maximum") {
        if (const auto mv = e.Number("mV"))
            visit_.calibration =
                CalibrationRecord{*mv, ParseDateTime(e.Text("reached")).value_or(e.days)};
    } else if (e.event == "link_lost") {
        EndWarning(e.days);
        visit_.outages.push_back({e.days, std::nullopt, e.Text("port")});
    } else if (e.event == "detected") {
        if (!visit_.outages.empty() && !visit_.outages.back().endDays)
            visit_.outages.back().endDays = e.days;
    } else if (e.event == "warning") {
        EndWarning(e.days);
        visit_.warnings.push_back({e.days, std::nullopt, e.Text("text")});
    } else if (e.event == "warning_end") {
        EndWarning(e.days);
    }
}

void VisitReader::EndWarning(double days) {
    if (!visit_.warnings.empty() && !visit_.warnings.back().endDays)
        visit_.warnings.back().endDays = days;
}

void VisitReader::TakeWalk(const RecordEntry& e) {
    const std::string page = e.Text("page");
    if (e.event == "counting_on" || e.event == "count_reset") {
        StartWalk(page, e.days);
        return;
    }
    const auto it = openWalks_.find(page);
    if (it == openWalks_.end()) return;
    WalkTestRecord& walk = it->second;
    if (e.event == "counting_off") {
        walk.endDays = std::max(walk.endDays, e.days);
        FinishWalk(std::move(walk));
        openWalks_.erase(it);
    } else if (e.event == "alarm") {
        walk.endDays = std::max(walk.endDays, e.days);
        walk.alarmDays.push_back(e.days);
    } else if (e.event == "signal") {
        WalkTestRecord::Point p;
        p.seconds = (e.days - walk.startDays) * kSecondsPerDay;
        const std::optional<double> seconds = e.Number("seconds");
        p.width = seconds.value_or(0.5);
        p.low = e.Number("low").value_or(0);
        p.high = e.Number("high").value_or(0);
        p.pl = e.Number("pl").value_or(0);
        p.ll = e.Number("ll").value_or(0);
        p.hl = e.Number("hl").value_or(0);
        // Until its last word; an older line does not say when that was.
        walk.endDays = std::max(walk.endDays, e.days + seconds.value_or(0) / kSecondsPerDay);
        walk.signal.push_back(p);
    }
}

void VisitReader::StartWalk(const std::string& page, double days) {
    const auto it = openWalks_.find(page);
    if (it != openWalks_.end()) {
        FinishWalk(std::move(it->second));
        openWalks_.erase(it);
    }
    WalkTestRecord walk;
    walk.page = page;
    walk.startDays = walk.endDays = days;
    openWalks_.emplace(page, std::move(walk));
}

void VisitReader::FinishWalk(WalkTestRecord walk) {
    const double seconds = (walk.endDays - walk.startDays) * kSecondsPerDay;
    if (walk.alarmDays.empty() && seconds < kQuietWalkSeconds) return;
    // The one that began last, whichever page's.
    if (visit_.walk && walk.startDays < visit_.walk->startDays) return;
    visit_.walk = std::move(walk);
}

VisitRecord VisitReader::Done() {
    for (auto& [page, walk] : openWalks_) FinishWalk(std::move(walk));
    openWalks_.clear();
    return std::move(visit_);
}

VisitRecord ReadVisit(const RecordSnapshot& snapshot, const ReportScope& scope) {
    VisitReader reader(scope);
    const std::uint64_t givenUp = ReadRecordLines(snapshot, [&reader](std::string_view line) {
        if (const std::optional<RecordEntry> e = ParseRecordLine(line)) reader.Take(*e);
    });
    VisitRecord visit = reader.Done();
    visit.linesGivenUp = givenUp;
    visit.incomplete = snapshot.incomplete;
    return visit;
}

std::optional<WalkTestRecord> LastWalkTest(const std::vector<RecordEntry>& entries) {
    VisitReader reader(ReportScope{ReportSpan::Record, 0, 0});
    for (const RecordEntry& e : entries) reader.Take(e);
    return reader.Done().walk;
}

}  // namespace quillane
