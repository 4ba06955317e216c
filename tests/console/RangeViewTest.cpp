// The Settings page's rules: deviation, maximum and minimum, the threshold
// boxes and the commands of its two Apply buttons.
#include <gtest/gtest.h>

#include <vector>

#include "StatusWords.h"
#include "console/pages/RangeView.h"
#include "console/pages/RedrawLimit.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace word = test::word;

constexpr unsigned kPp = 1u << 10, kMp = 1u << 11, kBp = 1u << 12;

// senspp 10, sensmp 12, sensbp 14; zone 10 in method `regul`; speeds 1 and 3;
// address 9, letter F3.
DetectorModel Model(unsigned sig, unsigned aver = 500, unsigned regul = 0, unsigned dist = 10) {
    DetectorModel m;
    m.current[1] = word::Signal(sig);
    m.current[2] = word::State(0, aver);
    m.current[3] = word::Sens(10, 12);
    m.current[4] = word::Zone(regul, dist, 14);
    m.current[5] = word::Speed(0, 1, 3);
    m.current[6] = word::Identity(2, 3, 2, 9);
    return m;
}

std::vector<unsigned> Args(const PageCommands& c) { return test::CommandValues(c.words); }

class RangeTest : public ::testing::Test {
protected:
    RangeTest() { tables.Fill(ProfileFile("/nonexistent/Quillane.ini")); }
    // A redraw the rate limit lets through.
    RangeChart Refresh(const DetectorModel& m, RangeValues& v) {
        RedrawLimit last;
        return RefreshRange(m, tables, v, 100, last, 5);
    }
    NumberFormat format;
    CorrespondenceTables tables{format};
};

