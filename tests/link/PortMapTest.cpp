#include <gtest/gtest.h>

#include <fstream>

#include "PtySandbox.h"
#include "link/PortMap.h"

namespace quillane {
namespace {

using test::PtySandbox;

TEST(PortMapTest, NumbersMapOntoTheDeviceFamilies) {
    PtySandbox sandbox;  // no aliases
    const struct {
        int number;
        const char* device;
    } table[] = {{1, "/dev/ttyS0"},
                 {32, "/dev/ttyS31"},
                 {33, "/dev/ttyUSB0"},
                 {64, "/dev/ttyUSB31"},
                 {65, "/dev/ttyACM0"},
                 {96, "/dev/ttyACM31"},
                 {97, ""},
                 {0, ""},
                 {-1, ""},
                 {255, ""},
                 {256, ""}};
    for (const auto& row : table) {
        EXPECT_EQ(DevicePathForPort(row.number), row.device) << row.number;
    }
}

TEST(PortMapTest, AliasFolderFollowsXdgConfigHomeAndDefaultsToHomeConfig) {
    PtySandbox sandbox;
    EXPECT_EQ(PortAliasDirectory(), sandbox.AliasDir().string());
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/installer", 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PortAliasDirectory(), "/home/installer/.config/quillane/ports");
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(PortAliasDirectory(), "/home/installer/.config/quillane/ports");
    ::setenv("HOME", home.c_str(), 1);
}

TEST(PortMapTest, AnAliasTakesPrecedenceOverTheFamilyDevice) {
    PtySandbox sandbox;
    const std::string alias = sandbox.Alias(1, "/nowhere/adapter");  // dangling on purpose
    EXPECT_EQ(DevicePathForPort(1), alias);
    EXPECT_EQ(DevicePathForPort(2), "/dev/ttyS1");
    EXPECT_EQ(CandidatePortNumbers(sandbox.DeviceRoot()), std::vector<int>{1});
}

TEST(PortMapTest, CandidatesAreValidAliasNamesAndPresentFamilyDevicesAscending) {
    PtySandbox sandbox;
    std::filesystem::create_directories(sandbox.AliasDir());
    for (const char* name : {"COM0", "COM256", "COM01", "COMx", "com5", "COM", "COM7", "COM255"}) {
        std::filesystem::create_symlink("/nowhere", sandbox.AliasDir() / name);
    }
    const std::filesystem::path devices = sandbox.DeviceRoot();
    for (const char* device : {"ttyUSB2", "ttyS0", "ttyACM31", "ttyACM32", "ttyS", "ttyS07"}) {
        std::ofstream(devices / device) << "";
    }
    // A device link counts while it leads somewhere.
    std::filesystem::create_symlink(devices / "ttyS0", devices / "ttyACM1");
    std::filesystem::create_symlink("/nowhere", devices / "ttyUSB5");
    EXPECT_EQ(CandidatePortNumbers(sandbox.DeviceRoot()),
              (std::vector<int>{1, 7, 35, 66, 96, 255}));
    EXPECT_EQ(DevicePathForPort(255), (sandbox.AliasDir() / "COM255").string());  // the last
    EXPECT_EQ(DevicePathForPort(256), "");
    EXPECT_EQ(DevicePathForPort(35, sandbox.DeviceRoot()), sandbox.DeviceRoot() + "/ttyUSB2");
}

}  // namespace
}  // namespace quillane
