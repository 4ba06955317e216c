#include <windows.h>

#include <algorithm>
#include <string>

#include "link/PortReasons.h"
#include "link/SerialPort.h"

namespace quillane {

namespace {

// The system's message in the user's language, as UTF-8 like every other text
// (the narrow FormatMessageA would give the ANSI code page instead).
std::string SystemText(DWORD err) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, err, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text;
    if (n > 0) {
        const int size = static_cast<int>(n);
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, buffer, size, nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<size_t>(bytes > 0 ? bytes : 0));
        WideCharToMultiByte(CP_UTF8, 0, buffer, size, text.data(), bytes, nullptr, nullptr);
    }
    if (buffer != nullptr) LocalFree(buffer);
    // Bare like the Linux reasons: no line end, no full stop.
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(err) : text;
}

// Every line setting is set, not kept: whatever the last program left on the
// port (XON/XOFF or hardware flow control, dropping NUL bytes, aborting on an
// error) would otherwise eat or hold back frame bytes.
void MakeRaw8N1(DCB* dcb, int baudRate) {
    dcb->BaudRate = static_cast<DWORD>(baudRate);
    dcb->fBinary = TRUE;
    dcb->fParity = FALSE;
    dcb->fOutxCtsFlow = FALSE;
    dcb->fOutxDsrFlow = FALSE;
    dcb->fDtrControl = DTR_CONTROL_ENABLE;  // raised, as on a freshly opened port
    dcb->fDsrSensitivity = FALSE;
    dcb->fTXContinueOnXoff = TRUE;
    dcb->fOutX = FALSE;
    dcb->fInX = FALSE;
    dcb->fErrorChar = FALSE;
    dcb->fNull = FALSE;
    dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fAbortOnError = FALSE;
    dcb->ByteSize = 8;
    dcb->Parity = NOPARITY;
    dcb->StopBits = ONESTOPBIT;
}

// A USB adapter pulled out under an open handle fails every read and write
// with one of these until the handle is closed; the same COM name opens again
// once it is plugged back in.
bool DeviceWentAway(DWORD err) {
    return err == ERROR_ACCESS_DENIED || err == ERROR_BAD_COMMAND || err == ERROR_GEN_FAILURE ||
           err == ERROR_DEVICE_NOT_CONNECTED || err == ERROR_DEVICE_REMOVED ||
           err == ERROR_FILE_NOT_FOUND || err == ERROR_INVALID_HANDLE;
}

// An overlapped operation on the port, waited for until it is done: the
// read's and write's time-outs bound the wait (at once, 1 ms).
bool Finish(HANDLE port, OVERLAPPED* ov, BOOL started, DWORD* count) {
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    return GetOverlappedResult(port, ov, count, TRUE) != 0;
}

}  // namespace

// The port is opened for overlapped operations so that a wait for the next
// byte (WaitCommEvent) can be pending while the console reads and writes; the
// read and the write still finish before they return.
struct SerialPort::CommWait {
    OVERLAPPED wait{};  // its event is what the caller watches
    DWORD mask = 0;
    bool pending = false;
    OVERLAPPED io{};  // reads and writes, each waited for
};

bool SerialPort::Open(int portNumber, int baudRate) {
    // The \\.\ form is the one that also reaches COM10 and above.
    return OpenDevice("\\\\.\\COM" + std::to_string(portNumber), baudRate);
}

bool SerialPort::OpenDevice(const std::string& devicePath, int baudRate) {
    Close();
    HANDLE h = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return Fail(DescribeOpenError(static_cast<int>(GetLastError()), devicePath));
    }
    handle_ = h;
    wait_ = new CommWait;
    // Manual-reset, as overlapped operations need.
    wait_->wait.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wait_->io.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wait_->wait.hEvent == nullptr || wait_->io.hEvent == nullptr)
        return Fail(SystemText(GetLastError()));
    // A read returns at once with what has arrived; a write gives up after 1 ms.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 1};
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    // A handle that takes no line settings is no serial port; a rate the
    // driver refuses fails the open as it does on Linux.
    if (!GetCommState(h, &dcb)) return Fail("Not a serial device");
    MakeRaw8N1(&dcb, baudRate);
    if (!SetCommState(h, &dcb) || !SetCommTimeouts(h, &timeouts) || !SetCommMask(h, EV_RXCHAR)) {
        return Fail(SystemText(GetLastError()));
    }
    // Bytes from before the open belong to nobody's frame.
    PurgeComm(h, PURGE_RXCLEAR);
    opened_ = true;
    gone_ = false;
    lastError_.clear();
    return true;
}

