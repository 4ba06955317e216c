#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <functional>

#include "CookedLine.h"
#include "PtySandbox.h"
#include "link/DeviceUsers.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane {
namespace {

using test::CookedLine;
using test::PtySandbox;

constexpr int kPort = 201;

std::vector<PortEntry> ListPorts(const PtySandbox& sandbox) {
    return SystemPortDirectory(sandbox.DeviceRoot()).EnumerateComPorts();
}

// A child process that runs `take` (opens a device, say), tells whether it
// went, and holds on until it is killed, at the latest with this object.
class Holder {
public:
    explicit Holder(const std::function<bool()>& take) {
        int told[2];
        if (::pipe(told) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            const char ok = take() ? 'y' : 'n';
            ::write(told[1], &ok, 1);
            for (;;) ::pause();
        }
        ::close(told[1]);
        char ok = 0;
        took_ = ::read(told[0], &ok, 1) == 1 && ok == 'y';
        ::close(told[0]);
    }
    ~Holder() { Kill(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool Took() const { return took_; }
    void Kill() {
        if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    bool took_ = false;
};

TEST(HeldPort, AnotherProgramsLineIsNotListedNotOpenedAndNotTouched) {
    PtySandbox sandbox;
    CookedLine line(CookedLine::kHolder);
    sandbox.Alias(kPort, line.name);
    ASSERT_GT(line.UnreadAtStart(), 0);
    const std::string reason = "in use by line-holder (pid " + std::to_string(line.pid) + ")";

    const auto entries = ListPorts(sandbox);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].available);
    EXPECT_EQ(entries[0].reason, reason);
    SerialPort port;
    EXPECT_FALSE(port.Open(kPort, 57600));
    EXPECT_EQ(port.LastError(), reason);

    EXPECT_TRUE(line.Untouched());
    EXPECT_EQ(line.ReadLine(), CookedLine::kUnread);
}

// A free line, and the virtual detector's: the process holding a
// pseudo-terminal's master is its far end, not a holder.
TEST(HeldPort, FreeLinesAreListedAndTheProbeLeavesThemAsItFoundThem) {
    for (auto holder : {CookedLine::kNobody, CookedLine::kHolderWithFarEnd}) {
        PtySandbox sandbox;
        CookedLine line(holder);
        sandbox.Alias(kPort, line.name);
        const auto entries = ListPorts(sandbox);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_TRUE(entries[0].available) << entries[0].reason;
        EXPECT_TRUE(line.Untouched()) << holder;
    }
}

TEST(HeldPort, AnExclusiveFlagOfAnotherProgramHoldsThePortEvenForRoot) {
    PtySandbox sandbox;
    CookedLine line(CookedLine::kNobody);
    sandbox.Alias(kPort, line.name);
    ASSERT_EQ(::ioctl(line.slave, TIOCEXCL), 0);
    const auto entries = ListPorts(sandbox);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].reason, "Device or resource busy (held by another program)");
    SerialPort port;
    EXPECT_FALSE(port.Open(kPort, 57600));
    EXPECT_TRUE(line.Exclusive());
    ::ioctl(line.slave, TIOCNXCL);
}

// The line's far end (a bridge, a network serial server; here the test)
// keeps the pseudo-terminal alive after a console holding it was killed:
// nothing of that console may keep the next one out.
TEST(HeldPort, AConsoleKilledOnAPseudoTerminalLeavesItFree) {
    PtySandbox sandbox;
    test::Pty line;
    ASSERT_TRUE(line.Ok());
    sandbox.Alias(kPort, line.name);
    Holder console([] {
        static SerialPort port;
        return port.Open(kPort, 57600);
    });
    ASSERT_TRUE(console.Took());
    console.Kill();
    const auto entries = ListPorts(sandbox);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].available) << entries[0].reason;
    SerialPort next;
    EXPECT_TRUE(next.Open(kPort, 57600)) << next.LastError();
}

// Every shell has /dev/null open: an alias to it is no serial port, not a
// port another program holds.
TEST(HeldPort, AnAliasToANonSerialDeviceSaysSo) {
    PtySandbox sandbox;
    sandbox.Alias(kPort, "/dev/null");
    const Holder shell([] { return ::open("/dev/null", O_RDWR) >= 0; });
    ASSERT_TRUE(shell.Took());
    const auto entries = ListPorts(sandbox);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].reason, "Not a serial device");
    SerialPort port;
    EXPECT_FALSE(port.Open(kPort, 57600));
    EXPECT_EQ(port.LastError(), "Not a serial device");
}

TEST(HeldPort, OnlyALockFileOfARunningProcessHoldsThePort) {
    PtySandbox sandbox;
    CookedLine line(CookedLine::kHolder);
    const std::string alias = sandbox.Alias(kPort, line.name);
    const std::string lockDir = (sandbox.Root() / "lock").string();
    std::filesystem::create_directories(lockDir);
    const std::string lockFile =
        lockDir + "/LCK.." + std::filesystem::path(line.name).filename().string();
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    // The binary form older tools write: the id as a 4-byte int.
    const auto binary = [](pid_t pid) {
        const std::int32_t id = pid;
        return std::string(reinterpret_cast<const char*>(&id), sizeof id);
    };
    const struct {
        std::string text;
        bool held;
    } cases[] = {{"      " + std::to_string(line.pid) + "\n", true},
                 {std::to_string(gone) + "\n", false},
                 {std::to_string(::getpid()) + "\n", false},
                 {"garbage\n", false},
                 {binary(line.pid), true},
                 {binary(gone), false},
                 {binary(::getpid()), false}};
    for (const auto& c : cases) {
        std::ofstream(lockFile) << c.text;
        PortHolder holder;
        EXPECT_EQ(UucpLockHolder(alias, {"/nonexistent", lockDir}, &holder), c.held) << c.text;
        if (c.held) {
            EXPECT_EQ(holder.program, "line-holder");
        }
    }
}

}  // namespace
}  // namespace quillane
