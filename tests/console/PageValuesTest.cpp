// The rules the Calibration and Setup pages and the alarm counters compute.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StatusWords.h"
#include "console/pages/AlarmCount.h"
#include "console/pages/SenseView.h"
#include "console/pages/TuneUpView.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace word = test::word;

// A model as the detector reports it: state and average, the thresholds, the
// zone and method, gain 2 (61) so that one count is about 0.08 mV.
DetectorModel Model(unsigned sig, unsigned state = 0, unsigned aver = 500, unsigned regul = 0,
                    unsigned dist = 10) {
    DetectorModel m;
    m.current[1] = word::Code(1, sig);
    m.current[2] = word::State(state, aver);
    m.current[3] = word::Sens(10, 12);
    m.current[4] = word::Zone(regul, dist, 14);
    m.current[5] = word::Speed(0, 1, 3, 2);     // gain 2
    m.current[6] = word::Identity(2, 0, 2, 9);  // address 9, letter F3
    return m;
}

TEST(ScaleAxisToValue, FollowsTheOneFiveTenRule) {
    const struct {
        double v, maximum;
    } cases[] = {{0, 0.001},
                 {0.0009, 0.001},
                 {0.001, 0.005},
                 {0.3, 0.5},
                 {0.5, 1},
                 {0.6, 1},
                 {4.99, 5},
                 {9999, 10000},
                 {1e12, 10000},
                 {std::numeric_limits<double>::infinity(), 10000},
                 {std::nan(""), 0.001}};
    for (const auto& c : cases) {
        const AxisScale a = ScaleAxisToValue(c.v);
        EXPECT_DOUBLE_EQ(a.maximum, c.maximum) << c.v;
        EXPECT_DOUBLE_EQ(a.tickStep, c.maximum * 0.2) << c.v;
    }
}

TEST(TuneUp, TheAxisGrowsWithTheMaximumAndNeverShrinks) {
    TuneUpValues v;
    TuneUpDisplay d = RefreshTuneUp(Model(4), v, 1.0);  // 0.32 mV
    ASSERT_TRUE(d.axis);
    EXPECT_DOUBLE_EQ(d.axis->maximum, 0.5);
    d = RefreshTuneUp(Model(8), v, 2.0);  // 0.64 mV
    ASSERT_TRUE(d.axis && d.maxShown);
    EXPECT_DOUBLE_EQ(d.axis->maximum, 1);
    EXPECT_DOUBLE_EQ(d.axis->tickStep, 0.2);
    EXPECT_EQ(v.dblTuneUpMax, SignalToMilliVolts(0, 2, 8));
    d = RefreshTuneUp(Model(8), v, 3.0);  // held: reached when it first came
    EXPECT_EQ(v.maxReachedDays, 2.0);
    d = RefreshTuneUp(Model(4), v, 4.0);  // back to 0.32 mV
    EXPECT_FALSE(d.axis);
    EXPECT_FALSE(d.maxShown);
    EXPECT_FALSE(d.barLime);
    EXPECT_EQ(v.dblTuneUpSignal, SignalToMilliVolts(0, 2, 4));
    EXPECT_EQ(v.dblTuneUpMax, SignalToMilliVolts(0, 2, 8));
    EXPECT_EQ(v.maxReachedDays, 2.0);
}

// Reset maximum while the signal falls and the redraw limit held the last
// words back: the maximum is the one now in force, never the old one.
TEST(TuneUp, AResetMaximumIsShownAtOnceWhateverTheWordsSince) {
    TuneUpValues v;
    RefreshTuneUp(Model(8), v, 1.0);
    RefreshTuneUp(Model(6), v, 2.0);  // the last signal shown
    const TuneUpDisplay reset = ResetTuneUpMax(v, 3.0);
    ASSERT_TRUE(reset.maxShown && reset.axis);
    EXPECT_DOUBLE_EQ(v.dblTuneUpMax, SignalToMilliVolts(0, 2, 6));
    EXPECT_DOUBLE_EQ(reset.axis->maximum, ScaleAxisToValue(v.dblTuneUpMax).maximum);
    EXPECT_EQ(v.maxReachedDays, 3.0);
    // The stored word has fallen further meanwhile: the maximum stays.
    const TuneUpDisplay d = RefreshTuneUp(Model(4), v, 4.0);
    EXPECT_FALSE(d.maxShown);
    EXPECT_DOUBLE_EQ(v.dblTuneUpMax, SignalToMilliVolts(0, 2, 6));
}

