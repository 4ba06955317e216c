#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "CookedLine.h"
#include "PtySandbox.h"
#include "link/PortReasons.h"
#include "link/SerialPort.h"

namespace quillane {
namespace {

using test::Pty;
using test::PtySandbox;

constexpr int kPort = 201;  // beyond the device families: only the alias reaches it

// Collects what `read` gives while pollFd has input, up to `count` bytes; stops
// early if the line stays quiet or a read comes back empty.
template <typename ReadFn>
std::vector<std::uint8_t> Collect(int pollFd, size_t count, ReadFn read) {
    std::vector<std::uint8_t> got;
    std::uint8_t buffer[64];
    while (got.size() < count && Pty::WaitReadable(pollFd)) {
        const int n = read(buffer, static_cast<int>(sizeof(buffer)));
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { sandbox_.Alias(kPort, pty_.name); }
    PtySandbox sandbox_;
    Pty pty_;
};

TEST_F(SerialPortTest, PortsThatDoNotOpenGiveAReasonAndReadNothing) {
    sandbox_.Alias(202, (sandbox_.Root() / "unplugged").string());
    std::ofstream(sandbox_.Root() / "plain-file") << "not a line";
    sandbox_.Alias(203, (sandbox_.Root() / "plain-file").string());
    struct Case {
        int number;
        int baud;
        const char* reason;
    } cases[] = {{0, 57600, "COM0 maps to no device"},
                 {250, 57600, "COM250 maps to no device"},
                 {202, 57600, "No such file or directory"},
                 {203, 57600, "Not a serial device"},
                 {kPort, 12345, "Unsupported baud rate 12345"}};
    for (const Case& c : cases) {
        SerialPort port;
        std::uint8_t byte = 0;
        EXPECT_FALSE(port.Open(c.number, c.baud)) << c.number;
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.LastError(), c.reason) << c.number;
        EXPECT_EQ(port.Read(&byte, 1), 0);
    }
}

TEST_F(SerialPortTest, OpeningTwiceSucceedsBothTimes) {
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600)) << port.LastError();
    EXPECT_TRUE(port.Open(kPort, 57600)) << port.LastError();
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortTest, SecondPortIsRefusedWhileTheFirstHoldsTheLine) {
    SerialPort first;
    SerialPort second;
    ASSERT_TRUE(first.Open(kPort, 57600));
    EXPECT_FALSE(second.Open(kPort, 57600));
    EXPECT_EQ(second.LastError(), "Device or resource busy (held by another program)");
    // The refused open must not take the holder's lock away with it.
    EXPECT_FALSE(second.Open(kPort, 57600));
    first.Close();
    EXPECT_TRUE(second.Open(kPort, 57600)) << second.LastError();
}

TEST_F(SerialPortTest, EveryByteValuePassesBothWaysUnchanged) {
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(::write(pty_.master, bytes.data(), bytes.size()), 256);
    EXPECT_EQ(Collect(pty_.slave, 256, [&](std::uint8_t* b, int n) { return port.Read(b, n); }),
              bytes);
    EXPECT_EQ(port.Write(bytes.data(), 256), 256);
    EXPECT_EQ(Collect(pty_.master, 256,
                      [&](std::uint8_t* b, int n) { return int(::read(pty_.master, b, n)); }),
              bytes);
}

TEST_F(SerialPortTest, WriteToAStalledLineReturnsWhatFittedInsteadOfBlocking) {
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    const std::vector<std::uint8_t> block(1 << 20, 0xA5);  // more than the line buffers hold
    const int accepted = port.Write(block.data(), static_cast<int>(block.size()));
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, static_cast<int>(block.size()));
    // Still stalled: the next write returns too, with no more than the room
    // the terminal has made meanwhile (it moves bytes on towards the reader on
    // its own time, so an exact zero would depend on when the test runs).
    EXPECT_LT(port.Write(block.data(), static_cast<int>(block.size())),
              static_cast<int>(block.size()));
}

TEST_F(SerialPortTest, ReadWithNothingReceivedReturnsZero) {
    // Bytes left on the line before the open are not the new link's.
    ASSERT_EQ(::write(pty_.master, "\x00\x01", 2), 2);
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    std::uint8_t buffer[100];
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(port.Read(nullptr, 100), 0);
    EXPECT_EQ(port.Write(buffer, 0), 0);
}

TEST_F(SerialPortTest, LineIsRaw8N1At57600WhateverWasLeftOnIt) {
    termios cooked{};
    ASSERT_EQ(::tcgetattr(pty_.slave, &cooked), 0);
    cooked.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
    cooked.c_iflag |= IXON | IXOFF | ICRNL | INLCR | ISTRIP | INPCK;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_cflag |= CRTSCTS | PARENB | CSTOPB;
    cooked.c_cc[VMIN] = 1;
    cooked.c_cc[VTIME] = 5;
    cfsetspeed(&cooked, B9600);
    ASSERT_EQ(::tcsetattr(pty_.slave, TCSANOW, &cooked), 0);

    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    termios t{};
    ASSERT_EQ(::tcgetattr(pty_.slave, &t), 0);
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK | PARMRK),
              0u);
    // A break would read as a 0x00 start byte. A pseudo-terminal carries no
    // break, so what it does with one cannot be seen here; only the flag.
    EXPECT_EQ(t.c_iflag & IGNBRK, static_cast<tcflag_t>(IGNBRK));
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

