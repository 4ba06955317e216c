// The commissioning report's values: which walk test of the site record it
// shows, its axes, and the detector's values in force.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "FakeClock.h"
#include "StatusWords.h"
#include "console/record/CommissioningReport.h"
#include "console/record/LocalDateTime.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordLine.h"
#include "console/record/ReportLayout.h"
#include "console/record/VisitReader.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace word = test::word;

const double kStart = test::FakeClock::At(10, 0, 0, 0);

double At(double seconds) { return kStart + seconds / 86400; }

std::string Identity(double seconds, const char* event, const char* model, const char* unit) {
    return RecordLine(At(seconds), event)
        .Text("model", model)
        .Integer("version", 3)
        .Text("unit", unit)
        .Integer("address", 9)
        .Done();
}

// One record line `seconds` after 10:00: "on", "off", "reset", "alarm" of a
// page, a signal period, a detection ("detected", "other" for another
// model, "F3" for unit F3), a loss of the link to the detector as unit F2 or
// F3 ("lost", "lostF3"), or a calibration maximum.
std::string Line(double seconds, const std::string& what, const std::string& page = "Setup") {
    if (what == "lost") return Identity(seconds, "link_lost", "Korvel-TS", "F2");
    if (what == "lostF3") return Identity(seconds, "link_lost", "Korvel-TS", "F3");
    if (what == "F3") return Identity(seconds, "detected", "Korvel-TS", "F3");
    if (what == "calibration")
        return RecordLine(At(seconds), "calibration_maximum")
            .Number("mV", seconds / 10, 3)
            .Text("reached", DateTimeText(At(seconds - 1)))
            .Done();
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

VisitRecord Visit(const std::vector<std::string>& lines, ReportSpan span, double visitAt) {
    VisitReader reader(ReportScope{span, At(visitAt), At(3600)});
    for (const RecordEntry& e : Record(lines)) reader.Take(e);
    return reader.Done();
}

// A visit is one detector while linked, and through relinks to it as it was
// when the link went, whatever its unit letter became; a report covers the
// visit since this run found it, or a longer span of the same detector.
TEST(VisitScope, TheVisitOfThisDetectorAndLongerSpansOfIt) {
    const std::vector<std::string> earlierRun = {
        Line(0, "detected"), Line(5, "calibration"), Line(6, "lost"), Line(100, "detected"),
        Line(110, "on"),     Line(120, "alarm"),     Line(130, "off")};
    const struct {
        const char* name;
        std::vector<std::string> lines;
        ReportSpan span;
        double visitAt;
        std::size_t alarms;           // of the walk test found; -1: none found
        std::optional<double> maxAt;  // the calibration maximum's line
        std::size_t outages;
    } cases[] = {
        {"a unit letter set while linked",  // the record's identity is the old one
         {Line(0, "detected"), Line(5, "calibration"), Line(10, "on"), Line(20, "alarm"),
          Line(30, "alarm"), Line(40, "alarm"), Line(50, "off")},
         ReportSpan::Visit,
         0,
         3,
         5,
         0},
        {"and a relink to it as it became",
         {Line(0, "detected"), Line(10, "on"), Line(20, "alarm"), Line(25, "lostF3"),
          Line(27, "F3"), Line(30, "alarm"), Line(50, "off")},
         ReportSpan::Visit,
         0,
         2,
         {},
         1},
        {"a maximum of an earlier run of the same detector",
         earlierRun,
         ReportSpan::Visit,
         100,
         1,
         {},
         0},
        {"the same over the whole record", earlierRun, ReportSpan::Record, 100, 1, 5, 1},
        {"another detector before this one",
         {Line(0, "other"), Line(5, "calibration"), Line(10, "on"), Line(20, "alarm"),
          Line(30, "off"), Line(100, "detected"), Line(110, "on"), Line(111, "off")},
         ReportSpan::Record,
         100,
         std::size_t(-1),
         {},
         0},
        {"the clock set back after the visit began",
         {Line(0, "on"), Line(1, "alarm"), Line(2, "off"), Line(100, "detected"), Line(50, "on"),
          Line(60, "alarm"), Line(70, "off")},
         ReportSpan::Visit,
         100,
         1,
         {},
         0},
        {"a unit letter changed, then a relink that the record cannot tie to it",
         {Line(0, "detected"), Line(10, "on"), Line(20, "alarm"), Line(25, "lost"), Line(27, "F3"),
          Line(30, "alarm"), Line(50, "off")},
         ReportSpan::Record,
         27,
         std::size_t(-1),
         {},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const VisitRecord v = Visit(c.lines, c.span, c.visitAt);
        ASSERT_EQ(v.walk.has_value(), c.alarms != std::size_t(-1));
        if (v.walk) {
            EXPECT_EQ(v.walk->alarmDays.size(), c.alarms);
        }
        ASSERT_EQ(v.calibration.has_value(), c.maxAt.has_value());
        if (c.maxAt) {
            EXPECT_NEAR(v.calibration->milliVolts, *c.maxAt / 10, 1e-9);
            EXPECT_NEAR(v.calibration->reachedDays, At(*c.maxAt - 1), 1e-9);
        }
        EXPECT_EQ(v.outages.size(), c.outages);
    }
}

// What the report shows of the outages, the warnings and the times: anything
// older than the visit, or of another day, carries its date.
TEST(VisitScope, OutagesWarningsAndTheirTimes) {
    const VisitRecord v =
        Visit({Line(0, "detected"), RecordLine(At(1), "warning").Text("text", "Low power").Done(),
               RecordLine(At(4), "warning_end").Done(),
               RecordLine(At(5), "warning").Text("text", "Too high").Done(), Line(10, "lost"),
               Line(12, "detected"), Line(20, "lost")},
              ReportSpan::Visit, 0);
    ASSERT_EQ(v.outages.size(), 2u);
    EXPECT_NEAR(*v.outages[0].endDays, At(12), 1e-9);
    EXPECT_FALSE(v.outages[1].endDays);
    ASSERT_EQ(v.warnings.size(), 2u);
    EXPECT_EQ(v.warnings[0].text, "Low power");
    EXPECT_NEAR(*v.warnings[0].endDays, At(4), 1e-9);
    EXPECT_NEAR(*v.warnings[1].endDays, At(10), 1e-9);  // the link went

    const ReportScope scope{ReportSpan::Record, At(100), At(200)};
    EXPECT_EQ(ReportTimeText(At(150), scope), "10:02:30");
    EXPECT_EQ(ReportTimeText(At(50), scope), "2023-03-15 10:00:50");
    EXPECT_EQ(ReportTimeText(At(150) - 1, scope), "2023-03-14 10:02:30");
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
    const std::string calibration = RecordLine(At(1), "calibration_maximum")
                                        .Number("mV", 0.4123, 3)
                                        .Text("reached", DateTimeText(At(0.75)))
                                        .Done();
    ReportForm form;
    form.site = "North gate";
    form.verdict = ReportForm::Verdict::Passed;
    const ReportScope scope{ReportSpan::Visit, At(0.5), At(600)};
    VisitReader reader(scope);
    for (const RecordEntry& e :
         Record({RecordLine(At(0), "calibration_maximum").Number("mV", 9, 3).Done(),
                 Line(0.5, "detected"), calibration, Line(10, "on"), Line(35, "alarm"),
                 Line(75, "alarm"), Line(80, "signal"), Line(90, "lost"), Line(92, "detected"),
                 Line(100, "off")}))
        reader.Take(e);
    const CommissioningReport r = BuildCommissioningReport(sources, form, scope, reader.Done());

    EXPECT_EQ(r.date, "2023-03-15 10:10");
    EXPECT_EQ(r.form[0].value, "North gate");
    EXPECT_EQ(r.verdict, "passed");
    EXPECT_EQ(r.scope, "this visit, since 10:00:00");
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
    // This visit's, with when it was reached; not one before.
    EXPECT_EQ(r.calibrationMaximum, "0,412  mV, reached at 10:00:00");
    EXPECT_EQ(r.walkPeriod, "10:00:10 - 10:01:40 (1:30), Setup page");
    EXPECT_EQ(r.alarmCount, "2");
    ASSERT_EQ(r.alarms.size(), 2u);
    EXPECT_EQ(r.alarms[1].caption, "2");
    EXPECT_EQ(r.alarms[1].value, "10:01:15 (+1:05)");
    ASSERT_EQ(r.outages.size(), 1u);
    EXPECT_EQ(r.outages[0].caption, "10:01:30 - 10:01:32 (0:02)");
    ASSERT_EQ(r.plotOutages.size(), 1u);
    EXPECT_NEAR(r.plotOutages[0].first, 80, 1e-6);
    EXPECT_NEAR(r.plotOutages[0].second, 82, 1e-6);
    EXPECT_DOUBLE_EQ(r.timeAxis.high, 90);
    EXPECT_EQ(ReportFileName(At(600)), "Quillane-report-20230315-101000.pdf");
    EXPECT_EQ(DurationText(3723.4), "1:02:03");
    // A walk test a hostile record stretched past any clock: a length, not a sign.
    EXPECT_EQ(DurationText(1e300), "277777777777:46:40");
}

// Where the plot puts things, in millimetres on the page.
TEST(ReportLayout, ThePlotItsBandsAlarmNumbersAndThresholdNames) {
    const PlotAxis time{0, 600, 60}, deviation{-50, 100, 25};
    const PlotFrame f = PlaceReportPlot(100, 174, time, deviation);
    EXPECT_EQ((std::vector<double>{f.left, f.width, f.height}),
              (std::vector<double>{13, 152, kPlotHeightMm}));
    EXPECT_DOUBLE_EQ(f.X(300), 89);
    EXPECT_DOUBLE_EQ(f.Y(100), 100);
    EXPECT_DOUBLE_EQ(f.Y(-50), f.Bottom());
    EXPECT_EQ(AxisTicks(deviation), (std::vector<double>{-50, -25, 0, 25, 50, 75, 100}));
    EXPECT_TRUE(AxisTicks(PlotAxis{0, 1, 0}).empty());

    // Numbers 5.4 mm wide: close ones take turns, a third close one has none.
    EXPECT_EQ(AlarmMarkLevels({10, 12, 14, 15.4, 30}, 5.4), (std::vector<int>{0, 1, -1, 0, 0}));
    // Marks at their times; one dated before the walk test began (the clock
    // set back an hour during it) or past the axis is held at the frame's edge.
    WalkTestRecord walk;
    walk.startDays = 45000;
    for (const double s : {300.0, -3600.0, 1e6}) walk.alarmDays.push_back(45000 + s / 86400);
    const std::vector<double> xs = AlarmMarkXs(f, walk);
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 89, 1e-6);
    EXPECT_EQ((std::vector<double>{xs[1], xs[2]}), (std::vector<double>{f.left, f.Right()}));
    // Names at their lines' ends, within the frame, one below another that is close.
    EXPECT_EQ(ThresholdNameYs({50, 51, 200, 30}, 40, 160, 3.2),
              (std::vector<double>{50, 53.2, 160, 40}));
    // All three at the foot (thresholds past the axis): stacked up from it.
    const std::vector<double> foot = ThresholdNameYs({200, 170, 160}, 40, 160, 3.2);
    ASSERT_EQ(foot.size(), 3u);
    EXPECT_DOUBLE_EQ(foot[0], 160 - 6.4);
    EXPECT_DOUBLE_EQ(foot[1], 160 - 3.2);
    EXPECT_DOUBLE_EQ(foot[2], 160);
    // A gap that rounds short of itself (16.1 + 3.2 - 16.1 < 3.2) still ends.
    EXPECT_EQ(ThresholdNameYs({16.1, 16.1}, 16.1, 100, 3.2),
              (std::vector<double>{16.1, 16.1 + 3.2}));
}

WalkTestRecord::Point At(double seconds, double width, double low = 0, double high = 0) {
    WalkTestRecord::Point p;
    p.seconds = seconds;
    p.width = width;
    p.low = low;
    p.high = high;
    return p;
}

// An outage of about a second is a gap, whether the words paused or the
// link was lost; half seconds that follow each other are one band.
TEST(ReportLayout, BandsBreakAtEveryOutage) {
    using Bands = std::vector<std::pair<std::size_t, std::size_t>>;
    const std::vector<WalkTestRecord::Point> s = {At(0, 0.49),   At(0.5, 0.49), At(1.0, 0.49),
                                                  At(2.6, 0.49), At(3.1, 0.49), At(3.6, 0.49)};
    EXPECT_EQ(SignalBands(s), (Bands{{0, 3}, {3, 6}}));  // 1.1 s without a word
    EXPECT_EQ(SignalBands(s, {{3.592, 3.598}}), (Bands{{0, 3}, {3, 5}, {5, 6}}));
    EXPECT_TRUE(SignalBands({}).empty());
    // A record of before the periods said their length: half a second each.
    EXPECT_EQ(SignalBands({At(0, 0.5), At(0.5, 0.5), At(2.5, 0.5)}), (Bands{{0, 2}, {2, 3}}));

    const PlotFrame f = PlaceReportPlot(0, 174, PlotAxis{0, 10, 1}, PlotAxis{-50, 50, 10});
    EXPECT_EQ(OutageSpans(f, {{2, 3}, {9, 12}, {-5, -1}}),
              (std::vector<std::pair<double, double>>{{f.X(2), f.X(3)}, {f.X(9), f.Right()}}));
}

// A flat half second (low = high) is a band of its own thickness, never a
// line; one beyond the axis lies on the frame's edge.
TEST(ReportLayout, ABandIsAlwaysThickEnoughToSee) {
    const PlotFrame f = PlaceReportPlot(0, 174, PlotAxis{0, 10, 1}, PlotAxis{-50, 50, 10});
    const struct {
        const char* name;
        double low, high;
        double seconds = 1, width = 0.5;
    } cases[] = {{"flat", 10, 10},
                 {"nearly flat", 10, 10.1},
                 {"wide", -20, 30},
                 {"beyond the top", 80, 90},
                 {"not a number", std::nan(""), std::nan("")},
                 // An instant still has a width, within the frame wherever it is.
                 {"an instant", 0, 1, 5, 0},
                 {"an instant at the axis' end", 0, 1, 10, 0},
                 {"an instant past it", 0, 1, 25, 0},
                 {"an instant before the start", 0, 1, -5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto outlines = SignalBandOutlines(f, {At(c.seconds, c.width, c.low, c.high)}, {});
        ASSERT_EQ(outlines.size(), 1u);
        const std::vector<MmPoint>& o = outlines[0];
        ASSERT_EQ(o.size(), 4u);  // along the high, back along the low
        EXPECT_GE(o[3].y - o[0].y, kBandMinMm - 1e-9);
        EXPECT_GE(o[1].x - o[0].x, std::min(kBandMinMm, f.X(c.seconds + c.width) - f.X(c.seconds)));
        for (const MmPoint& p : o) {
            EXPECT_GE(p.y, f.top);
            EXPECT_LE(p.y, f.Bottom());
            EXPECT_GE(p.x, f.left);
            EXPECT_LE(p.x, f.Right());
        }
    }
    // A wide band keeps its own edges.
    const auto wide = SignalBandOutlines(f, {At(1, 0.5, -20, 30)}, {});
    EXPECT_DOUBLE_EQ(wide[0][0].y, f.Y(30));
    EXPECT_DOUBLE_EQ(wide[0][3].y, f.Y(-20));
}

TEST(ReportLayout, BlocksFlowOntoNewPagesAndHeadingsKeepWithTheirText) {
    using Placed = std::vector<std::tuple<int, double, double>>;
    const auto place = [](const std::vector<ReportBlock>& blocks) {
        Placed out;
        for (const PlacedBlock& p : PlaceBlocks(blocks, 10, 0, 100))
            out.emplace_back(p.page, p.top, p.height);
        return out;
    };
    const struct {
        const char* name;
        std::vector<ReportBlock> blocks;
        Placed placed;
    } cases[] = {
        {"onto the next page", {{40}, {40}, {30}}, {{0, 10, 40}, {0, 50, 40}, {1, 0, 30}}},
        {"a heading goes with its text",
         {{40}, {10, true}, {45}},
         {{0, 10, 40}, {1, 0, 10}, {1, 10, 45}}},
        {"taller than a page", {{20}, {150}, {5}}, {{0, 10, 20}, {1, 0, 150}, {2, 0, 5}}},
        {"taller than the first page", {{150}}, {{0, 10, 150}}},
        {"a plot lower to stay", {{40}, {90, false, 45}}, {{0, 10, 40}, {0, 50, 50}}},
        {"too low to stay", {{40}, {90, false, 55}}, {{0, 10, 40}, {1, 0, 90}}},
        {"with its heading",
         {{40}, {10, true}, {90, false, 30}},
         {{0, 10, 40}, {0, 50, 10}, {0, 60, 40}}},
        {"as high as it is where it fits", {{90, false, 30}}, {{0, 10, 90}}},
    };
    for (const auto& c : cases) EXPECT_EQ(place(c.blocks), c.placed) << c.name;
    EXPECT_EQ(PageNumberText(0, 1), "");
    EXPECT_EQ(PageNumberText(1, 3), "Page 2 of 3");
}

}  // namespace
}  // namespace quillane