TEST_F(RangeTest, DeviationLabelsBarsAndTheEightyPercentHold) {
    const struct {
        unsigned sig, aver;
        char sep;
        const char *plus, *minus;
        double ppSignal, mpbpSignal, max, min;
    } cases[] = {
        {500, 500, '.', "0.0%", "0.0%", 0, 0, 0, 0},
        {600, 500, '.', "20.0%", "0.0%", 20, 0, 20, 0},
        {975, 500, '.', "95.0%", "0.0%", 95, 0, 80, 0},
        {25, 500, '.', "0.0%", "-95.0%", 0, 95, 0, -80},
        {450, 500, ',', "0,0%", "-10,0%", 0, 10, 0, -10},
        {1000, 3, '.', "33233.3%", "0.0%", 33233.0 + 1 / 3.0, 0, 80, 0},
        // No average: no deviation, and nothing to divide by.
        {700, 0, '.', "0.0%", "0.0%", 0, 0, 0, 0},
        {0, 0, '.', "0.0%", "0.0%", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        RangeValues v;
        const RangeChart r = Refresh(Model(c.sig, c.aver), v);
        const RangeSignalTexts texts = RangeSignalTextsOf(r.signal, NumberFormat(c.sep));
        EXPECT_EQ(texts.plus, c.plus) << c.sig << '/' << c.aver;
        EXPECT_EQ(texts.minus, c.minus) << c.sig << '/' << c.aver;
        EXPECT_NEAR(r.ppSignal, c.ppSignal, 1e-9) << c.sig << '/' << c.aver;
        EXPECT_DOUBLE_EQ(r.mpbpSignal, c.mpbpSignal) << c.sig << '/' << c.aver;
        EXPECT_DOUBLE_EQ(v.dblRangeMax, c.max) << c.sig << '/' << c.aver;
        EXPECT_DOUBLE_EQ(v.dblRangeMin, c.min) << c.sig << '/' << c.aver;
        // serMax and serMin move only when their value does.
        EXPECT_EQ(r.maxX.has_value(), c.max != 0) << c.sig << '/' << c.aver;
        if (r.minX) {
            EXPECT_DOUBLE_EQ(*r.minX, -c.min);
        }
    }
}

TEST_F(RangeTest, OnlyGrowthMovesTheMaximumAndMinimumAndNoAverageLeavesThem) {
    RangeValues v;
    Refresh(Model(600), v);                 // +20
    Refresh(Model(400), v);                 // -20
    RangeChart r = Refresh(Model(550), v);  // +10
    EXPECT_FALSE(r.maxX || r.minX);
    r = Refresh(Model(900, 0), v);
    EXPECT_FALSE(r.maxX || r.minX);
    EXPECT_DOUBLE_EQ(v.dblRangeMax, 20);
    EXPECT_DOUBLE_EQ(v.dblRangeMin, -20);
    EXPECT_EQ(v.dblRangeSignal, 0);
}

TEST_F(RangeTest, ResetTakesThePresentDeviationWithoutTheLimit) {
    RangeValues v;
    Refresh(Model(300), v);
    ResetRangeMaximum(Model(975), v);  // +95
    EXPECT_DOUBLE_EQ(v.dblRangeMax, 95);
    EXPECT_EQ(v.dblRangeMin, 0);
    EXPECT_FALSE(Refresh(Model(970), v).maxX);    // +94 stays under it
    const RangeChart r = Refresh(Model(980), v);  // +96 is held again
    EXPECT_EQ(r.maxX, std::optional<double>(80));

    ResetRangeMaximum(Model(25), v);  // -95
    EXPECT_EQ(v.dblRangeMax, 0);
    EXPECT_DOUBLE_EQ(v.dblRangeMin, -95);
    ResetRangeMaximum(Model(25, 0), v);  // no average: both back to no deviation
    EXPECT_EQ(v.dblRangeMax, 0);
    EXPECT_EQ(v.dblRangeMin, 0);
}

TEST_F(RangeTest, AfterAModeOtherThanNormalTheSignalReadsTheAverage) {
    const struct {
        unsigned previous, current;
        bool held;
    } cases[] = {{1, 0, true}, {2, 0, true}, {3, 1, true}, {0, 1, false}, {0, 0, false}};
    for (const auto& c : cases) {
        DetectorModel m = Model(975, 480);
        m.previous[2] = word::State(c.previous, 480);
        m.current[2] = word::State(c.current, 480);
        RangeValues v;
        const RangeChart r = Refresh(m, v);
        EXPECT_EQ(r.heldSig, c.held ? std::optional<unsigned>(480) : std::nullopt) << c.previous;
        const RangeSignalTexts texts = RangeSignalTextsOf(r.signal, format);
        EXPECT_EQ(texts.plus, c.held ? "0.0%" : "103.1%") << c.previous;
        EXPECT_EQ(texts.minus, "0.0%");
        EXPECT_EQ(r.ppSignal, c.held ? 0 : v.dblRangeSignal) << c.previous;
        EXPECT_EQ(r.mpbpSignal, 0);
    }
}

TEST_F(RangeTest, FlagsFillTheirMarkersAndLiftTheRateLimit) {
    const Colour blue{Colour::Rgb, 0, 0, 255};
    const struct {
        unsigned flags;
        Colour pp, mp, bp;
    } cases[] = {
        {0, colour::kWhite, colour::kWhite, colour::kWhite},
        {kPp, colour::kRed, colour::kWhite, colour::kWhite},
        {kMp, colour::kWhite, blue, colour::kWhite},
        {kBp | kPp, colour::kRed, colour::kWhite, colour::kGreen},
    };
    for (const auto& c : cases) {
        DetectorModel m = Model(600);
        m.current[1] = word::Signal(600) | c.flags;
        RangeValues v;
        RedrawLimit last;
        last.dblLastRefresh = 99.9;  // 0.1 s ago at five redraws a second
        const RangeChart r = RefreshRange(m, tables, v, 100, last, 5);
        EXPECT_EQ(r.fills.pp, c.pp) << c.flags;
        EXPECT_EQ(r.fills.mp, c.mp) << c.flags;
        EXPECT_EQ(r.fills.bp, c.bp) << c.flags;
        EXPECT_EQ(r.redraw, c.flags != 0) << c.flags;
        EXPECT_DOUBLE_EQ(last.dblLastRefresh, c.flags != 0 ? 100 : 99.9) << c.flags;
        EXPECT_EQ(last.TrailingIn(100, 5).has_value(), c.flags == 0) << c.flags;
        EXPECT_NEAR(r.signal, c.flags != 0 ? 20 : 0, 1e-9) << c.flags;
    }
    RangeValues v;
    RedrawLimit last;
    last.dblLastRefresh = 99.8;
    EXPECT_TRUE(RefreshRange(Model(600), tables, v, 100, last, 5).redraw);
    EXPECT_DOUBLE_EQ(last.dblLastRefresh, 100);
}

TEST_F(RangeTest, ThresholdBarsFollowTheTableForTheStoredIndices) {
    tables.sgSense.SetCell(11, 1, "33.3");  // PL of index 10
    RangeValues v;
    const RangeChart r = Refresh(Model(500), v);
    EXPECT_DOUBLE_EQ(r.pp, 33.3);
    EXPECT_DOUBLE_EQ(r.mp, DefaultMP(12));
    EXPECT_DOUBLE_EQ(r.bp, DefaultBP(14));
}

TEST_F(RangeTest, CancelLoadsMethodSplitZoneAndThresholds) {
    const struct {
        unsigned regul, dist;
        bool autoMethod;
        std::optional<bool> split;
        int distItem;
    } cases[] = {{0, 10, false, false, 8},
                 {1, 10, false, true, 8},
                 {2, 1, true, {}, 0},
                 {3, 31, true, {}, 29},
                 {2, 0, true, {}, 0}};
    for (const auto& c : cases) {
        const RangeLoad l = RangeCancelValues(Model(0, 500, c.regul, c.dist));
        EXPECT_EQ(l.autoMethod, c.autoMethod) << c.regul;
        EXPECT_EQ(l.split, c.split) << c.regul;
        EXPECT_EQ(l.distItem, c.distItem) << c.dist;
        EXPECT_EQ((std::vector<int>{l.ppItem, l.mpItem, l.bpItem}), (std::vector<int>{10, 12, 14}));
    }
}

TEST_F(RangeTest, MethodAndSplitDecideTheEditableBoxes) {
    const struct {
        bool manual, split;
        RangeEnabled e;
    } cases[] = {{false, false, {true, false, false, false, false}},
                 {false, true, {true, false, false, false, false}},
                 {true, false, {false, true, true, false, false}},
                 {true, true, {false, true, true, true, true}}};
    for (const auto& c : cases) {
        const RangeEnabled e = RangeControlsEnabled(c.manual, c.split);
        EXPECT_EQ((std::vector<bool>{e.dist, e.separ, e.pp, e.mp, e.bp}),
                  (std::vector<bool>{c.e.dist, c.e.separ, c.e.pp, c.e.mp, c.e.bp}))
            << c.manual << c.split;
    }
}

TEST_F(RangeTest, ZoneItemsTakeTheZoneTablesIndexOrNothingOutsideTheBoxes) {
    EXPECT_EQ(RangeItemForZoneItem(tables, 8), DefaultDistSens(10));
    const struct {
        const char* cell;
        int item;
    } cases[] = {{"0", 0}, {"31", 31}, {"32", -1}, {"40", -1}, {"-1", -1}, {"-5", -1}};
    for (const auto& c : cases) {
        tables.sgDist.SetCell(9, 1, c.cell);  // zone 10
        EXPECT_EQ(RangeItemForZoneItem(tables, 8), c.item) << c.cell;
    }
}

TEST_F(RangeTest, PreviewMarkersHideOnTheStoredIndexAndReadTheBoxText) {
    const struct {
        int item;
        unsigned stored;
        const char* text;
        char sep;
        double x;
    } cases[] = {{3, 3, "15", '.', -1},  {5, 3, "18", '.', 18}, {5, 3, "13,5", ',', 13.5},
                 {5, 3, "13.5", ',', 0}, {5, 3, "", '.', 0},    {-1, 3, "", '.', -1},
                 {0, 0, "x", '.', -1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(PreviewMarkerX(c.item, c.stored, c.text, NumberFormat(c.sep)), c.x)
            << c.item << ' ' << c.text;
}

TEST_F(RangeTest, ApplySendsThresholdsZoneAndMethod) {
    const DetectorModel m = Model(0, 500, 0, 10);
    const struct {
        RangeChoice choice;
        std::vector<unsigned> args;
    } cases[] = {
        {{true, false, 4, 7, 7, 7}, {9, 7, 0, 7, 7, 2, 1, 3, 6, 2}},       // Auto: chosen zone
        {{true, true, 29, 1, 2, 3}, {9, 1, 0, 2, 3, 2, 1, 3, 31, 2}},      // split ignored in Auto
        {{false, false, 4, 5, 5, 5}, {9, 5, 0, 5, 5, 2, 1, 3, 10, 0}},     // Manual: own zone
        {{false, true, 4, 5, 20, 31}, {9, 5, 0, 20, 31, 2, 1, 3, 10, 1}},  // split: Special
        {{false, true, 4, -1, -1, -1}, {9, 10, 0, 12, 14, 2, 1, 3, 10, 1}},  // no selection
    };
    for (const auto& c : cases) EXPECT_EQ(Args(RangeApplyCommands(m, c.choice)), c.args);
}

TEST_F(RangeTest, ParametersShowTheStoredWordsAndSendTheRestBackUnchanged) {
    const DetectorModel m = Model(0, 500, 1, 17);
    const ParamLoad l = ParamLoadValues(m);
    EXPECT_EQ((std::vector<int>{l.minSpeedItem, l.maxSpeedItem, l.letterItem}),
              (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(l.address, "9");

    const struct {
        int minItem, maxItem, letterItem;
        std::vector<unsigned> args;  // sensmp, sensbp, letter; min, max, dist, reg
    } cases[] = {{0, 2, 3, {12, 14, 3, 0, 2, 17, 1}},
                 {3, 0, 0, {12, 14, 0, 3, 0, 17, 1}},
                 {-1, -1, -1, {12, 14, 2, 1, 3, 17, 1}}};
    for (const auto& c : cases) {
        const PageCommands p = ParamSetCommands(m, c.minItem, c.maxItem, c.letterItem);
        EXPECT_FALSE(p.words[command::kModeWord]);
        EXPECT_EQ(test::CommandValues(p.words), c.args);
    }
}

}  // namespace
}  // namespace quillane
