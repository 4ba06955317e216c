// The commissioning report's values: which walk test of the site record it
// shows, its axes, and the detector's values in force.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "StatusWords.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordLine.h"
#include "console/record/ReportLayout.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace word = test::word;

const double kStart = test::FakeClock::At(10, 0, 0, 0);

double At(double seconds) { return kStart + seconds / 86400; }

// One record line `seconds` after 10:00: "on", "off", "reset", "alarm" of a
// page, a signal period, or a detection of model `dev`.
std::string Line(double seconds, const std::string& what, const std::string& page = "Setup") {
    if (what == "signal")
        return RecordLine(At(seconds), "signal")
            .Text("page", page)
            .Number("low", -3, 1)
            .Number("high", seconds, 1)
            .Number("pl", 21, 1)
            .Number("ll", 23, 1)
            .Number("hl", 33, 1)
            .Done();
    if (what == "detected" || what == "other")
        return RecordLine(At(seconds), "detected")
            .Text("model", what == "other" ? "Korvel" : "Korvel-TS")
            .Integer("version", 3)
            .Text("unit", "F2")
            .Integer("address", 9)
            .Done();
    const char* event = what == "on"      ? "counting_on"
                        : what == "off"   ? "counting_off"
                        : what == "reset" ? "count_reset"
                                          : "alarm";
    return RecordLine(At(seconds), event).Text("page", page).Integer("count", 1).Done();
}

std::vector<RecordEntry> Record(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l;
    return ParseRecord(text);
}

DetectorModel Model() {
    DetectorModel m;
    m.current[2] = word::State(0, 500);
    m.current[3] = word::Sens(10, 12);
    m.current[4] = word::Zone(2, 11, 14);
    m.current[5] = word::Speed(0, 1, 3);
    m.current[6] = word::Identity(2, 3, 1, 9);
    m.current[7] = word::Power(370);
    return m;
}

TEST(WalkTestRecord, TheLastWalkTestThatTookPlace) {
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::optional<double> start, end;
        std::vector<double> alarms;
        const char* page;
    } cases[] = {
        {"none", {Line(0, "detected")}, {}, {}, {}, ""},
        {"switched on and off at once",
         {Line(0, "on"), Line(1, "signal"), Line(2, "off")},
         {},
         {},
         {},
         ""},
        {"a short one after is passed over",
         {Line(0, "on"), Line(5, "alarm"), Line(9, "alarm"), Line(20, "off"), Line(30, "on"),
          Line(31, "off")},
         0,
         20,
         {5, 9},
         "Setup"},
        {"a reset starts it again; still counting",
         {Line(0, "on"), Line(5, "alarm"), Line(8, "reset"), Line(12, "alarm"), Line(15, "signal")},
         8,
         15,
         {12},
         "Setup"},
        {"a quiet one long enough counts",
         {Line(0, "on"), Line(3, "alarm"), Line(4, "off"), Line(10, "on"), Line(22, "off")},
         10,
         22,
         {},
         "Setup"},
        {"each page's own",
         {Line(0, "on"), Line(1, "on", "Settings"), Line(5, "alarm", "Settings"), Line(6, "alarm"),
          Line(7, "off")},
         1,
         5,
         {5},
         "Settings"},
    };
    for (const auto& c : cases) {
        const std::optional<WalkTestRecord> walk = LastWalkTest(Record(c.lines));
        ASSERT_EQ(walk.has_value(), c.start.has_value()) << c.name;
        if (!walk) continue;
        EXPECT_NEAR(walk->startDays, At(*c.start), 1e-9) << c.name;
        EXPECT_NEAR(walk->endDays, At(*c.end), 1e-9) << c.name;
        EXPECT_EQ(walk->page, c.page) << c.name;
        ASSERT_EQ(walk->alarmDays.size(), c.alarms.size()) << c.name;
        for (std::size_t i = 0; i < c.alarms.size(); ++i)
            EXPECT_NEAR(walk->alarmDays[i], At(c.alarms[i]), 1e-9) << c.name;
    }
}

TEST(WalkTestRecord, OnlyTheLinesOfTheDetectorNowLinked) {
    const DetectorModel m = Model();
    std::vector<RecordEntry> none = Record({Line(0, "other"), Line(1, "on")});
    KeepEntriesOfDetector(none, m);
    EXPECT_TRUE(none.empty());
    // Linked again after another detector: what happened with that one is left out.
    std::vector<RecordEntry> mine =
        Record({Line(0, "detected"), Line(1, "on"), Line(2, "other"), Line(3, "on"),
                Line(4, "detected"), Line(5, "detected"), Line(6, "alarm")});
    KeepEntriesOfDetector(mine, m);
    ASSERT_EQ(mine.size(), 3u);
    EXPECT_NEAR(mine.front().days, At(4), 1e-9);
}