TEST(TuneUp, LimeFromNinetyPercentOfTheMaximumAndForAZeroMaximum) {
    EXPECT_TRUE(TuneUpBarLime(0.9, 1.0));
    EXPECT_FALSE(TuneUpBarLime(0.899, 1.0));
    EXPECT_TRUE(TuneUpBarLime(0, 0));
    TuneUpValues v;
    const TuneUpDisplay d = RefreshTuneUp(Model(0), v, 1.0);
    EXPECT_TRUE(d.barLime);
    EXPECT_TRUE(d.maxShown);
    EXPECT_EQ(TuneUpText(v.dblTuneUpSignal, NumberFormat(',')), "0,000");
    EXPECT_EQ(TuneUpText(SignalToMilliVolts(0, 2, 8), NumberFormat('.')), "0.641");
}

class SenseTest : public ::testing::Test {
protected:
    SenseTest() { tables.Fill(ProfileFile("/nonexistent/Quillane.ini")); }
    NumberFormat format;
    CorrespondenceTables tables{format};
};

TEST_F(SenseTest, CancelLoadsTheMethodZoneAndSensitivity) {
    const struct {
        unsigned regul, dist;
        bool special;
        int regulItem, distItem;
    } cases[] = {{0, 10, false, 1, 8},
                 {1, 10, true, 0, 8},
                 {2, 0, false, 0, 0},
                 {3, 1, false, 0, 0},
                 {2, 31, false, 0, 29}};
    for (const auto& c : cases) {
        const SenseLoad l = SenseCancelValues(Model(0, 0, 500, c.regul, c.dist));
        EXPECT_EQ(l.special, c.special) << c.regul;
        if (!c.special) {
            EXPECT_EQ(l.regulItem, c.regulItem) << c.regul;
        }
        EXPECT_EQ(l.distItem, c.distItem) << c.dist;
        EXPECT_EQ(l.sensePercent, 76);  // sensmp 12
    }
    EXPECT_EQ(ClampSensePercent(SensToPercent(40)), 38);
    EXPECT_EQ(ClampSensePercent(SensToPercent(-3)), 100);
    EXPECT_EQ(PercentToSens(100), 0);
    EXPECT_EQ(PercentToSens(38), 31);
}

TEST_F(SenseTest, LevelsAroundTheAverageAndTheirPreview) {
    const double a = SignalToMilliVolts(0, 2, 500);
    SenseChart c = SenseChartValues(Model(520), tables, 80, false);
    ASSERT_TRUE(c.signal);
    EXPECT_DOUBLE_EQ(*c.signal, SignalToMilliVolts(0, 2, 520));
    EXPECT_DOUBLE_EQ(c.lower, a - DefaultMP(12) * a * 0.01);
    EXPECT_DOUBLE_EQ(c.upper, a + DefaultPP(10) * a * 0.01);
    EXPECT_DOUBLE_EQ(c.newLower, a - DefaultMP(10) * a * 0.01);
    EXPECT_DOUBLE_EQ(c.newUpper, a + DefaultPP(10) * a * 0.01);
    EXPECT_EQ(c.axis, ScaleAxisToValue(c.upper));

    EXPECT_FALSE(SenseChartValues(Model(520, 1), tables, 80, false).signal);  // frozen
    c = SenseChartValues(Model(520, 0, 500, 1), tables, 80, true);            // Special shown
    EXPECT_EQ(c.newLower, 0);
    EXPECT_EQ(c.newUpper, 0);
    c = SenseChartValues(Model(520, 0, 0), tables, 80, false);  // no average
    EXPECT_EQ(c.lower + c.upper + c.newLower + c.newUpper, 0);
    EXPECT_DOUBLE_EQ(c.axis.maximum, 0.001);
}

TEST_F(SenseTest, ApplySendsOneIndexForAllThresholdsWithTheMethodsZone) {
    const DetectorModel m = Model(0, 0, 500, 0, 10);
    PageCommands c = SenseApplyCommands(m, 80, true, 4);
    EXPECT_EQ(test::CommandValues(c.words),
              (std::vector<unsigned>{9, 10, 0, 10, 10, 2, 1, 3, 6, 2}));
    c = SenseApplyCommands(m, 38, false, 4);
    // The detector's own zone, manual.
    EXPECT_EQ(test::CommandValues(c.words),
              (std::vector<unsigned>{9, 31, 0, 31, 31, 2, 1, 3, 10, 0}));
    EXPECT_EQ(SensePercentForZoneItem(tables, 8), SensToPercent(DefaultDistSens(10)));
}

TEST(AlarmCount, CountsOnFromTheLabelsText) {
    EXPECT_EQ(NextAlarmCount("0"), "1");
    EXPECT_EQ(NextAlarmCount("41"), "42");
    EXPECT_EQ(NextAlarmCount("x"), "1");
    EXPECT_EQ(NextAlarmCount("2147483647"), "2147483648");
}

}  // namespace
}  // namespace quillane
