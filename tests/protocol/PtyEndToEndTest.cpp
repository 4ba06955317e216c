#include <gtest/gtest.h>

#include <chrono>

#include "CookedLine.h"
#include "CoreFixture.h"
#include "PtySandbox.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane::test {
namespace {

// A detector on the master side of a pseudo-terminal, reached by the console
// through the port alias COM42 in a throw-away configuration folder.
class PtyEndToEndTest : public ::testing::Test {
protected:
    static constexpr int kPort = 42;

    PtyEndToEndTest() {
        if (!pty_.Ok()) return;
        pty_.MasterNonBlocking();
        sandbox_.Alias(kPort, pty_.name);
        PortEntry entry;
        entry.number = kPort;
        entry.available = true;
        ports_.entries = {entry};
    }
    ~PtyEndToEndTest() override { port_.Close(); }

    void DetectorSends(const Bytes& bytes) { ASSERT_TRUE(pty_.Send(bytes)); }
    // What the console has written so far.
    void Collect() { received_ = Join(received_, pty_.Drain()); }
    // Ticks like the window's 1 ms timer until `done` holds; the bound only
    // keeps a broken build from hanging, nothing is timed.
    template <typename Done>
    void TickUntil(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < limit) {
            ASSERT_TRUE(core_.TimerTimer());
            Pty::WaitReadable(pty_.master, 1);
            Collect();
        }
    }

    PtySandbox sandbox_;
    Pty pty_;
    SerialPort port_;
    FakePortDirectory ports_;
    FakeClock clock_;
    ExchangeLog log_{clock_, sandbox_.Root().string() + "/Quillane.log"};
    RecordingView view_;
    ConsoleCore core_{port_, ports_, clock_, log_, view_};
    Bytes received_;
};

TEST_F(PtyEndToEndTest, DetectorInSetupMethodThreeReceivesItsDefaults) {
    ASSERT_TRUE(pty_.Ok());
    core_.SetDistSens([](int zone) { return zone / 2 + 1; });
    ASSERT_TRUE(core_.TimerTimer()) << port_.LastError();  // first tick opens COM42
    ASSERT_TRUE(port_.IsOpen());

    DetectorSends(FullSet());
    TickUntil([&] { return core_.eDeviceState() == EDevDetect; });
    ASSERT_EQ(core_.eDeviceState(), EDevDetect);
    TickUntil([&] { return !core_.bCmdPending() && received_.size() >= 84; });
    for (int i = 0; i < 20; ++i) core_.TimerTimer();  // nothing more goes out
    Pty::WaitReadable(pty_.master, 20);
    Collect();

    Bytes expected;
    for (const Bytes& frame : {Bytes{0x09, 0x8B, 0x09, 0x8B}, Bytes{0x2B, 0xAB, 0x2B, 0xAB},
                               Bytes{0x4D, 0xD4, 0x4D, 0xD4}})
        for (int i = 0; i < 7; ++i) expected = Join(expected, frame);
    EXPECT_EQ(received_, expected);
}

// A login prompt's line on COM201: the console neither lists it nor, when
// it is chosen all the same, takes it, and says why.
TEST(HeldPortEndToEnd, IsRefusedWithTheNoteAndTheReason) {
    PtySandbox sandbox;
    CookedLine line(CookedLine::kHolder);
    sandbox.Alias(201, line.name);
    SerialPort port;
    SystemPortDirectory ports(sandbox.DeviceRoot());
    FakeClock clock;
    ExchangeLog log(clock, "");
    RecordingView view;
    ConsoleCore core(port, ports, clock, log, view);

    EXPECT_FALSE(core.TimerTimer());
    EXPECT_TRUE(view.items.empty());
    EXPECT_EQ(view.portProblem, "No free serial port:\nCOM201 (" + std::string(line.name) +
                                    "): in use by line-holder (pid " + std::to_string(line.pid) +
                                    ")");
    view.selected = "COM201";
    EXPECT_FALSE(core.cbComPortChange());
    EXPECT_EQ(view.LastNote(), "Cannot open selected COM port !!!");
    EXPECT_EQ(view.portProblem,
              "COM201: in use by line-holder (pid " + std::to_string(line.pid) + ")");
    EXPECT_TRUE(line.Untouched());
}

}  // namespace
}  // namespace quillane::test
