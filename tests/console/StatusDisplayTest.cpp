#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StatusWords.h"
#include "console/pages/AccessLevel.h"
#include "console/pages/RedrawLimit.h"
#include "console/pages/StatusDisplay.h"
#include "model/NumberFormat.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace word = test::word;

DetectorModel ModelWith(unsigned code, std::uint16_t w) {
    DetectorModel m;
    m.current[code] = w;
    return m;
}

class SeparatorTest : public ::testing::TestWithParam<char> {
protected:
    NumberFormat format{GetParam()};
    std::string Dec(const std::string& pointText) const {
        std::string s = pointText;
        for (char& c : s)
            if (c == '.') c = GetParam();
        return s;
    }
};
INSTANTIATE_TEST_SUITE_P(Separators, SeparatorTest, ::testing::Values('.', ','));

TEST(StatusIdentity, AddressOnlyForModelTwo) {
    // 0xC95A: dev 2, prog 3, letter 1, adr 9.
    const IdentityDisplay ts = IdentityValues(ModelWith(6, 0xC95A));
    EXPECT_EQ(ts.model, "Korvel-TS");
    EXPECT_EQ(ts.prog, "3");
    EXPECT_EQ(ts.letter, "F2");
    EXPECT_TRUE(ts.addressShown);
    EXPECT_EQ(ts.address, "9");

    const IdentityDisplay one = IdentityValues(ModelWith(6, 0xC959));  // dev 1
    EXPECT_EQ(one.model, "Korvel");
    EXPECT_FALSE(one.addressShown);
    EXPECT_EQ(one.address, "");
}

TEST_P(SeparatorTest, PowerHasOneDecimalAndVolts) {
    EXPECT_EQ(PowerValue(ModelWith(7, word::Power(370)), 14.33, 1.5, format), Dec("14.5  V"));
    EXPECT_EQ(PowerValue(ModelWith(7, word::Power(0)), 14.33, 1.5, format), Dec("1.5  V"));
}

TEST(StatusZone, SensitivityFollowsSetupMethod) {
    struct Case {
        unsigned regul, dist;
        const char *regulText, *sens, *distText;
    };
    const std::vector<Case> cases = {
        {0, 21, "Manual", "80  %", "200  m"},  // senspp 10 of the code-3 word
        {1, 21, "Special", "---", "200  m"},
        {2, 21, "Auto", "90  %", "200  m"},  // the zone table's index 5
        {3, 7, "Auto", "86  %", "60  m"},    // the zone table's index 7
        {3, 1, "Auto", "100  %", "0  m"},
        {2, 20, "Auto", "-3999999900  %", "190  m"},  // a hand-edited Dist20=2000000000
    };
    const auto table = [](int zone) {
        return zone == 21 ? 5 : zone == 7 ? 7 : zone == 20 ? 2000000000 : 0;
    };
    for (const Case& c : cases) {
        DetectorModel m = ModelWith(4, word::Zone(c.regul, c.dist, 0));
        m.current[3] = word::Sens(10, 0);
        const ZoneDisplay d = ZoneValues(m, table);
        EXPECT_EQ(d.regul, c.regulText) << c.regul;
        EXPECT_EQ(d.sens, c.sens) << c.regul << " " << c.dist;
        EXPECT_EQ(d.dist, c.distText) << c.dist;
    }
}

TEST_P(SeparatorTest, SpeedRangeUsesLocaleSeparator) {
    const DetectorModel m = ModelWith(5, word::Speed(0, 2, 1));
    EXPECT_EQ(SpeedAndWarningValues(m, Page::About, format).speed, Dec("0.3") + "...6  m/s");
    const DetectorModel top = ModelWith(5, word::Speed(0, 3, 3));
    EXPECT_EQ(SpeedAndWarningValues(top, Page::About, format).speed, Dec("0.4") + "...10  m/s");
}