std::string SerialPort::ProbeDevice(const std::string& devicePath) {
    // Without sharing, so a port another program has open fails here.
    HANDLE h = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return DescribeOpenError(static_cast<int>(GetLastError()), devicePath);
    }
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    const bool serial = GetCommState(h, &dcb) != 0;  // reads the settings, changes none
    CloseHandle(h);
    return serial ? std::string() : "Not a serial device";
}

void SerialPort::Close() {
    opened_ = false;
    gone_ = false;
    const bool valid = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
    if (valid && wait_ != nullptr && wait_->pending) {
        // The pending wait still refers to its event: it ends before the
        // event goes.
        DWORD n = 0;
        CancelIo(handle_);
        GetOverlappedResult(handle_, &wait_->wait, &n, TRUE);
    }
    if (valid) CloseHandle(handle_);
    handle_ = nullptr;
    if (wait_ != nullptr) {
        for (HANDLE e : {wait_->wait.hEvent, wait_->io.hEvent})
            if (e != nullptr) CloseHandle(e);
        delete wait_;
        wait_ = nullptr;
    }
}

std::intptr_t SerialPort::ReadableHandle() const {
    return opened_ ? reinterpret_cast<std::intptr_t>(wait_->wait.hEvent) : kNoReadable;
}

bool SerialPort::ArmReadable() {
    if (!opened_ || gone_) return false;
    if (wait_->pending) {
        DWORD n = 0;
        if (GetOverlappedResult(handle_, &wait_->wait, &n, FALSE)) {
            wait_->pending = false;
        } else if (const DWORD err = GetLastError(); err != ERROR_IO_INCOMPLETE) {
            wait_->pending = false;
            // Some drivers (and Wine) end the wait as aborted when the byte
            // comes, its event set all the same: the line is still there.
            if (err != ERROR_OPERATION_ABORTED) return Gone(err);
        }
    }
    if (!wait_->pending) {
        ResetEvent(wait_->wait.hEvent);
        wait_->mask = 0;
        if (WaitCommEvent(handle_, &wait_->mask, &wait_->wait)) return true;  // a byte, at once
        if (GetLastError() != ERROR_IO_PENDING) return Gone(GetLastError());
        wait_->pending = true;
    }
    // Bytes that came before the wait began raise no event of their own.
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(handle_, &errors, &status) && status.cbInQue > 0;
}

// Whether a pulled USB adapter fails the calls on its handle depends on its
// driver; a line hung up at its far end (a virtual port under Wine) fails
// nothing and only falls silent.
bool SerialPort::GoesSilentWhenGone() const { return true; }

// A wait for a byte that fails is no use any more: watching the line would
// only wake the caller for nothing. It is told to read once more, finds
// nothing, and asks DeviceGone.
bool SerialPort::Gone(unsigned long err) {
    lastError_ = SystemText(err);
    gone_ = true;
    return true;
}

int SerialPort::Read(std::uint8_t* buffer, int maxBytes) {
    if (!opened_ || buffer == nullptr || maxBytes < 1) return 0;
    // Only what has arrived is asked for, so the read finishes at once
    // whatever the driver makes of the time-outs of an overlapped read.
    DWORD errors = 0;
    COMSTAT status{};
    DWORD got = 0;
    bool ok = ClearCommError(handle_, &errors, &status) != 0;
    const DWORD want = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(maxBytes));
    if (ok && want > 0) {
        const BOOL started = ReadFile(handle_, buffer, want, nullptr, &wait_->io);
        ok = Finish(handle_, &wait_->io, started, &got);
    }
    // An unplugged adapter reads as silence; the link time-out notices it,
    // and DeviceGone tells the owner at once.
    if (!ok) {
        const DWORD err = GetLastError();
        lastError_ = SystemText(err);
        gone_ = gone_ || DeviceWentAway(err);
        return 0;
    }
    return static_cast<int>(got);
}

int SerialPort::Write(const std::uint8_t* buffer, int count) {
    if (!opened_ || buffer == nullptr || count < 1) return 0;
    DWORD put = 0;
    // A write that times out still reports the bytes it took.
    const BOOL started = WriteFile(handle_, buffer, static_cast<DWORD>(count), nullptr, &wait_->io);
    if (!Finish(handle_, &wait_->io, started, &put) && put == 0) {
        const DWORD err = GetLastError();
        lastError_ = SystemText(err);
        gone_ = gone_ || DeviceWentAway(err);
        return 0;
    }
    return static_cast<int>(put);
}

std::string SerialPort::DescribeOpenError(int err, const std::string& devicePath) {
    if (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION) return kBusyText;
    if (err == ERROR_FILE_NOT_FOUND) return "No such port (" + devicePath + ")";
    return SystemText(static_cast<DWORD>(err));
}

}  // namespace quillane
