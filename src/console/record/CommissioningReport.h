#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/record/ReportForm.h"
#include "console/record/VisitReader.h"
#include "model/NumberFormat.h"

namespace quillane {

class CorrespondenceTables;
struct DetectorModel;

// The commissioning report as plain values: what the PDF shows, from the
// detector's words in force now, the installer's form and what the site
// record says of the visit.

// Signal words come many times a second while the walk test is recorded: a
// longer pause between two periods is an outage (the link lost, the line
// silent, the page left), which the plot shows as a gap.
constexpr double kSignalGapSeconds = 1.0;

// The walk test's signal for a plot at most `most` points wide (and one more
// for each gap): neighbours merged into one point with the lowest low, the
// highest high and the last thresholds, so that no crossing is lost however
// long the walk test; never across a gap.
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
    // "Site:", "Zone / detector:", "Customer:", "Installer:", "Notes:" as filled in.
    std::vector<ReportRow> form;
    std::string verdict;  // "passed", "failed", "not given"
    // What the report covers: "this visit, since 10:20:30".
    std::string scope;
    // "Detector:", "Version:", "Unit ID:", "Address:" (for the model that has one).
    std::vector<ReportRow> identity;
    // "Zone length:", "Setup method:", "Sensitivity:", "Power:".
    std::vector<ReportRow> settings;
    std::vector<ReportRow> thresholds;  // "PL:", "LL:", "HL:" in percent
    // "0.412  mV, reached at 10:20:31", "---" when none was shown in the scope.
    std::string calibrationMaximum;
    std::optional<WalkTestRecord> walk;
    std::string walkPeriod;  // "10:20:30 - 10:35:12 (14:42), Setup page"
    std::string alarmCount;  // "5"
    // Each alarm: its number and "10:21:05 (+0:35)", at most kAlarmRows of
    // them; the others are still marked in the plot.
    std::vector<ReportRow> alarms;
    std::size_t alarmsLeftOut = 0;
    // Link outages and detector warnings in the scope: "10:21:05 - 10:21:06
    // (0:01)" and the port or the warning's text.
    std::vector<ReportRow> outages, warnings;
    std::size_t outagesLeftOut = 0, warningsLeftOut = 0;
    std::vector<WalkTestRecord::Point> plot;  // the signal, at most kPlotPoints
    PlotAxis timeAxis, deviationAxis;
    // The link outages within the walk test, in seconds since its start.
    std::vector<std::pair<double, double>> plotOutages;
    // The site record's file lacks events of this run (it could not be
    // written): the report is built from those the console held in memory.
    bool recordIncomplete = false;
};

// Finer than the plot's width in print.
constexpr std::size_t kPlotPoints = 1000;
// Lines of a list in the report; the rest are counted.
constexpr std::size_t kAlarmRows = 200;
constexpr std::size_t kIntervalRows = 200;

// What the report is made of besides the record: read on the window's thread.
struct ReportSources {
    const DetectorModel& model;
    const CorrespondenceTables& tables;
    const NumberFormat& format;
    double kdc = 0, urd = 0;  // the power factors in force
    double nowDays = 0;
    std::string version;
};
// The detector in force and the form, on the window's thread; the scope
// says what the rest will cover.
CommissioningReport StartCommissioningReport(const ReportSources& sources, const ReportForm& form,
                                             const ReportScope& scope);
// What the record says of the scope, on any thread.
void AddVisit(CommissioningReport& report, const VisitRecord& visit, const ReportScope& scope,
              const NumberFormat& format);
// Both at once.
CommissioningReport BuildCommissioningReport(const ReportSources& sources, const ReportForm& form,
                                             const ReportScope& scope, const VisitRecord& visit);

// A time in the report: "10:20:30" within the visit on the report's date,
// "2023-03-14 21:03:12" for anything older or of another day.
std::string ReportTimeText(double days, const ReportScope& scope);

// "Quillane-report-20230315-102030.pdf", so that the reports sort by date.
std::string ReportFileName(double days);

// "0:35", "14:42", "1:02:03": a length of time in whole seconds.
std::string DurationText(double seconds);

}  // namespace quillane
