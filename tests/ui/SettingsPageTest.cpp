// The Settings page driven by key as an installer drives it at the advanced
// and developer levels; its rules are tested in the core.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

#include "ConsoleHarness.h"
#include "console/ConsoleCore.h"
#include "model/Conversions.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/PageComboBox.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

using frame::Command0;
using frame::Command1;
using frame::Command2;

constexpr unsigned kPpFlag = 1u << 10;

// The texts as the machine's locale writes them.
QString Pct(const char* text) {
    return QString::fromLatin1(text).replace('.', QLocale::system().decimalPoint());
}

// The detector of the harness: address 9, letter F2, speeds 2 and 1, zone 10.
class SettingsPage : public ::testing::Test {
protected:
    // Linked in `regul` with a steady signal and the further words, then the
    // advanced code (or another), and F3 from the Calibration page.
    void Open(unsigned regul, std::initializer_list<frame::Word> words = {},
              const char* code = "5") {
        h.LinkUp(0, regul);
        h.Receive({word::Signal(500)});
        if (words.size() > 0) h.Receive(words);
        h.EnterAccessCode(QString::fromLatin1(code));
        h.Press(Qt::Key_F2);
        h.Press(Qt::Key_F3);
        ASSERT_EQ(h.CurrentPage(), "tsRange");
        h.Tick(30);  // the calibration command has gone out
    }
    template <typename T>
    T* Find(const char* name) {
        return h.Find<T>(name);
    }
    PageComboBox* Box(const char* name) { return Find<PageComboBox>(name); }
    BarChart* Upper() { return Find<BarChart>("chRangePP"); }
    BarChart* Lower() { return Find<BarChart>("chRangeMPBP"); }
    std::optional<std::uint16_t> Pending(unsigned code) {
        return h.Window().Core().PendingCommand(code);
    }
    // A signal word after the redraw interval, repeated until the filter
    // against sudden jumps lets it through.
    void Signal(frame::Word signal, unsigned state = 0, unsigned aver = 500) {
        for (int i = 0; i < 8; ++i) {
            h.clock.Advance(0.25);
            h.Receive({word::State(state, aver), signal});
        }
    }
    QString Focus() const {
        QWidget* f = QApplication::focusWidget();
        return f ? f->objectName() : QString();
    }
    std::vector<int> Items(std::initializer_list<const char*> names) {
        std::vector<int> items;
        for (const char* n : names) items.push_back(Box(n)->currentIndex());
        return items;
    }
    std::vector<bool> Enabled(std::initializer_list<const char*> names) {
        std::vector<bool> enabled;
        for (const char* n : names) enabled.push_back(Find<QWidget>(n)->isEnabled());
        return enabled;
    }

    ConsoleHarness h;
};

TEST_F(SettingsPage, ThresholdListsHoldTheTableWithoutASelectionUntilLoaded) {
    for (const char* name : {"cbRangePP", "cbRangeMP", "cbRangeBP"}) {
        EXPECT_EQ(Box(name)->count(), 32) << name;
        EXPECT_EQ(Box(name)->currentIndex(), -1) << name;
    }
    EXPECT_EQ(Box("cbRangeBP")->itemText(1), Pct("24"));
    EXPECT_EQ(Box("cbRangePP")->itemText(0), Pct("10.5"));
}

TEST_F(SettingsPage, DeviationMaximumAndMinimumFollowTheSignal) {
    Open(0);
    EXPECT_EQ(h.Note(),
              "Walk test the perimeter\nCheck for alarms\nIf necessary, change the sensitivity");
    const struct {
        unsigned sig;
        bool reset;
        const char *plus, *minus;
        double upperBar, lowerBar, max, min;
    } steps[] = {
        {500, false, "0.0%", "0.0%", 0, 0, 0, 0},
        {975, false, "95.0%", "0.0%", 95, 0, 80, 0},
        {25, false, "0.0%", "-95.0%", 0, 95, 80, 80},
        {975, true, "95.0%", "0.0%", 95, 0, 95, 0},  // F8: no limit
        {980, false, "96.0%", "0.0%", 96, 0, 80, 0},
    };
    for (const auto& s : steps) {
        Signal(word::Signal(s.sig));
        if (s.reset) h.Press(Qt::Key_F8);
        EXPECT_EQ(h.Text("lRangeSignalPlus"), Pct(s.plus)) << s.sig;
        EXPECT_EQ(h.Text("lRangeSignalMinus"), Pct(s.minus)) << s.sig;
        EXPECT_DOUBLE_EQ(Upper()->X("serPPSignal"), s.upperBar) << s.sig;
        EXPECT_DOUBLE_EQ(Lower()->X("serMPBPSignal"), s.lowerBar) << s.sig;
        EXPECT_DOUBLE_EQ(Upper()->X("serMax"), s.max) << s.sig;
        EXPECT_DOUBLE_EQ(Lower()->X("serMin"), s.min) << s.sig;
    }
    EXPECT_DOUBLE_EQ(Upper()->X("serPP"), DefaultPP(10));
    EXPECT_DOUBLE_EQ(Lower()->X("serBP"), DefaultBP(10));
    for (const char* name : {"lRangeSignalMax", "lRangeSignalMin"}) {
        EXPECT_FALSE(h.Find<QWidget>(name)->isVisible()) << name;
        EXPECT_EQ(h.Text(name), Pct("0.0%")) << name;
    }
}

