#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

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
    const struct {
        std::string text;
        bool held;
    } cases[] = {{"      " + std::to_string(line.pid) + "\n", true},
                 {std::to_string(gone) + "\n", false},
                 {std::to_string(::getpid()) + "\n", false},
                 {"garbage\n", false}};
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