TEST(WalkTestRecord, AxesHoldTheWalkTestInWholeSteps) {
    const struct {
        double seconds, high, step;
    } times[] = {{0, 1, 1},         {7, 7, 1},           {46, 50, 5},
                 {60, 60, 10},      {1200, 1200, 120},   {1200.000001, 1200, 120},
                 {5400, 5400, 600}, {std::nan(""), 1, 1}};
    for (const auto& t : times) {
        const PlotAxis a = TimeAxis(t.seconds);
        EXPECT_EQ(a.low, 0) << t.seconds;
        EXPECT_DOUBLE_EQ(a.high, t.high) << t.seconds;
        EXPECT_DOUBLE_EQ(a.step, t.step) << t.seconds;
    }
    // A week (the clock set far ahead): whole hours, still ten steps at most.
    const PlotAxis week = TimeAxis(7 * 86400.0);
    EXPECT_EQ(std::fmod(week.step, 3600), 0);
    EXPECT_GE(week.high, 7 * 86400.0);
    EXPECT_LE(week.high / week.step, 10);

    WalkTestRecord walk;
    EXPECT_EQ(DeviationAxis(walk).low, -1);
    EXPECT_EQ(DeviationAxis(walk).high, 1);
    walk.signal = {{0, -3, 81.8, 21, 23, 33}};
    const PlotAxis d = DeviationAxis(walk);
    EXPECT_EQ(d.low, -40);
    EXPECT_EQ(d.high, 100);
    EXPECT_EQ(d.step, 20);
    walk.signal.push_back({1, -1e300, std::nan(""), 1e300, 23, 33});  // a hand-edited table
    const PlotAxis held = DeviationAxis(walk);
    EXPECT_TRUE(std::isfinite(held.low) && std::isfinite(held.high));
    EXPECT_LE((held.high - held.low) / held.step, 10.0);
}

TEST(CommissioningReport, TheDetectorInForceAndItsLastWalkTest) {
    const NumberFormat comma(',');
    CorrespondenceTables tables(comma);
    tables.Fill(ProfileFile("/nonexistent/Quillane.ini"));
    const DetectorModel m = Model();
    const ReportSources sources{m, tables, comma, 14.33, 1.5, At(600), "0.1"};
    const std::string calibration =
        RecordLine(At(1), "calibration_maximum").Number("mV", 0.4123, 3).Done();
    const CommissioningReport r = BuildCommissioningReport(
        sources, Record({RecordLine(At(0), "calibration_maximum").Number("mV", 9, 3).Done(),
                         Line(0.5, "detected"), calibration, Line(10, "on"), Line(35, "alarm"),
                         Line(75, "alarm"), Line(80, "signal"), Line(100, "off")}));

    EXPECT_EQ(r.date, "2023-03-15 10:10");
    EXPECT_EQ(r.identity.size(), 4u);
    EXPECT_EQ(r.identity[3].caption, "Address:");
    EXPECT_EQ(r.identity[3].value, "9");
    ASSERT_EQ(r.settings.size(), 4u);
    EXPECT_EQ(r.settings[0].value, "100  m");
    EXPECT_EQ(r.settings[1].value, "Auto");
    EXPECT_EQ(r.settings[3].value, "14,5  V");
    ASSERT_EQ(r.thresholds.size(), 3u);
    EXPECT_EQ(r.thresholds[0].value, "25,5  %");
    EXPECT_EQ(r.thresholds[1].value, "30,5  %");
    EXPECT_EQ(r.thresholds[2].value, "43,5  %");
    EXPECT_EQ(r.calibrationMaximum, "0,412  mV");  // this detector's, not one before
    EXPECT_EQ(r.walkPeriod, "10:00:10 - 10:01:40 (1:30), Setup page");
    EXPECT_EQ(r.alarmCount, "2");
    ASSERT_EQ(r.alarms.size(), 2u);
    EXPECT_EQ(r.alarms[1].caption, "2");
    EXPECT_EQ(r.alarms[1].value, "10:01:15 (+1:05)");
    EXPECT_DOUBLE_EQ(r.timeAxis.high, 90);
    EXPECT_EQ(ReportFileName(At(600)), "Quillane-report-20230315-101000.pdf");
    EXPECT_EQ(DurationText(3723.4), "1:02:03");
}

// Where the plot puts things, in millimetres on the page.
TEST(ReportLayout, ThePlotItsBandsAlarmNumbersAndThresholdNames) {
    const PlotAxis time{0, 600, 60}, deviation{-50, 100, 25};
    PlotFrame f = PlaceReportPlot(100, 174, 261, time, deviation);
    EXPECT_EQ((std::vector<double>{f.left, f.width, f.height}),
              (std::vector<double>{13, 152, 120}));  // as high as it may be
    EXPECT_DOUBLE_EQ(PlaceReportPlot(190, 174, 261, time, deviation).height, 60);
    EXPECT_DOUBLE_EQ(PlaceReportPlot(150, 174, 261, time, deviation).height, 81);
    EXPECT_DOUBLE_EQ(f.X(300), 89);
    EXPECT_DOUBLE_EQ(f.Y(100), 100);
    EXPECT_DOUBLE_EQ(f.Y(0), 180);
    EXPECT_DOUBLE_EQ(f.Y(-50), f.Bottom());
    EXPECT_EQ(AxisTicks(deviation), (std::vector<double>{-50, -25, 0, 25, 50, 75, 100}));
    EXPECT_TRUE(AxisTicks(PlotAxis{0, 1, 0}).empty());

    std::vector<WalkTestRecord::Point> points(6);
    const double at[] = {0, 0.5, 1.0, 3.5, 10.0, 10.5};  // 2 s apart still joins
    for (std::size_t i = 0; i < points.size(); ++i) points[i].seconds = at[i];
    EXPECT_EQ(SignalBands(points),
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {4, 6}}));
    EXPECT_TRUE(SignalBands({}).empty());

    // Numbers 5.4 mm wide: close ones take turns, a third close one has none.
    EXPECT_EQ(AlarmMarkLevels({10, 12, 14, 15.4, 30}, 5.4), (std::vector<int>{0, 1, -1, 0, 0}));
    // Names at their lines' ends, within the frame, one below another that is close.
    EXPECT_EQ(ThresholdNameYs({50, 51, 200, 30}, 40, 160, 3.2),
              (std::vector<double>{50, 53.2, 160, 40}));
}

}  // namespace
}  // namespace quillane
