#include "console/record/CommissioningReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

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

bool SameDetector(const RecordEntry& detected, const DetectorModel& m) {
    const frame::Word w = m.Word(status::kIdentityWord);
    return detected.Text("model") == ModelText(frame::Dev(w)) &&
           detected.Number("version") == static_cast<double>(frame::Prog(w)) &&
           detected.Text("unit") == "F" + std::to_string(frame::Letter(w) + 1) &&
           detected.Number("address") == static_cast<double>(frame::Adr(w));
}

// The walk tests of the record in order of their start, each page's apart.
class WalkTestReader {
public:
    std::vector<WalkTestRecord> Read(const std::vector<RecordEntry>& entries) {
        for (const RecordEntry& e : entries) Take(e);
        return std::move(done_);
    }

private:
    void Take(const RecordEntry& e) {
        const std::string page = e.Text("page");
        if (e.event == "counting_on" || e.event == "count_reset") {
            Start(page, e.days);
        } else if (e.event == "counting_off") {
            const auto it = open_.find(page);
            if (it == open_.end()) return;
            done_[it->second].endDays = std::max(done_[it->second].endDays, e.days);
            open_.erase(it);
        } else if (e.event == "alarm" || e.event == "signal") {
            const auto it = open_.find(page);
            if (it != open_.end()) Add(done_[it->second], e);
        }
    }
    void Start(const std::string& page, double days) {
        WalkTestRecord walk;
        walk.page = page;
        walk.startDays = walk.endDays = days;
        open_[page] = done_.size();
        done_.push_back(walk);
    }
    static void Add(WalkTestRecord& walk, const RecordEntry& e) {
        walk.endDays = std::max(walk.endDays, e.days);
        if (e.event == "alarm") {
            walk.alarmDays.push_back(e.days);
            return;
        }
        WalkTestRecord::Point p;
        p.seconds = (e.days - walk.startDays) * kSecondsPerDay;
        p.low = e.Number("low").value_or(0);
        p.high = e.Number("high").value_or(0);
        p.pl = e.Number("pl").value_or(0);
        p.ll = e.Number("ll").value_or(0);
        p.hl = e.Number("hl").value_or(0);
        walk.signal.push_back(p);
    }
    std::vector<WalkTestRecord> done_;
    std::map<std::string, std::size_t> open_;
};

double Held(double v) {
    return std::clamp(std::isfinite(v) ? v : 0.0, -kLargestDeviation, kLargestDeviation);
}

std::string TwoDigits(long long v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02lld", v);
    return text;
}

}  // namespace

void KeepEntriesOfDetector(std::vector<RecordEntry>& record, const DetectorModel& m) {
    // From its first detection after the last one of another detector: what
    // came between that one and this is the other detector's.
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i].event != "detected") continue;
        if (!SameDetector(record[i], m))
            first.reset();
        else if (!first)
            first = i;
    }
    record.erase(record.begin(),
                 first ? record.begin() + static_cast<std::ptrdiff_t>(*first) : record.end());
}

std::optional<WalkTestRecord> LastWalkTest(const std::vector<RecordEntry>& entries) {
    const std::vector<WalkTestRecord> walks = WalkTestReader().Read(entries);
    for (auto it = walks.rbegin(); it != walks.rend(); ++it) {
        const double seconds = (it->endDays - it->startDays) * kSecondsPerDay;
        if (!it->alarmDays.empty() || seconds >= kQuietWalkSeconds) return *it;
    }
    return std::nullopt;
}

std::vector<WalkTestRecord::Point> PlotPoints(const WalkTestRecord& walk, std::size_t most) {
    const auto& signal = walk.signal;
    if (signal.size() <= most || most == 0) return signal;
    const double length = signal.back().seconds + signal.back().width;
    const double bucket = length / static_cast<double>(most);
    std::vector<WalkTestRecord::Point> points;
    double bucketEnd = -1;
    for (const auto& p : signal) {
        if (points.empty() || p.seconds >= bucketEnd) {
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
    const long long s = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds) : 0;
    if (s >= 3600)
        return std::to_string(s / 3600) + ":" + TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60);
    return std::to_string(s / 60) + ":" + TwoDigits(s % 60);
}

std::string ReportFileName(double days) {
    return std::string(files::kReportFilePrefix) + FileStampText(days) + ".pdf";
}

CommissioningReport BuildCommissioningReport(const ReportSources& s,
                                             std::vector<RecordEntry> record) {
    const DetectorModel& m = s.model;
    CommissioningReport r;
    r.date = DateMinuteText(s.nowDays);
    r.version = s.version;

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

    KeepEntriesOfDetector(record, m);
    r.calibrationMaximum = "---";
    for (const RecordEntry& e : record)
        if (e.event == "calibration_maximum")
            if (const auto mv = e.Number("mV"))
                r.calibrationMaximum = WithUnit(s.format.Fixed(*mv, 3), unit::kMilliVolts);

    r.walk = LastWalkTest(record);
    if (!r.walk) return r;
    const WalkTestRecord& walk = *r.walk;
    const double length = (walk.endDays - walk.startDays) * kSecondsPerDay;
    r.walkPeriod = TimeOfDayText(walk.startDays) + " - " + TimeOfDayText(walk.endDays) + " (" +
                   DurationText(length) + "), " + walk.page + " page";
    r.alarmCount = std::to_string(walk.alarmDays.size());
    for (std::size_t i = 0; i < walk.alarmDays.size(); ++i) {
        const double at = walk.alarmDays[i];
        r.alarms.push_back({std::to_string(i + 1),
                            TimeOfDayText(at) + " (+" +
                                DurationText((at - walk.startDays) * kSecondsPerDay) + ")"});
    }
    r.plot = PlotPoints(walk, kPlotPoints);
    r.timeAxis = TimeAxis(length);
    r.deviationAxis = DeviationAxis(walk);
    return r;
}

}  // namespace quillane