TEST_F(SettingsPage, NoAverageAndAModeOtherThanNormalReadAsNoDeviation) {
    Open(0);
    Signal(word::Signal(600));  // +20
    Signal(word::Signal(700), 0, 0);
    EXPECT_EQ(h.Text("lRangeSignalPlus"), Pct("0.0%"));
    EXPECT_DOUBLE_EQ(Upper()->X("serPPSignal"), 0);
    EXPECT_DOUBLE_EQ(Upper()->X("serMax"), 20);      // kept
    EXPECT_TRUE(Find<QTimer>("Timer")->isActive());  // polling goes on

    Signal(word::Signal(900), 1);  // after an alarm the signal reads the average
    EXPECT_EQ(h.Text("lRangeSignalPlus"), Pct("0.0%"));
    EXPECT_EQ(h.Text("lRangeSignalMinus"), Pct("0.0%"));
    EXPECT_DOUBLE_EQ(Lower()->X("serMPBPSignal"), 0);
    EXPECT_EQ(frame::Sig(h.Window().Core().Model().Word(1)), 500u);
}

TEST_F(SettingsPage, AFlagFillsItsMarkerAndIsDrawnAtOnce) {
    Open(0);
    Signal(word::Signal(590));
    Signal(word::Signal(600));                 // settled: the next word goes straight through
    h.Receive({word::Signal(650) | kPpFlag});  // at once, inside the redraw interval
    EXPECT_EQ(Upper()->Colour("serPP"), QColor(255, 0, 0));
    EXPECT_EQ(h.Text("lRangeSignalPlus"), Pct("30.0%"));
    h.Receive({word::Signal(640)});
    EXPECT_EQ(Upper()->Colour("serPP"), QColor(Qt::white));
    EXPECT_EQ(h.Text("lRangeSignalPlus"), Pct("30.0%"));  // held back again
}

TEST_F(SettingsPage, ManualDragsLowerThresholdsAlongUntilSplit) {
    Open(0, {word::Sens(3, 3), word::Zone(0, 10, 3)});
    EXPECT_EQ(Box("cbRegulRange")->currentText(), "Manual");
    EXPECT_EQ(Enabled({"cbDistRange", "chbSeparRange", "cbRangePP", "cbRangeMP", "cbRangeBP"}),
              (std::vector<bool>{false, true, true, false, false}));
    EXPECT_EQ(Focus(), "cbRegulRange");
    h.Press(Qt::Key_Tab);
    h.Press(Qt::Key_Tab);
    ASSERT_EQ(Focus(), "cbRangePP");
    h.Press(Qt::Key_Down);
    h.Press(Qt::Key_Down);
    EXPECT_EQ(Items({"cbRangePP", "cbRangeMP", "cbRangeBP"}), (std::vector<int>{5, 5, 5}));
    EXPECT_DOUBLE_EQ(Upper()->X("serPPnew"), DefaultPP(5));
    EXPECT_DOUBLE_EQ(Lower()->X("serMPnew"), DefaultMP(5));
    EXPECT_DOUBLE_EQ(Lower()->X("serBPnew"), DefaultBP(5));

    h.Press(Qt::Key_Backtab);
    h.Press(Qt::Key_Space);  // split
    EXPECT_EQ(Enabled({"cbRangeMP", "cbRangeBP"}), (std::vector<bool>{true, true}));
    h.Press(Qt::Key_Tab);
    h.Press(Qt::Key_Up);
    EXPECT_EQ(Items({"cbRangePP", "cbRangeMP", "cbRangeBP"}), (std::vector<int>{4, 5, 5}));
    h.Press(Qt::Key_Tab);
    h.Press(Qt::Key_Up);
    h.Press(Qt::Key_Up);  // back to the detector's own index: its marker hides
    EXPECT_FALSE(Lower()->PointVisible("serMPnew"));
    EXPECT_TRUE(Lower()->PointVisible("serBPnew"));
}