TEST(StatusWarning, DetectorWarningsShowOnEveryPage) {
    const std::vector<std::pair<unsigned, const char*>> warnings = {
        {1, "Unknown error = 1"},
        {2, "Warning: Signal level exceeds acceptable value !"},
        {3, "Warning: Low power level !"}};
    const NumberFormat f;
    for (Page p : {Page::Calibration, Page::Setup, Page::Settings, Page::Properties, Page::About}) {
        for (const auto& [dis, text] : warnings) {
            DetectorModel m = ModelWith(5, word::Speed(dis, 0, 0));
            m.current[2] = word::State(2, 0);
            const auto note = SpeedAndWarningValues(m, p, f).note;
            ASSERT_TRUE(note.has_value()) << dis;
            EXPECT_EQ(*note, text);
        }
    }
}

TEST(StatusWarning, HintsByStateAndPageWithoutWarning) {
    struct Case {
        unsigned state;
        Page page;
        std::optional<std::string> note;
    };
    const std::string walk =
        "Walk test the perimeter\nCheck for alarms\nIf necessary, change the sensitivity";
    const std::string adjust = "Adjust the detectors in horizontal and vertical axis";
    const std::vector<Case> cases = {
        {0, Page::Setup, walk},
        {0, Page::Settings, walk},
        {0, Page::About, std::string("Select 'Calibration' or 'Setup' mode")},
        {0, Page::Properties, std::string()},
        {0, Page::Calibration, std::nullopt},
        {2, Page::Calibration, adjust},
        {2, Page::Setup, std::nullopt},
        {1, Page::Setup, std::nullopt},
        {3, Page::About, std::nullopt},
    };
    const NumberFormat f;
    for (const Case& c : cases) {
        DetectorModel m = ModelWith(5, word::Speed(0, 0, 0));
        m.current[2] = word::State(c.state, 0);
        EXPECT_EQ(SpeedAndWarningValues(m, c.page, f).note, c.note)
            << "state " << c.state << " page " << static_cast<int>(c.page);
    }
}

TEST(StatusState, TextByState) {
    const std::vector<std::pair<unsigned, const char*>> cases = {
        {0, "Normal"},      {1, "Alarm"},     {2, "Calibration"},
        {3, "Malfunction"}, {5, "Unknown-5"}, {7, "Unknown-7"},
    };
    const NumberFormat f;
    for (const auto& [state, text] : cases)
        EXPECT_EQ(DetectorStateValues(ModelWith(2, word::State(state, 0)), Page::Setup, f).state,
                  text);
}

TEST_P(SeparatorTest, AverageInMilliVoltsExceptOnCalibrationPage) {
    DetectorModel m = ModelWith(2, word::State(0, 1023));
    m.current[5] = word::Speed(0, 0, 0, 3, 1);
    EXPECT_EQ(DetectorStateValues(m, Page::Setup, format).aver, Dec("250.000  mV"));
    m.current[5] = word::Speed(0, 0, 0);
    EXPECT_EQ(DetectorStateValues(m, Page::About, format).aver, Dec("2.186  mV"));
    EXPECT_EQ(DetectorStateValues(m, Page::Calibration, format).aver, "---");
}

TEST(StatusState, CalibrationNotesOnStateChangeOnlyOnCalibrationPage) {
    struct Case {
        unsigned prev, cur;
        Page page;
        std::optional<std::string> note;
    };
    const std::vector<Case> cases = {
        {2, 1, Page::Calibration,
         std::string("No signal !\nReturn the detector to previous position")},
        {1, 2, Page::Calibration,
         std::string("Adjust the detectors in horizontal and vertical axis")},
        {2, 1, Page::Setup, std::nullopt},
        {0, 1, Page::Calibration, std::nullopt},
        {2, 2, Page::Calibration, std::nullopt},
    };
    const NumberFormat f;
    for (const Case& c : cases) {
        DetectorModel m = ModelWith(2, word::State(c.cur, 0));
        m.previous[2] = word::State(c.prev, 0);
        EXPECT_EQ(DetectorStateValues(m, c.page, f).note, c.note) << c.prev << "->" << c.cur;
    }
}

