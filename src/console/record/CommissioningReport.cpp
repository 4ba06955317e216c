#include "console/record/CommissioningReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "console/pages/StatusDisplay.h"
#include "console/record/CommandMeaning.h"
#include "console/record/LocalDateTime.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/MessageTexts.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// Larger deviations and thresholds (a hand-edited table) are drawn at the edge.
constexpr double kLargestDeviation = 1e6;

double Held(double v) {
    return std::clamp(std::isfinite(v) ? v : 0.0, -kLargestDeviation, kLargestDeviation);
}

std::string TwoDigits(long long v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02lld", v);
    return text;
}

}  // namespace

std::vector<WalkTestRecord::Point> PlotPoints(const WalkTestRecord& walk, std::size_t most) {
    const auto& signal = walk.signal;
    if (signal.size() <= most || most == 0) return signal;
    const double length = signal.back().seconds + signal.back().width;
    const double bucket = length / static_cast<double>(most);
    std::vector<WalkTestRecord::Point> points;
    double bucketEnd = -1;
    for (const auto& p : signal) {
        const bool gap =
            !points.empty() &&
            p.seconds - (points.back().seconds + points.back().width) > kSignalGapSeconds;
        if (points.empty() || p.seconds >= bucketEnd || gap) {
            points.push_back(p);
            bucketEnd = (std::floor(p.seconds / bucket) + 1) * bucket;
            continue;
        }
        WalkTestRecord::Point& merged = points.back();
        merged.low = std::min(merged.low, p.low);
        merged.high = std::max(merged.high, p.high);
        merged.pl = p.pl;
        merged.ll = p.ll;
        merged.hl = p.hl;
        merged.width = p.seconds + p.width - merged.seconds;
    }
    return points;
}

PlotAxis TimeAxis(double seconds) {
    static const double kSteps[] = {1,   2,   5,   10,   15,   30,   60,   120,
                                    300, 600, 900, 1800, 3600, 7200, 18000};
    const double length = std::max(1.0, std::isfinite(seconds) ? seconds : 1.0);
    // A length a hair over a whole step (it comes from days) ends there.
    constexpr double kHair = 1e-6;
    double step = std::ceil(length / 10 / 3600 - kHair) * 3600;
    for (const double s : kSteps) {
        if (length / s <= 10 + kHair) {
            step = s;
            break;
        }
    }
    return PlotAxis{0, std::max(1.0, std::ceil(length / step - kHair)) * step, step};
}

PlotAxis DeviationAxis(const WalkTestRecord& walk) {
    double high = 0, low = 0;
    for (const auto& p : walk.signal) {
        high = std::max({high, Held(p.high), Held(p.pl)});
        low = std::min({low, Held(p.low), -Held(p.ll), -Held(p.hl)});
    }
    high *= 1.1;
    low *= 1.1;
    double step = 1;
    for (double decade = 1; (high - low) / step > 10; decade *= 10) {
        for (const double m : {1.0, 2.0, 5.0}) {
            step = m * decade;
            if ((high - low) / step <= 10) break;
        }
    }
    const double top = std::max(step, std::ceil(high / step) * step);
    const double bottom = std::min(-step, std::floor(low / step) * step);
    return PlotAxis{bottom, top, step};
}

std::string DurationText(double seconds) {
    // Past a whole number's reach (a hostile record's walk test of 1e300 s)
    // held at a length no clock reaches.
    constexpr double kLongest = 1e15;
    const long long s =
        std::isfinite(seconds) && seconds > 0 ? std::llround(std::min(seconds, kLongest)) : 0;
    if (s >= 3600)
        return std::to_string(s / 3600) + ":" + TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60);
    return std::to_string(s / 60) + ":" + TwoDigits(s % 60);
}

std::string ReportFileName(double days) {
    return std::string(files::kReportFilePrefix) + FileStampText(days) + ".pdf";
}

std::string ReportTimeText(double days, const ReportScope& scope) {
    constexpr double kMs = 0.5 / 86400000.0;
    const bool withinVisit = days >= scope.visitStartDays - kMs;
    if (withinVisit && DateText(days) == DateText(scope.nowDays)) return TimeOfDayText(days);
    return DateText(days) + " " + TimeOfDayText(days);
}

namespace {

const char* ScopeText(ReportSpan span) {
    switch (span) {
        case ReportSpan::Visit:
            return "this visit, since ";
        case ReportSpan::Today:
            return "this detector today, since ";
        case ReportSpan::Record:
            break;
    }
    return "this detector in the whole site record, since ";
}

// "10:21:05 - 10:21:06 (0:01)", or "10:21:05 - (still at the report)".
std::string IntervalText(const RecordInterval& i, const ReportScope& scope) {
    const std::string from = ReportTimeText(i.startDays, scope);
    if (!i.endDays) return from + " - (still at the report)";
    return from + " - " + ReportTimeText(*i.endDays, scope) + " (" +
           DurationText((*i.endDays - i.startDays) * kSecondsPerDay) + ")";
}

std::vector<ReportRow> IntervalRows(const std::vector<RecordInterval>& intervals,
                                    const ReportScope& scope, std::size_t& leftOut) {
    std::vector<ReportRow> rows;
    // The newest, when there are too many to list.
    const std::size_t first =
        intervals.size() > kIntervalRows ? intervals.size() - kIntervalRows : 0;
    leftOut = first;
    for (std::size_t i = first; i < intervals.size(); ++i)
        rows.push_back({IntervalText(intervals[i], scope), intervals[i].text});
    return rows;
}

}  // namespace

