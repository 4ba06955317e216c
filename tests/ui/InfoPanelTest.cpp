// The info panel and the note as the detector's words fill them.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTabWidget>

#include "ConsoleHarness.h"
#include "model/Conversions.h"
#include "ui/TfmMain.h"

namespace quillane::test {
namespace {

QColor Background(QLabel* l) { return l->palette().color(QPalette::Window); }
QColor Foreground(QLabel* l) { return l->palette().color(QPalette::WindowText); }

TEST(InfoPanel, ShowsDashesWhileWaiting) {
    ConsoleHarness h;
    for (const char* name :
         {"lModel", "lProg", "lLetter", "lDist", "lAver", "lSens", "lRegul", "lSpeed", "lPower"})
        EXPECT_EQ(h.Text(name), "---") << name;
    EXPECT_EQ(h.Text("lAddress"), "");
    EXPECT_EQ(h.Text("lState"), "");
    EXPECT_FALSE(h.Label("lAddressLabel")->isVisible());
}

TEST(InfoPanel, FillsAfterTheFullSet) {
    ConsoleHarness h;
    h.LinkUp();
    EXPECT_EQ(h.Text("lModel"), "Korvel-TS");
    EXPECT_EQ(h.Text("lProg"), "3");
    EXPECT_EQ(h.Text("lLetter"), "F2");
    EXPECT_EQ(h.Text("lAddress"), "9");
    EXPECT_TRUE(h.Label("lAddressLabel")->isVisible());
    EXPECT_EQ(h.Text("lState"), "Normal");
    EXPECT_EQ(h.Text("lSpeed"), "0.3...6  m/s");
    EXPECT_EQ(h.Text("lPower"), "14.5  V");
    EXPECT_EQ(h.Text("lDist"), "90  m");
    EXPECT_EQ(h.Text("lRegul"), "Manual");
    EXPECT_EQ(h.Text("lSens"), "80  %");  // senspp 10 of the code-3 word
    EXPECT_TRUE(h.Text("lAver").endsWith("  mV"));
}

TEST(InfoPanel, HidesTheAddressForModelsWithoutOne) {
    ConsoleHarness h;
    h.LinkUp();
    h.Receive({word::Identity(1, 3, 1, 9)});
    EXPECT_EQ(h.Text("lModel"), "Korvel");
    EXPECT_FALSE(h.Label("lAddressLabel")->isVisible());
    EXPECT_EQ(h.Text("lAddress"), "");
}

TEST(InfoPanel, SpecialSetupHasNoSensitivityAndAutoTakesTheZoneTable) {
    ConsoleHarness h;
    h.LinkUp();
    h.Receive({word::Zone(1, 12)});
    EXPECT_EQ(h.Text("lRegul"), "Special");
    EXPECT_EQ(h.Text("lSens"), "---");
    h.Receive({word::Zone(3, 12)});
    EXPECT_EQ(h.Text("lRegul"), "Auto");
    EXPECT_EQ(h.Text("lSens"),
              QString::number(SensToPercent(DefaultDistSens(12))) + QStringLiteral("  %"));
    EXPECT_EQ(h.Text("lDist"), "110  m");
}

struct StateColourCase {
    unsigned state;
    const char* text;
    QColor background, foreground;
};
void PrintTo(const StateColourCase& c, std::ostream* os) { *os << c.text; }

class StateColours : public ::testing::TestWithParam<StateColourCase> {};

TEST_P(StateColours, PaintTheModeLabel) {
    const StateColourCase& c = GetParam();
    ConsoleHarness h;
    h.LinkUp();
    h.Receive({word::State(c.state), word::Speed(0)});
    QLabel* l = h.Label("lState");
    EXPECT_EQ(l->text(), c.text);
    EXPECT_EQ(Background(l), c.background);
    EXPECT_EQ(Foreground(l), c.foreground);
    EXPECT_TRUE(l->autoFillBackground());
}

INSTANTIATE_TEST_SUITE_P(
    ByState, StateColours,
    ::testing::Values(StateColourCase{0, "Normal", QColor(0, 128, 0), Qt::white},
                      StateColourCase{1, "Alarm", QColor(255, 0, 0), Qt::white},
                      StateColourCase{2, "Calibration", QColor(0, 255, 0), Qt::black},
                      StateColourCase{3, "Malfunction", QColor(255, 255, 0), Qt::black},
                      StateColourCase{5, "Unknown-5", Qt::black, Qt::black}));

TEST(InfoPanel, TheModeGoesBackToButtonFaceWhenTheLinkIsLost) {
    ConsoleHarness h;
    h.LinkUp(1);
    h.LinkDown();
    QLabel* l = h.Label("lState");
    EXPECT_EQ(l->text(), "");
    EXPECT_EQ(Background(l), h.Window().palette().color(QPalette::Button));
    EXPECT_EQ(Foreground(l), h.Window().palette().color(QPalette::WindowText));
    EXPECT_EQ(h.Text("lModel"), "---");
    EXPECT_EQ(h.Text("lAddress"), "");
}

// The window copies the line's figures into the tooltip of the "Mode:" row
// from its tick, at most four times a second.
TEST(InfoPanel, ModeTooltipFollowsTheLineAFewTimesASecond) {
    ConsoleHarness h;
    const QString waiting =
        "Frames per second: 0\nFrames with a bad checksum: 0\nLast frame: none yet";
    EXPECT_EQ(h.Label("lStateCaption")->toolTip(), waiting);
    h.LinkUp();
    EXPECT_EQ(h.Label("lState")->toolTip(), waiting) << "not again within a quarter second";
    h.clock.Advance(0.3);
    h.Tick();
    for (const char* name : {"lStateCaption", "lState"}) {
        EXPECT_EQ(h.Label(name)->toolTip(),
                  "Frames per second: 0\nFrames with a bad checksum: 0\nLast frame: 0.3  s ago")
            << name;
    }
}

TEST(InfoPanel, TheSignalLevelIsDashedOnTheCalibrationPage) {
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F2);
    h.Receive({word::State(2, 700), word::Speed(0)});
    EXPECT_EQ(h.Text("lAver"), "---");
}

// ---- the note ----

class LowPowerNote : public ::testing::TestWithParam<int> {};

TEST_P(LowPowerNote, AppearsOnEveryPage) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("527");
    h.Window().findChild<QTabWidget*>("pcMain")->setCurrentIndex(GetParam());
    h.Receive({word::Speed(3)});
    EXPECT_EQ(h.Note(), "Warning: Low power level !");
}

INSTANTIATE_TEST_SUITE_P(AllPages, LowPowerNote, ::testing::Values(0, 1, 2, 3, 4));

TEST(Note, WalkTestHintOnTheSetupPageInNormalState) {
    ConsoleHarness h;
    h.LinkUp();
    ASSERT_EQ(h.CurrentPage(), "tsSense");
    h.Receive({word::Speed(0)});
    EXPECT_EQ(h.Note(),
              "Walk test the perimeter\nCheck for alarms\nIf necessary, change the sensitivity");
}

}  // namespace
}  // namespace quillane::test
