// The detector's answer where the installer looks, and the tooltip while the
// port is tried again: the wiring only; the rules are the core's.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSpinBox>

#include "ConsoleHarness.h"

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

}  // namespace
}  // namespace quillane::test
