// The window with the real core and serial port, against a scripted detector
// on a pseudo-terminal reached through a port alias.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <vector>

#include "LabelText.h"
#include "PtySandbox.h"
#include "QtPrinters.h"
#include "StatusWords.h"
#include "console/ConsoleCore.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"
#include "os/SystemClock.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

// A sandbox whose port alias COM200 leads to a pseudo-terminal, and an empty
// device folder, so no real serial device is ever probed.
class PtyDetector {
public:
    PtyDetector() {
        if (!pty_.Ok()) return;
        pty_.MasterNonBlocking();
        sandbox_.Alias(200, pty_.name);
    }

    bool Ok() const { return pty_.Ok(); }
    QString SlaveName() const { return QString::fromLocal8Bit(pty_.name); }
    std::string DeviceRoot() const { return sandbox_.DeviceRoot(); }

    void Send(const std::vector<std::uint8_t>& frames) { ASSERT_TRUE(pty_.Send(frames)); }
    // Waits (on the line, not on a clock) until the console's side has input.
    bool ConsoleHasInput() const { return Pty::WaitReadable(pty_.slave); }
    std::vector<std::uint8_t> Received() const { return pty_.Drain(); }

private:
    PtySandbox sandbox_;
    Pty pty_;
};

TEST(ConsoleEndToEnd, FindsTheDetectorAndStopsItsCalibrationOnClose) {
    PtyDetector detector;
    ASSERT_TRUE(detector.Ok());
    SerialPort port;
    SystemPortDirectory ports(detector.DeviceRoot());
    SystemClock clock;
    TfmMain window(port, ports, clock);
    window.show();

    window.TimerTimer();  // first tick: lists COM200 and opens it
    auto* combo = window.findChild<QComboBox*>("cbComPort");
    ASSERT_EQ(combo->currentText(), "COM200");
    EXPECT_EQ(combo->toolTip(), detector.SlaveName());  // the device behind the alias
    ASSERT_TRUE(port.IsOpen());

    LinkUpSet calibrating;
    calibrating.state = word::State(2);
    detector.Send(Frames(calibrating.Words()));
    for (int i = 0; i < 50 && !window.Core().Linked(); ++i) {
        ASSERT_TRUE(detector.ConsoleHasInput());
        window.TimerTimer();
    }
    ASSERT_TRUE(window.Core().Linked());
    EXPECT_EQ(LabelText(window, "lModel"), "Korvel-TS");
    EXPECT_EQ(LabelText(window, "lLetter"), "F2");
    EXPECT_EQ(LabelText(window, "lAddress"), "9");
    EXPECT_EQ(LabelText(window, "lState"), "Calibration");
    EXPECT_EQ(LabelText(window, "lSpeed"), "0.3...6  m/s");
    EXPECT_EQ(LabelText(window, "lPower"), "14.5  V");
    EXPECT_EQ(LabelText(window, "lDist"), "90  m");
    // Found calibrating, it is kept so under the Calibration page: that run
    // of sends goes out first.
    for (int i = 0; i < 7; ++i) window.TimerTimer();

    // Closing runs the message loop, and so the poll timer, until the stop
    // command has had its seven sends; only then is the port closed.
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(port.IsOpen());
    const frame::Frame stop = frame::OutgoingFrame(frame::Command0(9, 10, 0));
    const std::vector<std::uint8_t> sent = detector.Received();
    ASSERT_GE(sent.size(), 7u * 4u);
    for (std::size_t i = sent.size() - 28; i < sent.size(); i += 4)
        EXPECT_TRUE(std::equal(stop.begin(), stop.end(), sent.begin() + static_cast<long>(i)));
    EXPECT_FALSE(window.Core().bCmdPending());
}

}  // namespace
}  // namespace quillane::test
