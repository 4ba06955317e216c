#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "link/SerialPort.h"

namespace quillane {
namespace {

// Two COM ports that are the two ends of one line, named as "A:B" in
// QUILLANE_TEST_COM_PAIR: under Wine, dosdevices links to the two sides of a
// pseudo-terminal pair (scripts/test-windows); on Windows, a null-modem pair.
struct ComPair {
    int a = 0, b = 0;
};

ComPair TestComPair() {
    ComPair pair;
    const char* text = std::getenv("QUILLANE_TEST_COM_PAIR");
    if (text != nullptr) {
        char* end = nullptr;
        pair.a = static_cast<int>(std::strtol(text, &end, 10));
        if (*end == ':') pair.b = static_cast<int>(std::strtol(end + 1, nullptr, 10));
    }
    return pair;
}

// Wine answers for Windows in these tests, except where it says otherwise.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string DeviceName(int number) { return "\\\\.\\COM" + std::to_string(number); }

// Collects what the port reads until count bytes have come, giving up after
// about two seconds: the other end's bytes cross a relay process first.
std::vector<std::uint8_t> Collect(SerialPort& port, size_t count) {
    std::vector<std::uint8_t> got;
    std::uint8_t buffer[64];
    for (int round = 0; round < 2000 && got.size() < count; ++round) {
        const int n = port.Read(buffer, sizeof(buffer));
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
        } else {
            Sleep(1);
        }
    }
    return got;
}

// The line settings of a port as the driver keeps them between opens.
bool ReadLineSettings(int number, DCB* dcb) {
    HANDLE h = CreateFileA(DeviceName(number).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    dcb->DCBlength = sizeof(*dcb);
    const bool ok = GetCommState(h, dcb) != 0;
    CloseHandle(h);
    return ok;
}

bool WriteLineSettings(int number, const DCB& dcb) {
    HANDLE h = CreateFileA(DeviceName(number).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DCB copy = dcb;
    const bool ok = SetCommState(h, &copy) != 0;
    CloseHandle(h);
    return ok;
}

class Win32SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        pair_ = TestComPair();
        if (pair_.a == 0 || pair_.b == 0)
            GTEST_SKIP() << "no COM port pair in QUILLANE_TEST_COM_PAIR (A:B)";
    }
    ComPair pair_;
};

TEST(Win32SerialPort, DevicesThatAreNoLineDoNotOpenAndReadNothing) {
    const test::TempDir dir;
    dir.Write("plain-file", "not a line");
    const std::string plainFile = dir.File("plain-file");
    SerialPort missing;
    EXPECT_FALSE(missing.Open(250, 57600));
    EXPECT_EQ(missing.LastError(), "No such port (\\\\.\\COM250)");
    SerialPort file;
    EXPECT_FALSE(file.OpenDevice(plainFile, 57600));
    EXPECT_EQ(file.LastError(), "Not a serial device");
    std::uint8_t byte = 0;
    for (SerialPort* port : {&missing, &file}) {
        EXPECT_FALSE(port->IsOpen());
        EXPECT_EQ(port->Read(&byte, 1), 0);
    }
}

TEST_F(Win32SerialPortTest, OpeningTwiceSucceedsBothTimes) {
    SerialPort port;
    ASSERT_TRUE(port.Open(pair_.a, 57600)) << port.LastError();
    EXPECT_TRUE(port.Open(pair_.a, 57600)) << port.LastError();
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(Win32SerialPortTest, SecondPortIsRefusedWhileTheFirstHoldsTheLine) {
    // Windows refuses a second open of a COM port; Wine checks sharing only
    // on files and folders, not on the devices behind its COM ports.
    if (UnderWine()) GTEST_SKIP() << "Wine does not keep a device's open exclusive";
    SerialPort first;
    SerialPort second;
    ASSERT_TRUE(first.Open(pair_.a, 57600)) << first.LastError();
    EXPECT_FALSE(second.Open(pair_.a, 57600));
    EXPECT_EQ(second.LastError(), "Device or resource busy (held by another program)");
    first.Close();
    EXPECT_TRUE(second.Open(pair_.a, 57600)) << second.LastError();
}

TEST_F(Win32SerialPortTest, ReadWithNothingReceivedReturnsZeroAtOnce) {
    SerialPort port;
    ASSERT_TRUE(port.Open(pair_.a, 57600)) << port.LastError();
    std::uint8_t buffer[100];
    // A read that waited for bytes would hang here: nothing is sent.
    EXPECT_EQ(port.Read(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(port.Read(nullptr, 100), 0);
    EXPECT_EQ(port.Write(buffer, 0), 0);
}

TEST_F(Win32SerialPortTest, EveryByteValuePassesBothWaysUnchanged) {
    SerialPort a;
    SerialPort b;
    ASSERT_TRUE(a.Open(pair_.a, 57600)) << a.LastError();
    ASSERT_TRUE(b.Open(pair_.b, 57600)) << b.LastError();
    // 0x00 starts every frame; 0x11 and 0x13 are what flow control would eat,
    // 0x0A and 0x0D what line-end translation would change.
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(a.Write(bytes.data(), 256), 256);
    EXPECT_EQ(Collect(b, 256), bytes);
    EXPECT_EQ(b.Write(bytes.data(), 256), 256);
    EXPECT_EQ(Collect(a, 256), bytes);
}

// The event of the pending wait for a byte is what the console sleeps on;
// bytes that came while nobody waited are reported by the arming itself.
TEST_F(Win32SerialPortTest, TheReadableEventIsSetWhenBytesCome) {
    SerialPort a;
    SerialPort b;
    ASSERT_TRUE(a.Open(pair_.a, 57600)) << a.LastError();
    ASSERT_TRUE(b.Open(pair_.b, 57600)) << b.LastError();
    ASSERT_NE(a.ReadableHandle(), ByteLink::kNoReadable);
    const HANDLE event = reinterpret_cast<HANDLE>(a.ReadableHandle());
    EXPECT_FALSE(a.ArmReadable()) << a.LastError();
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    const std::vector<std::uint8_t> frame = {0x00, 0x2F, 0xFF, 0x2E};
    ASSERT_EQ(b.Write(frame.data(), 4), 4);
    // Bounded against a hang only: the bytes cross a relay process first.
    EXPECT_EQ(WaitForSingleObject(event, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(Collect(a, 4), frame);

    ASSERT_EQ(b.Write(frame.data(), 4), 4);
    bool told = false;
    for (int round = 0; round < 500 && !told; ++round) {
        Sleep(10);
        told = a.ArmReadable() || WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    }
    EXPECT_TRUE(told);
    EXPECT_EQ(Collect(a, 4), frame);
    EXPECT_FALSE(a.DeviceGone()) << a.LastError();
    a.Close();
    EXPECT_EQ(a.ReadableHandle(), ByteLink::kNoReadable);
}

TEST_F(Win32SerialPortTest, LineIsRaw8N1At57600WhateverWasLeftOnIt) {
    DCB cooked{};
    ASSERT_TRUE(ReadLineSettings(pair_.a, &cooked));
    cooked.BaudRate = CBR_9600;
    cooked.ByteSize = 7;
    cooked.Parity = EVENPARITY;
    cooked.StopBits = TWOSTOPBITS;
    cooked.fOutX = TRUE;
    cooked.fInX = TRUE;
    cooked.fOutxCtsFlow = TRUE;
    cooked.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ASSERT_TRUE(WriteLineSettings(pair_.a, cooked));

    SerialPort port;
    ASSERT_TRUE(port.Open(pair_.a, 57600)) << port.LastError();
    port.Close();
    DCB now{};
    ASSERT_TRUE(ReadLineSettings(pair_.a, &now));
    EXPECT_EQ(now.BaudRate, 57600u);
    EXPECT_EQ(now.ByteSize, 8);
    EXPECT_EQ(now.Parity, NOPARITY);
    EXPECT_EQ(now.StopBits, ONESTOPBIT);
    EXPECT_FALSE(now.fOutX);
    EXPECT_FALSE(now.fInX);
    EXPECT_FALSE(now.fOutxCtsFlow);
    EXPECT_NE(now.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
}

}  // namespace
}  // namespace quillane
