// A cable pulled and put back on the Calibration page: the selector names the
// device linked now, and aiming goes on. The rules are the core's; the watch
// is run by hand here, as the window's timer runs it.
#include <gtest/gtest.h>

#include <QComboBox>

#include "ConsoleHarness.h"
#include "console/ConsoleCore.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

TEST(Reconnect, AimingGoesOnAfterACablePull) {
    ConsoleHarness h;
    auto* combo = h.Find<QComboBox>("cbComPort");
    ASSERT_EQ(combo->toolTip(), "/dev/fake7");
    h.LinkUp();
    h.Press(Qt::Key_F2);
    h.Tick(30);
    h.Receive({word::State(2)});
    h.link.gone = true;
    h.Tick();
    ASSERT_FALSE(h.link.IsOpen());
    h.ports.entries = {{3, true, "/dev/fake3", ""}, {7, true, "/dev/pts/5", ""}};
    h.clock.Advance(1.0);
    h.Window().Core().Watch();  // the device is back, behind the same alias
    ASSERT_TRUE(h.link.IsOpen());
    EXPECT_EQ(combo->toolTip(), "/dev/pts/5");
    h.LinkUp();  // found again, out of calibration after the loss
    EXPECT_EQ(h.CurrentPage(), "tsTuneUp");
    EXPECT_EQ(h.Window().Core().PendingCommand(0), frame::Command0(9, 10, 1));
    EXPECT_EQ(h.Note(), "Adjust the detectors in horizontal and vertical axis");
}

}  // namespace
}  // namespace quillane::test
