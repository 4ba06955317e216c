#pragma once

#include <cstdint>
#include <string>

namespace quillane {

// The console's only way to the detector: a serial line opened by port number,
// read without waiting and written with a 1 ms limit. SerialPort implements it;
// the core and the tests see nothing else of the line.
class ByteLink {
public:
    virtual ~ByteLink() = default;

    // Closes first, whatever the state; true once the device is open.
    virtual bool Open(int portNumber, int baudRate) = 0;
    // Safe on a closed port.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Bytes that had arrived, at most maxBytes; 0 when none, when closed or on error.
    virtual int Read(std::uint8_t* buffer, int maxBytes) = 0;
    // Bytes the line accepted; 0 when closed or on error.
    virtual int Write(const std::uint8_t* buffer, int count) = 0;
    // The operating system's reason for the last failure, for a tooltip or the log.
    virtual std::string LastError() const { return {}; }
    // The device went away under the open line: a hang-up, a read or write
    // error that waiting does not mend, the device node gone. Only a line
    // that was open can say so; Close and Open forget it.
    virtual bool DeviceGone() const { return false; }
    // Whether the device may go away without anything failing: the line then
    // only falls silent (Windows, where a hung-up line or a pulled adapter
    // need fail no read, write or wait). The core takes a link time-out on
    // such a line as the device gone.
    virtual bool GoesSilentWhenGone() const { return false; }

    // ---- waiting for bytes instead of polling ----
    static constexpr std::intptr_t kNoReadable = -1;
    // What an event loop can watch for bytes to read, while the line is open:
    // on POSIX its descriptor, readable once bytes have arrived (or the device
    // went away); on Windows an event that is set when a byte arrives after
    // ArmReadable. kNoReadable when closed or when the line offers none: it is
    // then polled.
    virtual std::intptr_t ReadableHandle() const { return kNoReadable; }
    // Starts the wait for the next byte (Windows). True when bytes are
    // waiting already, for which no event comes: the caller reads at once.
    // On POSIX there is nothing to start, and false comes back.
    virtual bool ArmReadable() { return false; }
};

}  // namespace quillane
