#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "CookedLine.h"
#include "CoreFixture.h"
#include "LinkSandbox.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane::test {
namespace {

namespace fs = std::filesystem;

// A detector on the master side of a pseudo-terminal, reached by the console
// through the port alias COM42 in a throw-away configuration folder.
class PtyEndToEndTest : public ::testing::Test {
protected:
    static constexpr int kPort = 42;

    PtyEndToEndTest() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) savedXdg_ = old;
        setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        const fs::path aliases = dir_.File("config/quillane/ports");
        fs::create_directories(aliases);
        fs::create_symlink(name, aliases / ("COM" + std::to_string(kPort)));
        PortEntry entry;
        entry.number = kPort;
        entry.available = true;
        ports_.entries = {entry};
    }
    ~PtyEndToEndTest() override {
        port_.Close();
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
        if (savedXdg_.empty()) {
            unsetenv("XDG_CONFIG_HOME");
        } else {
            setenv("XDG_CONFIG_HOME", savedXdg_.c_str(), 1);
        }
    }

    void DetectorSends(const Bytes& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the console has written so far.
    void Collect() {
        std::uint8_t chunk[256];
        for (ssize_t n; (n = read(master_, chunk, sizeof chunk)) > 0;)
            received_.insert(received_.end(), chunk, chunk + n);
    }
    // Ticks like the window's 1 ms timer until `done` holds; the bound only
    // keeps a broken build from hanging, nothing is timed.
    template <typename Done>
    void TickUntil(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < limit) {
            ASSERT_TRUE(core_.TimerTimer());
            pollfd p{master_, POLLIN, 0};
            poll(&p, 1, 1);
            Collect();
        }
    }

    TempDir dir_;
    std::string savedXdg_;
    int master_ = -1;
    int slave_ = -1;
    SerialPort port_;
    FakePortDirectory ports_;
    FakeClock clock_;
    ExchangeLog log_{clock_, dir_.File("Quillane.log")};
    RecordingView view_;
    ConsoleCore core_{port_, ports_, clock_, log_, view_};
    Bytes received_;
};

TEST_F(PtyEndToEndTest, DetectorInSetupMethodThreeReceivesItsDefaults) {
    ASSERT_GE(master_, 0);
    core_.SetDistSens([](int zone) { return zone / 2 + 1; });
    ASSERT_TRUE(core_.TimerTimer()) << port_.LastError();  // first tick opens COM42
    ASSERT_TRUE(port_.IsOpen());

    DetectorSends(FullSet());
    TickUntil([&] { return core_.eDeviceState() == EDevDetect; });
    ASSERT_EQ(core_.eDeviceState(), EDevDetect);
    TickUntil([&] { return !core_.bCmdPending() && received_.size() >= 84; });
    for (int i = 0; i < 20; ++i) core_.TimerTimer();  // nothing more goes out
    pollfd p{master_, POLLIN, 0};
    poll(&p, 1, 20);
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
    LinkSandbox sandbox;
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
    EXPECT_EQ(view.notes.back(), "Cannot open selected COM port !!!");
    EXPECT_EQ(view.portProblem,
              "COM201: in use by line-holder (pid " + std::to_string(line.pid) + ")");
    EXPECT_TRUE(line.Untouched());
}

}  // namespace
}  // namespace quillane::test
