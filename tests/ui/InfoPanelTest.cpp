// The info panel and the note as the detector's words fill them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTabWidget>

#include "ConsoleHarness.h"
#include "console/ConsoleCore.h"
#include "console/pages/StatusDisplay.h"
#include "model/NumberFormat.h"
#include "ui/widgets/ColourKit.h"
#include "ui/window/TfmMain.h"

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

// Which state gets which colours is the core's table; here only that the
// colours reach the label.
TEST(InfoPanel, TheModeLabelIsPaintedInTheStateColours) {
    ConsoleHarness h;
    h.LinkUp();
    h.Receive({word::State(1), word::Speed(0)});
    QLabel* l = h.Label("lState");
    const StateDisplay d =
        DetectorStateValues(h.Window().Core().Model(), h.Window().ActivePage(), NumberFormat());
    EXPECT_EQ(l->text(), QString::fromStdString(d.state));
    EXPECT_EQ(Background(l), ToQColor(d.background));
    EXPECT_EQ(Foreground(l), ToQColor(d.text));
    EXPECT_TRUE(l->autoFillBackground());
}

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
// from its passes, at most four times a second, and as the tooltip shows.
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
    // A silent line brings no pass: the tooltip takes the figures as it shows.
    h.clock.Advance(2.0);
    QHelpEvent show(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QCoreApplication::sendEvent(h.Label("lState"), &show);
    EXPECT_TRUE(h.Label("lStateCaption")->toolTip().endsWith("Last frame: 2.3  s ago"));
}

TEST(InfoPanel, TheSignalLevelIsDashedOnTheCalibrationPage) {
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F2);
    h.Receive({word::State(2, 700), word::Speed(0)});
    EXPECT_EQ(h.Text("lAver"), "---");
}

// ---- the note ----

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
