#include <gtest/gtest.h>

#include "link/SerialPort.h"

namespace quillane {
namespace {

// The same on Linux and on Windows: a port that was never opened touches no
// device.
TEST(ClosedSerialPort, ReadsAndWritesNothing) {
    SerialPort port;
    std::uint8_t byte = 0x55;
    EXPECT_EQ(port.Read(&byte, 1), 0);
    EXPECT_EQ(port.Write(&byte, 1), 0);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace quillane