TEST_F(SettingsPage, AutoTakesTheZoneTablesIndexAndSpecialShowsSplitManual) {
    Open(0, {word::Sens(3, 3), word::Zone(0, 10, 3)});
    h.Press(Qt::Key_Up);  // Auto
    EXPECT_EQ(Focus(), "cbDistRange");
    const int i = DefaultDistSens(10);
    EXPECT_EQ(Items({"cbRangePP", "cbRangeMP", "cbRangeBP"}), (std::vector<int>{i, i, i}));
    EXPECT_EQ(Enabled({"cbDistRange", "chbSeparRange", "cbRangePP", "cbRangeMP", "cbRangeBP"}),
              (std::vector<bool>{true, false, false, false, false}));
    h.Press(Qt::Key_Down);  // 100 m
    const int j = DefaultDistSens(11);
    EXPECT_EQ(Items({"cbRangePP", "cbRangeMP", "cbRangeBP"}), (std::vector<int>{j, j, j}));
    EXPECT_DOUBLE_EQ(Lower()->X("serBPnew"), DefaultBP(j));

    h.Receive({word::Zone(1, 10, 3)});  // the detector runs Special
    h.Press(Qt::Key_Escape);
    EXPECT_EQ(Box("cbRegulRange")->currentText(), "Manual");
    EXPECT_TRUE(Find<QCheckBox>("chbSeparRange")->isChecked());
    EXPECT_EQ(Enabled({"cbDistRange", "chbSeparRange", "cbRangePP", "cbRangeMP", "cbRangeBP"}),
              (std::vector<bool>{false, true, true, true, true}));
    EXPECT_FALSE(Lower()->PointVisible("serBPnew"));  // Cancel hides the previews
}

TEST_F(SettingsPage, ApplySendsWhatThePageShowsInEachMethod) {
    Open(2);
    h.Press(Qt::Key_F4);  // Auto: the chosen zone, method 2
    const unsigned i = static_cast<unsigned>(DefaultDistSens(10));
    EXPECT_EQ(Pending(0), Command0(9, i, 0));
    EXPECT_EQ(Pending(1), Command1(i, i, 1));
    EXPECT_EQ(Pending(2), Command2(2, 1, 10, 2));
    h.Tick(30);

    h.Receive({word::Zone(0, 12)});
    h.Press(Qt::Key_Escape);  // Manual from the detector
    ASSERT_EQ(Focus(), "chbSeparRange");
    h.Press(Qt::Key_Tab);
    h.Press(Qt::Key_Down);  // PL 11, LL and HL along
    h.Press(Qt::Key_F4);
    EXPECT_EQ(Pending(0), Command0(9, 11, 0));
    EXPECT_EQ(Pending(1), Command1(11, 11, 1));
    EXPECT_EQ(Pending(2), Command2(2, 1, 12, 0));  // the detector's zone
    EXPECT_FALSE(Upper()->PointVisible("serPPnew"));
    h.Tick(30);

    h.Press(Qt::Key_Backtab);
    h.Press(Qt::Key_Space);  // split
    for (int k = 0; k < 3; ++k) h.Press(Qt::Key_Tab);
    ASSERT_EQ(Focus(), "cbRangeBP");
    h.Press(Qt::Key_Down);  // HL 12 alone
    h.Press(Qt::Key_F4);
    EXPECT_EQ(Pending(1), Command1(11, 12, 1));
    EXPECT_EQ(Pending(2), Command2(2, 1, 12, 1));
}

TEST_F(SettingsPage, F5SendsSpeedsAndLetterWithTheStoredZoneMethodAndThresholds) {
    Open(1, {word::Sens(10, 6), word::Zone(1, 17, 8)});
    EXPECT_EQ(Box("cbNewMinSpeed")->currentIndex(), 2);
    EXPECT_EQ(Box("cbNewLetter")->currentText(), "F2");
    EXPECT_EQ(Find<QComboBox>("cbNewAddress")->currentText(), "9");
    Box("cbNewLetter")->setCurrentIndex(3);
    Box("cbNewMaxSpeed")->setCurrentIndex(0);
    h.link.writes.clear();
    h.Press(Qt::Key_F5);
    EXPECT_FALSE(Pending(0));
    EXPECT_EQ(Pending(2), Command2(2, 0, 17, 1));
    EXPECT_EQ(Pending(1), Command1(6, 8, 3));
    h.Tick();
    ASSERT_EQ(h.link.writes.size(), 1u);
    EXPECT_EQ(frame::StatusWord(h.link.writes[0][0], h.link.writes[0][1]), Command1(6, 8, 3));

    auto* set = Find<QToolButton>("btnParamSet");
    EXPECT_EQ(set->text(), "Applay");
    EXPECT_EQ(set->toolTip(), "Apply device settings");
    EXPECT_FALSE(set->icon().isNull());
}

TEST_F(SettingsPage, ParamSetFollowsTheLinkAtTheDeveloperLevel) {
    Open(0, {}, "527");
    auto* set = Find<QToolButton>("btnParamSet");
    EXPECT_TRUE(set->isEnabled());
    h.LinkDown();
    EXPECT_FALSE(set->isEnabled());
}

TEST_F(SettingsPage, AlarmsCountOnThisPageWithItsOwnKeys) {
    Open(0);
    auto* count = h.Label("lTrvNumberRange");
    EXPECT_EQ(Find<QCheckBox>("chbSaveTrvRange")->layoutDirection(), Qt::RightToLeft);
    h.Press(Qt::Key_F6);
    h.Receive({word::State(1), word::Speed(0)});
    h.Receive({word::State(1), word::Speed(0)});  // the same alarm
    EXPECT_EQ(count->text(), "1");
    EXPECT_EQ(h.Text("lTrvNumberSense"), "0");
    h.Press(Qt::Key_F7);
    EXPECT_EQ(count->text(), "0");
}

}  // namespace
}  // namespace quillane::test
