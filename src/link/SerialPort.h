#pragma once

#include <cstdint>
#include <string>

#ifndef _WIN32
#include <termios.h>
#endif

#include "link/ByteLink.h"

namespace quillane {

// The detector's serial line: opened by port number, exclusively, raw 8N1 at the
// caller's rate. Reads return what has arrived without waiting; writes give up
// after 1 ms. Failures come back as false or 0, with the OS reason in LastError().
class SerialPort : public ByteLink {
public:
    SerialPort() = default;
    ~SerialPort() override { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Open(int portNumber, int baudRate) override;
    void Close() override;
    bool IsOpen() const override { return opened_; }
    int Read(std::uint8_t* buffer, int maxBytes) override;
    int Write(const std::uint8_t* buffer, int count) override;
    std::string LastError() const override { return lastError_; }
    bool DeviceGone() const override { return gone_; }
    bool GoesSilentWhenGone() const override;
    std::intptr_t ReadableHandle() const override;
    bool ArmReadable() override;

    // Opens a device by path the way Open opens a port number's device. A port
    // another program holds is refused before anything on it is touched; the
    // line settings found at the open come back at Close.
    bool OpenDevice(const std::string& devicePath, int baudRate);

    // The port probe: whether Open could take devicePath now, found by opening
    // and closing it only (no line settings, no modem lines, no flush). Empty
    // when it could, else the reason. Who else has the device open is for the
    // caller to ask first (HeldElsewhere), once for all the ports it lists.
    static std::string ProbeDevice(const std::string& devicePath);

    // The reason shown for a failed open of devicePath with error number err;
    // a refused permission names the device's group and how to join it.
    static std::string DescribeOpenError(int err, const std::string& devicePath);

private:
    bool Fail(const std::string& reason) {
        Close();
        lastError_ = reason;
        return false;
    }
#ifdef _WIN32
    struct CommWait;
    bool Gone(unsigned long err);
    void* handle_ = nullptr;    // HANDLE; nullptr or INVALID_HANDLE_VALUE when closed
    CommWait* wait_ = nullptr;  // the pending wait for a byte, while open
#else
    static int OpenUntouched(const std::string& devicePath, std::string* reason);
    bool Configure(int baudRate);
    int fd_ = -1;
    bool exclusive_ = false;  // we set TIOCEXCL (never on a pseudo-terminal)
    bool restore_ = false;    // saved_ holds the settings found at the open
    termios saved_{};
#endif
    bool opened_ = false;
    bool gone_ = false;
    std::string lastError_;
};

}  // namespace quillane