CommissioningReport StartCommissioningReport(const ReportSources& s, const ReportForm& form,
                                             const ReportScope& scope) {
    const DetectorModel& m = s.model;
    CommissioningReport r;
    r.date = DateMinuteText(s.nowDays);
    r.version = s.version;
    r.form = {{"Site:", form.site},
              {"Zone / detector:", form.zone},
              {"Customer:", form.customer},
              {"Installer:", form.installer},
              {"Notes:", form.notes}};
    r.verdict = VerdictText(form.verdict);
    r.scope = ScopeText(scope.span);

    const IdentityDisplay identity = IdentityValues(m);
    const ZoneDisplay zone = ZoneValues(m, [&s](int z) { return s.tables.DistSens(z); });
    r.identity = {
        {"Detector:", identity.model}, {"Version:", identity.prog}, {"Unit ID:", identity.letter}};
    if (identity.addressShown) r.identity.push_back({"Address:", identity.address});
    r.settings = {{"Zone length:", zone.dist},
                  {"Setup method:", zone.regul},
                  {"Sensitivity:", zone.sens},
                  {"Power:", PowerValue(m, s.kdc, s.urd, s.format)}};

    const auto percent = [&s](double p) {
        std::string text = ThresholdText(p);
        for (char& c : text)
            if (c == '.') c = s.format.DecimalSeparator();
        return WithUnit(text, unit::kPercent);
    };
    r.thresholds = {
        {"PL:",
         percent(s.tables.ThresholdPP(static_cast<int>(frame::SensPp(m.Word(status::kSensWord)))))},
        {"LL:",
         percent(s.tables.ThresholdMP(static_cast<int>(frame::SensMp(m.Word(status::kSensWord)))))},
        {"HL:", percent(s.tables.ThresholdBP(
                    static_cast<int>(frame::SensBp(m.Word(status::kZoneWord)))))}};
    return r;
}

void AddVisit(CommissioningReport& r, const VisitRecord& visit, const ReportScope& scope,
              const NumberFormat& format) {
    r.scope += ReportTimeText(visit.lines > 0 ? visit.fromDays : scope.visitStartDays, scope);
    r.recordIncomplete = visit.incomplete;
    r.calibrationMaximum = "---";
    if (visit.calibration)
        r.calibrationMaximum =
            WithUnit(format.Fixed(visit.calibration->milliVolts, 3), unit::kMilliVolts) +
            ", reached at " + ReportTimeText(visit.calibration->reachedDays, scope);
    r.outages = IntervalRows(visit.outages, scope, r.outagesLeftOut);
    r.warnings = IntervalRows(visit.warnings, scope, r.warningsLeftOut);

    r.walk = visit.walk;
    if (!r.walk) return;
    const WalkTestRecord& walk = *r.walk;
    const double length = (walk.endDays - walk.startDays) * kSecondsPerDay;
    r.walkPeriod = ReportTimeText(walk.startDays, scope) + " - " +
                   ReportTimeText(walk.endDays, scope) + " (" + DurationText(length) + "), " +
                   walk.page + " page";
    r.alarmCount = std::to_string(walk.alarmDays.size());
    const std::size_t listed = std::min(walk.alarmDays.size(), kAlarmRows);
    r.alarmsLeftOut = walk.alarmDays.size() - listed;
    for (std::size_t i = 0; i < listed; ++i) {
        const double at = walk.alarmDays[i];
        r.alarms.push_back({std::to_string(i + 1),
                            ReportTimeText(at, scope) + " (+" +
                                DurationText((at - walk.startDays) * kSecondsPerDay) + ")"});
    }
    for (const RecordInterval& o : visit.outages) {
        const double from = (o.startDays - walk.startDays) * kSecondsPerDay;
        const double to =
            ((o.endDays ? *o.endDays : walk.endDays) - walk.startDays) * kSecondsPerDay;
        if (to > 0 && from < length)
            r.plotOutages.emplace_back(std::max(0.0, from), std::min(length, to));
    }
    r.plot = PlotPoints(walk, kPlotPoints);
    r.timeAxis = TimeAxis(length);
    r.deviationAxis = DeviationAxis(walk);
}

CommissioningReport BuildCommissioningReport(const ReportSources& sources, const ReportForm& form,
                                             const ReportScope& scope, const VisitRecord& visit) {
    CommissioningReport r = StartCommissioningReport(sources, form, scope);
    AddVisit(r, visit, scope, sources.format);
    return r;
}

}  // namespace quillane
