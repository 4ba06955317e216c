#include <gtest/gtest.h>

#include "PtySandbox.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane {
namespace {

using test::Pty;
using test::PtySandbox;

TEST(SystemPortDirectoryTest, ListsPortsAscendingWithHeldAndBrokenOnesUnavailable) {
    PtySandbox sandbox;
    Pty free;
    Pty held;
    sandbox.Alias(9, free.name);
    sandbox.Alias(3, held.name);
    sandbox.Alias(5, "/nowhere/unplugged");
    SerialPort other;
    ASSERT_TRUE(other.Open(3, 57600));

    const auto entries = SystemPortDirectory(sandbox.DeviceRoot()).EnumerateComPorts();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].number, 3);
    EXPECT_FALSE(entries[0].available);
    EXPECT_EQ(entries[0].reason, "Device or resource busy (held by another program)");
    EXPECT_EQ(entries[1].number, 5);
    EXPECT_FALSE(entries[1].available);
    EXPECT_EQ(entries[1].reason, "No such file or directory");
    EXPECT_EQ(entries[1].device, "/nowhere/unplugged");
    EXPECT_EQ(entries[2].number, 9);
    EXPECT_TRUE(entries[2].available) << entries[2].reason;
    EXPECT_EQ(entries[2].reason, "");
    EXPECT_EQ(entries[2].device, free.name);

    // The probe let go of the free port and left the held one to its owner.
    SerialPort console;
    EXPECT_TRUE(console.Open(9, 57600)) << console.LastError();
    EXPECT_TRUE(other.IsOpen());
}

TEST(SystemPortDirectoryTest, StopsAt255Ports) {
    PtySandbox sandbox;
    for (int n = 1; n <= 300; ++n) sandbox.Alias(n, "/nowhere/adapter");
    const auto entries = SystemPortDirectory(sandbox.DeviceRoot()).EnumerateComPorts();
    ASSERT_EQ(entries.size(), 255u);
    EXPECT_EQ(entries.front().number, 1);
    EXPECT_EQ(entries.back().number, 255);
}

TEST(SystemPortDirectoryTest, SpoolerPortNamesGiveTheirComNumber) {
    const struct {
        const char* name;
        int number;
    } table[] = {{"COM1:", 1},     {"COM12:", 12}, {"com3", 3},  {"Com255", 255},
                 {"COM1234", 123}, {"COM7:x9", 7}, {"LPT1:", 0}, {"FILE:", 0},
                 {"CO", 0},        {"COM:", 0},    {"COMx1", 0}};
    for (const auto& row : table) {
        EXPECT_EQ(SystemPortDirectory::PortNumberFromName(row.name), row.number) << row.name;
    }
}

}  // namespace
}  // namespace quillane
