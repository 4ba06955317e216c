#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "console/record/DetectorIdentity.h"

namespace quillane {

struct RecordEntry;
struct RecordSnapshot;

// What a commissioning report covers. A visit is one detector while the
// console stays linked to it, and through relinks to the same detector,
// whatever its unit letter or address became meanwhile: by default the
// report covers the visit since this detector was found in this run of the
// console; the installer may choose a longer span of the same detector.
enum class ReportSpan : std::uint8_t {
    Visit,   // since the visit began in this run
    Today,   // this detector since midnight (or since the visit began, if earlier)
    Record,  // this detector, as far back as the record goes
};

struct ReportScope {
    ReportSpan span = ReportSpan::Visit;
    // When the visit began: the time of its "detected" line as written
    // (SiteRecord::VisitStart).
    double visitStartDays = 0;
    double nowDays = 0;
};

// Decides line by line, in the record's order, which lines a report over its
// scope takes: those of the span, and of those only the lines since the
// record last linked another detector. A line that begins the scope anew
// (the visit's own detection, another detector before this one) drops what
// was taken before it.
class ScopeFilter {
public:
    explicit ScopeFilter(const ReportScope& scope);
    struct Verdict {
        bool restart = false;  // what was taken so far is not the scope's
        bool take = false;
    };
    Verdict Judge(const RecordEntry& e);
    // The first time the span takes.
    double FromDays() const { return from_; }

private:
    ReportScope scope_;
    double from_;
    // The detector the record named last: at its detection, and as it was
    // when its link was lost.
    std::optional<DetectorIdentity> last_;
    bool visitSeen_ = false;
};

// A stretch of time in the record: a link outage (from "link_lost" to the
// next "detected") or a warning the detector reported; no end while it
// lasted until the end of the record.
struct RecordInterval {
    double startDays = 0;
    std::optional<double> endDays;
    std::string text;  // the port of an outage, the warning's text
};

// A walk test read back from the record: from "counting_on" (or a reset of
// the count, which starts it again) to "counting_off" of the same page.
struct WalkTestRecord {
    std::string page;  // "Setup" or "Settings"
    double startDays = 0, endDays = 0;
    std::vector<double> alarmDays;
    // The signal's deviation from the average (percent) per half second, with
    // the thresholds then in force.
    struct Point {
        double seconds = 0;  // since the start
        double low = 0, high = 0, pl = 0, ll = 0, hl = 0;
        double width = 0.5;  // the seconds it stands for, from its first word to its last
    };
    std::vector<Point> signal;
};

// The calibration maximum the Calibration page showed, and when it was
// reached; the time of the line when an older record does not say.
struct CalibrationRecord {
    double milliVolts = 0, reachedDays = 0;
};

// What a report takes from the record over its scope.
struct VisitRecord {
    double fromDays = 0;  // the first line taken
    std::uint64_t lines = 0;
    std::optional<CalibrationRecord> calibration;  // the last one shown
    std::optional<WalkTestRecord> walk;            // the last one that took place
    std::vector<RecordInterval> outages, warnings;
    std::uint64_t linesGivenUp = 0;  // too long to be the record's
    bool incomplete = false;         // the file lacks lines of this run
};

// The last walk test that took place: one with alarms, or without alarms but
// long enough to have read the zone (kQuietWalkSeconds); a count switched on
// and off at once, or reset just before the end, is passed over.
constexpr double kQuietWalkSeconds = 10;

// Reads what a report shows from the record's lines in order, keeping only
// what it shows: memory grows with the walk test, not with the record.
class VisitReader {
public:
    explicit VisitReader(const ReportScope& scope) : filter_(scope) {}
    void Take(const RecordEntry& e);
    VisitRecord Done();

private:
    void Restart();
    void TakeWalk(const RecordEntry& e);
    void StartWalk(const std::string& page, double days);
    void FinishWalk(WalkTestRecord walk);
    void EndWarning(double days);

    ScopeFilter filter_;
    VisitRecord visit_;
    std::map<std::string, WalkTestRecord> openWalks_;  // by page
};

// The whole reading of a snapshot over a scope.
VisitRecord ReadVisit(const RecordSnapshot& snapshot, const ReportScope& scope);

// The last walk test of these lines, taken whole (for the record's tests).
std::optional<WalkTestRecord> LastWalkTest(const std::vector<RecordEntry>& entries);

}  // namespace quillane