TEST(StatusState, AlarmEnteredOnlyOnChangeIntoAlarm) {
    const NumberFormat f;
    DetectorModel m = ModelWith(2, word::State(1, 0));
    m.previous[2] = word::State(0, 0);
    EXPECT_TRUE(DetectorStateValues(m, Page::Setup, f).alarmEntered);
    m.previous[2] = word::State(1, 0);
    EXPECT_FALSE(DetectorStateValues(m, Page::Setup, f).alarmEntered);
    m.current[2] = word::State(3, 0);
    m.previous[2] = word::State(0, 0);
    EXPECT_FALSE(DetectorStateValues(m, Page::Setup, f).alarmEntered);
}

TEST(StatusSignal, WordsEveryMillisecondRefreshAtMostFiveTimesASecond) {
    const DetectorModel m = ModelWith(2, word::State(0, 0));
    RedrawLimit last;
    int refreshes = 0;
    for (int ms = 0; ms < 1000; ++ms) {
        const double now = 5000.0 + ms / 1000.0;
        if (ShowSignalDecision(m, Page::Setup, true, now, last, 5) == SignalRefresh::Sense)
            ++refreshes;
    }
    EXPECT_LE(refreshes, 5);
    EXPECT_GE(refreshes, 4);
}

TEST(StatusSignal, LimitMovesTimeStampEvenWhenStateBlocks) {
    struct Case {
        Page page;
        unsigned state;
        bool working;
        SignalRefresh expected;
    };
    const std::vector<Case> cases = {
        {Page::Calibration, 2, true, SignalRefresh::TuneUp},
        {Page::Calibration, 0, true, SignalRefresh::None},
        {Page::Calibration, 2, false, SignalRefresh::None},
        {Page::Setup, 0, true, SignalRefresh::Sense},
        {Page::Setup, 2, true, SignalRefresh::None},
        {Page::Setup, 0, false, SignalRefresh::None},
    };
    for (const Case& c : cases) {
        const DetectorModel m = ModelWith(2, word::State(c.state, 0));
        RedrawLimit last;
        last.dblLastRefresh = 10.0;
        EXPECT_EQ(ShowSignalDecision(m, c.page, c.working, 10.1, last, 5), SignalRefresh::None);
        EXPECT_EQ(last.dblLastRefresh, 10.0);  // too early: nothing moves
        EXPECT_EQ(ShowSignalDecision(m, c.page, c.working, 10.25, last, 5), c.expected);
        EXPECT_EQ(last.dblLastRefresh, 10.25);
    }
}

TEST(StatusSignal, SettingsPageIsLeftToItsOwnLimitAndOtherPagesIgnoreSignal) {
    const DetectorModel m = ModelWith(2, word::State(0, 0));
    RedrawLimit last;
    last.dblLastRefresh = 10.0;
    EXPECT_EQ(ShowSignalDecision(m, Page::Settings, true, 10.001, last, 5), SignalRefresh::Range);
    EXPECT_EQ(ShowSignalDecision(m, Page::About, true, 20.0, last, 5), SignalRefresh::None);
    EXPECT_EQ(ShowSignalDecision(m, Page::Properties, true, 20.0, last, 5), SignalRefresh::None);
    EXPECT_EQ(last.dblLastRefresh, 10.0);
    EXPECT_FALSE(last.TrailingIn(20.0, 5));  // nothing was refused
}

TEST(AccessLevelTest, CaptionSuffixOnlyForDeveloperAndNeverDoubled) {
    const std::string base = "Detector setup console";
    EXPECT_EQ(CaptionFor(base, EAccBasic), base);
    EXPECT_EQ(CaptionFor(base, EAccAdvanced), base);
    const std::string dev = CaptionFor(base, EAccDeveloper);
    EXPECT_EQ(dev, "Detector setup console: Developer access");
    EXPECT_EQ(CaptionFor(base, EAccDeveloper), dev);
}

TEST(AccessLevelTest, DialogResultsToLevels) {
    EXPECT_EQ(LevelForResult(dialog_result::kOk), EAccAdvanced);
    EXPECT_EQ(LevelForResult(dialog_result::kYes), EAccDeveloper);
    EXPECT_EQ(LevelForResult(dialog_result::kRetry), EAccBasic);
    EXPECT_EQ(LevelForResult(dialog_result::kCancel), std::nullopt);
    EXPECT_EQ(LevelForResult(0), std::nullopt);  // a dialog closed by other means
}

}  // namespace
}  // namespace quillane
