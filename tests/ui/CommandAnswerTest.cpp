// The detector's answer where the installer looks, and the tooltip while the
// port is tried again: the wiring only; the rules are the core's.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSpinBox>

#include "ConsoleHarness.h"
#include "console/ConsoleCore.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

TEST(CommandAnswer, ApplyShowsTheAnswerBesideItsButtonAndTheModeTooltipTheRetries) {
    ConsoleHarness h;
    h.LinkUp();  // Setup is in view, loaded with what the detector reports
    h.Press(Qt::Key_F4);
    EXPECT_EQ(h.Text("lSenseAnswer"), "checking ...");
    h.Tick(21);
    h.LinkUp();  // the detector reports what the Apply sent: the values it had
    EXPECT_EQ(h.Text("lSenseAnswer"), QString::fromUtf8("\u2713 taken"));
    EXPECT_EQ(h.Text("lStateAnswer"), "");
    // A value not yet applied: the mark no longer stands for the fields.
    h.Find<QSpinBox>("speSense")->stepUp();
    EXPECT_EQ(h.Text("lSenseAnswer"), "");

    h.link.gone = true;
    h.Tick();
    EXPECT_EQ(h.Label("lState")->toolTip(), "Reconnecting to COM7 ...");
}

// F2 and F3 20 ms apart, against a detector that takes each mode word at
// once and reports its mode every 100 ms: the start that a stop followed is
// not judged, and the mark under the mode never says it was not taken.
TEST(CommandAnswer, QuickPageKeysLeaveNoFalseMarkUnderTheMode) {
    ConsoleHarness h;
    h.LinkUp();
    bool calibrating = false;
    QStringList marks;
    for (int ms = 0; ms < 3000; ++ms) {
        if (ms < 160 && ms % 20 == 0) h.Press(ms % 40 == 0 ? Qt::Key_F2 : Qt::Key_F3);
        h.clock.Advance(0.001);
        if (ms % 100 == 0) {
            h.link.Feed(word::State(calibrating ? 2 : 0));
            h.link.Feed(word::Sens(10, 10));
        }
        h.Tick();
        h.Window().Core().Watch();  // the answer times, as the window's timer runs them
        for (const Bytes& out : h.link.writes)
            if (frame::CommandCode(frame::StatusWord(out[0], out[1])) == 0)
                calibrating = frame::CmdState(frame::StatusWord(out[0], out[1])) == 1;
        h.link.writes.clear();
        if (marks.isEmpty() || marks.back() != h.Text("lStateAnswer"))
            marks << h.Text("lStateAnswer");
    }
    ASSERT_FALSE(calibrating);
    EXPECT_EQ(h.CurrentPage(), "tsSense");
    EXPECT_FALSE(marks.join("|").contains(QString::fromUtf8("\u2717")))
        << marks.join("|").toStdString();
    EXPECT_EQ(marks.back(), QString::fromUtf8("\u2713 taken"));
}

}  // namespace
}  // namespace quillane::test
