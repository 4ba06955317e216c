// Closing the window: the calibration-off command goes out before the port
// closes, within a bounded wait that a second close cannot restart.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "ConsoleHarness.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

// How many whole frames of `w` the console wrote.
int FramesOf(const FakeLink& link, frame::Word w) {
    const frame::Frame f = frame::OutgoingFrame(w);
    const Bytes written = link.Written();
    int n = 0;
    for (std::size_t i = 0; i + 4 <= written.size(); i += 4)
        if (std::equal(f.begin(), f.end(), written.begin() + static_cast<long>(i))) ++n;
    return n;
}

const frame::Word kStop = frame::Command0(9, 10, 0);  // adr 9, senspp 10, state 0

// Found calibrating, kept so by the Calibration page's start, which has gone out.
void LinkUpCalibrating(ConsoleHarness& h) {
    h.LinkUp(2);
    h.Tick(7);
    h.link.writes.clear();
}

TEST(Shutdown, ClosingInCalibrationSendsTheStopCommandBeforeThePortCloses) {
    ConsoleHarness h;
    LinkUpCalibrating(h);
    int sendsWhenClosed = -1;
    h.clock.onSleep = [&] {
        h.Tick();
        if (!h.link.IsOpen() && sendsWhenClosed < 0) sendsWhenClosed = FramesOf(h.link, kStop);
    };
    const int closesBefore = h.link.closeCount;

    EXPECT_TRUE(h.Window().close());

    EXPECT_EQ(FramesOf(h.link, kStop), 7);
    EXPECT_EQ(h.link.Written().size(), 7u * 4u);
    EXPECT_EQ(sendsWhenClosed, -1);  // the port was open for every send
    EXPECT_FALSE(h.link.IsOpen());
    EXPECT_EQ(h.link.closeCount, closesBefore + 1);
    EXPECT_EQ(h.Note(), "");
}

TEST(Shutdown, ASecondCloseDuringTheWaitIsIgnored) {
    ConsoleHarness h;
    LinkUpCalibrating(h);
    int ticks = 0;
    bool secondAccepted = true;
    h.clock.onSleep = [&] {
        if (++ticks == 2) {
            // As the window system delivers a second click on the close box.
            QCloseEvent again;
            QCoreApplication::sendEvent(&h.Window(), &again);
            secondAccepted = again.isAccepted();
        }
        h.Tick();
    };

    EXPECT_TRUE(h.Window().close());

    EXPECT_FALSE(secondAccepted);
    EXPECT_EQ(FramesOf(h.link, kStop), 7);  // one wait, one run of sends
    EXPECT_FALSE(h.link.IsOpen());
}

// The detector still reports Normal, but a start is on its way to it.
TEST(Shutdown, ClosingWithAStartOnItsWayTakesTheDetectorOutAgain) {
    ConsoleHarness h;
    h.LinkUp(0);
    h.Press(Qt::Key_F2);
    h.Tick(3);
    h.clock.onSleep = [&] { h.Tick(); };
    EXPECT_TRUE(h.Window().close());
    EXPECT_EQ(FramesOf(h.link, kStop), 4);  // the rest of the start's run
    EXPECT_EQ(h.link.writes.size(), 7u);
}

TEST(Shutdown, ClosingInAnyOtherModeClosesAtOnce) {
    ConsoleHarness h;
    h.LinkUp(0);
    const double start = h.clock.mono;
    EXPECT_TRUE(h.Window().close());
    EXPECT_EQ(h.clock.mono, start);
    EXPECT_TRUE(h.link.writes.empty());
    EXPECT_FALSE(h.link.IsOpen());
}

}  // namespace
}  // namespace quillane::test
