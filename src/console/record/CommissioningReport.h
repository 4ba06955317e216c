#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/record/RecordEntry.h"

namespace quillane {

class CorrespondenceTables;
class NumberFormat;
struct DetectorModel;

// The commissioning report as plain values: what the one-page PDF shows,
// from the detector's words in force now and from the site record.

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
        double width = 0.5;  // the seconds it stands for
    };
    std::vector<Point> signal;
};

// Keeps the lines that concern the detector now linked: from its first detection
// after the last detection of a detector with another identity (model,
// version, unit letter, address); none when the record has not seen it. A
// site record holds every site the console went to.
void KeepEntriesOfDetector(std::vector<RecordEntry>& record, const DetectorModel& m);

// The last walk test that took place: one with alarms, or without alarms but
// long enough to have read the zone (kQuietWalkSeconds); a count switched on
// and off at once, or reset just before the end, is passed over.
constexpr double kQuietWalkSeconds = 10;
std::optional<WalkTestRecord> LastWalkTest(const std::vector<RecordEntry>& entries);

// The walk test's signal for a plot at most `most` points wide: neighbours
// merged into one point with the lowest low, the highest high and the last
// thresholds, so that no crossing is lost however long the walk test.
std::vector<WalkTestRecord::Point> PlotPoints(const WalkTestRecord& walk, std::size_t most);

// A plot axis from `low` to `high`, labelled every `step`.
struct PlotAxis {
    double low = 0, high = 0, step = 1;
};
// Whole seconds from 0 to the walk test's length, at most 10 steps of 1, 2, 5,
// 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min or whole hours.
PlotAxis TimeAxis(double seconds);
// The deviations and the thresholds (PL above, LL and HL below the average)
// with a tenth to spare, at most 10 steps of 1, 2 or 5 times a power of ten.
PlotAxis DeviationAxis(const WalkTestRecord& walk);

struct ReportRow {
    std::string caption, value;
};

struct CommissioningReport {
    std::string date;  // "2023-03-15 10:20"
    std::string version;
    // "Detector:", "Version:", "Unit ID:", "Address:" (for the model that has one).
    std::vector<ReportRow> identity;
    // "Zone length:", "Setup method:", "Sensitivity:", "Power:".
    std::vector<ReportRow> settings;
    std::vector<ReportRow> thresholds;  // "PL:", "LL:", "HL:" in percent
    std::string calibrationMaximum;     // "0.412  mV", "---" when none was recorded
    std::optional<WalkTestRecord> walk;
    std::string walkPeriod;  // "10:20:30 - 10:35:12 (14:42), Setup page"
    std::string alarmCount;  // "5"
    // Each alarm: its number and "10:21:05 (+0:35)".
    std::vector<ReportRow> alarms;
    std::vector<WalkTestRecord::Point> plot;  // the signal, at most kPlotPoints
    PlotAxis timeAxis, deviationAxis;
    // The site record's file lacks events of this run (it could not be
    // written): the report is built from those the console held in memory.
    bool recordIncomplete = false;
};

// Finer than the plot's width in print.
constexpr std::size_t kPlotPoints = 1000;

// What the report is made of besides the record.
struct ReportSources {
    const DetectorModel& model;
    const CorrespondenceTables& tables;
    const NumberFormat& format;
    double kdc = 0, urd = 0;  // the power factors in force
    double nowDays = 0;
    std::string version;
};
CommissioningReport BuildCommissioningReport(const ReportSources& sources,
                                             std::vector<RecordEntry> record);

// "Quillane-report-20230315-102030.pdf", so that the reports sort by date.
std::string ReportFileName(double days);

// "0:35", "14:42", "1:02:03": a length of time in whole seconds.
std::string DurationText(double seconds);

}  // namespace quillane
