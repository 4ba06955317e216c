#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <fstream>

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
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t console = ::fork();
    if (console == 0) {
        SerialPort port;
        const char opened = port.Open(kPort, 57600) ? 'y' : 'n';
        ::write(ready[1], &opened, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char opened = 0;
    const ssize_t told = ::read(ready[0], &opened, 1);
    ::close(ready[0]);
    ::kill(console, SIGKILL);
    ::waitpid(console, nullptr, 0);
    ASSERT_EQ(told, 1);
    ASSERT_EQ(opened, 'y');

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
    int ready[2], hold[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(hold[1]);  // the test's end: its closing is the signal to go
        const int null = ::open("/dev/null", O_RDWR);
        ::write(ready[1], "r", 1);
        char c = 0;
        ::read(hold[0], &c, 1);
        ::_exit(null >= 0 ? 0 : 1);
    }
    char c = 0;
    const ssize_t told = ::read(ready[0], &c, 1);
    const auto entries = ListPorts(sandbox);
    SerialPort port;
    const bool opened = port.Open(kPort, 57600);
    for (int fd : {ready[0], ready[1], hold[0], hold[1]}) ::close(fd);
    ::waitpid(holder, nullptr, 0);
    ASSERT_EQ(told, 1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].reason, "Not a serial device");
    EXPECT_FALSE(opened);
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