// The line's descriptor turns readable when bytes come, so the console can
// sleep until then; a hang-up leaves it readable with nothing to read.
TEST_F(SerialPortTest, ReadableWhenBytesComeOrTheLineHangsUp) {
    SerialPort port;
    EXPECT_EQ(port.ReadableHandle(), ByteLink::kNoReadable);
    ASSERT_TRUE(port.Open(kPort, 57600));
    const int fd = static_cast<int>(port.ReadableHandle());
    ASSERT_NE(fd, ByteLink::kNoReadable);
    EXPECT_FALSE(Pty::WaitReadable(fd, 0));
    ASSERT_TRUE(pty_.Send({0x00, 0x2F}));
    ASSERT_TRUE(Pty::WaitReadable(fd));
    std::uint8_t buffer[16];
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 2);
    EXPECT_FALSE(Pty::WaitReadable(fd, 0));
    pty_.CloseMaster();
    EXPECT_TRUE(Pty::WaitReadable(fd, 0));
    port.Close();
    EXPECT_EQ(port.ReadableHandle(), ByteLink::kNoReadable);
}

TEST_F(SerialPortTest, HangUpReadsAsSilenceAndSaysTheDeviceWentAway) {
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    std::uint8_t buffer[16] = {1, 2, 3, 4};
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 0);
    EXPECT_FALSE(port.DeviceGone());  // a quiet line reads empty too
    pty_.CloseMaster();
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 0);
    EXPECT_TRUE(port.DeviceGone());
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(port.Write(buffer, 4), 0);
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.DeviceGone());
}

TEST(PortReasons, RefusedPermissionSaysWhichGroupToJoinWhereThatHelps) {
    const std::string usermod =
        "Permission denied: /dev/ttyUSB0 belongs to group dialout; join it with: sudo usermod "
        "-aG dialout \"$USER\" and log in again";
    const std::string admin =
        "Permission denied: /dev/ttyUSB0 (owner root, group %s, mode %s); ask the machine's "
        "administrator for read and write access";
    const struct {
        const char* group;
        unsigned mode;
        std::string text;
    } cases[] = {{"dialout", 0660, usermod},
                 {"dialout", 0666, usermod},
                 {"dialout", 0640, "root|dialout|0640"},
                 {"root", 0660, "root|root|0660"},
                 {"uucp", 0600, "root|uucp|0600"}};
    for (const auto& c : cases) {
        std::string expected = c.text;
        if (expected != usermod) {
            const std::string group = expected.substr(5, expected.rfind('|') - 5);
            char text[256];
            std::snprintf(text, sizeof text, admin.c_str(), group.c_str(),
                          expected.substr(expected.rfind('|') + 1).c_str());
            expected = text;
        }
        EXPECT_EQ(PermissionText("/dev/ttyUSB0", DeviceAccess{"root", c.group, c.mode}), expected)
            << c.group << " " << c.mode;
    }
    EXPECT_EQ(InUseText(4242, "minicom"), "in use by minicom (pid 4242)");
    EXPECT_EQ(InUseText(7, ""), "in use by another program (pid 7)");
}

TEST_F(SerialPortTest, RefusedPermissionNamesTheDevicesGroup) {
    const std::string device = (sandbox_.Root() / "locked").string();
    std::ofstream(device) << "";
    const group* dialout = ::getgrnam("dialout");
    if (::geteuid() == 0 && dialout != nullptr) ::chown(device.c_str(), 0, dialout->gr_gid);
    ::chmod(device.c_str(), 0660);
    struct stat st {};
    ASSERT_EQ(::stat(device.c_str(), &st), 0);
    const std::string group = ::getgrgid(st.st_gid)->gr_name;
    const std::string owner = ::getpwuid(st.st_uid)->pw_name;
    EXPECT_EQ(SerialPort::DescribeOpenError(EACCES, device),
              PermissionText(device, DeviceAccess{owner, group, 0660}));
    EXPECT_EQ(SerialPort::DescribeOpenError(EACCES, "/nonexistent/tty"), "Permission denied");
    if (::geteuid() != 0) {  // root opens a mode-000 file, so only others see the refusal
        ::chmod(device.c_str(), 0);
        sandbox_.Alias(204, device);
        SerialPort port;
        EXPECT_FALSE(port.Open(204, 57600));
        EXPECT_EQ(port.LastError(), PermissionText(device, DeviceAccess{owner, group, 0}));
    }
}

TEST_F(SerialPortTest, CloseGivesTheLineTheSettingsItHadAtTheOpen) {
    termios cooked{};
    ASSERT_EQ(::tcgetattr(pty_.slave, &cooked), 0);
    cooked.c_lflag |= ECHO | ICANON;
    cooked.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    cfsetspeed(&cooked, B9600);
    ASSERT_EQ(::tcsetattr(pty_.slave, TCSANOW, &cooked), 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(pty_.slave, &before), 0);
    SerialPort port;
    ASSERT_TRUE(port.Open(kPort, 57600));
    ASSERT_TRUE(port.Open(kPort, 57600));  // a reopen saves what it found, not its own raw mode
    port.Close();
    termios after{};
    ASSERT_EQ(::tcgetattr(pty_.slave, &after), 0);
    EXPECT_TRUE(test::CookedLine::Same(before, after));
}

}  // namespace
}  // namespace quillane
