#include "link/SerialPort.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/DeviceUsers.h"
#include "link/PortMap.h"
#include "link/PortReasons.h"
#endif

namespace quillane {

namespace {
const char kBusy[] = "Device or resource busy (held by another program)";
}  // namespace

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Fail(const std::string& reason) {
    Close();
    lastError_ = reason;
    return false;
}

#ifdef _WIN32

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

}  // namespace

bool SerialPort::Open(int portNumber, int baudRate) {
    // The \\.\ form is the one that also reaches COM10 and above.
    return OpenDevice("\\\\.\\COM" + std::to_string(portNumber), baudRate);
}

bool SerialPort::OpenDevice(const std::string& devicePath, int baudRate) {
    Close();
    HANDLE h = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return Fail(DescribeOpenError(static_cast<int>(GetLastError()), devicePath));
    }
    handle_ = h;
    // A read returns at once with what has arrived; a write gives up after 1 ms.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 1};
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    // A handle that takes no line settings is no serial port; a rate the
    // driver refuses fails the open as it does on Linux.
    if (!GetCommState(h, &dcb)) return Fail("Not a serial device");
    MakeRaw8N1(&dcb, baudRate);
    if (!SetCommState(h, &dcb) || !SetCommTimeouts(h, &timeouts)) {
        return Fail(SystemText(GetLastError()));
    }
    // Bytes from before the open belong to nobody's frame.
    PurgeComm(h, PURGE_RXCLEAR);
    opened_ = true;
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
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
}

int SerialPort::Read(std::uint8_t* buffer, int maxBytes) {
    if (!opened_ || buffer == nullptr || maxBytes < 1) return 0;
    DWORD got = 0;
    // An unplugged adapter reads as silence; the link time-out notices it.
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(maxBytes), &got, nullptr)) {
        lastError_ = SystemText(GetLastError());
        return 0;
    }
    return static_cast<int>(got);
}

int SerialPort::Write(const std::uint8_t* buffer, int count) {
    if (!opened_ || buffer == nullptr || count < 1) return 0;
    DWORD put = 0;
    // A write that times out still reports the bytes it took.
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &put, nullptr) && put == 0) {
        lastError_ = SystemText(GetLastError());
        return 0;
    }
    return static_cast<int>(put);
}

std::string SerialPort::DescribeOpenError(int err, const std::string& devicePath) {
    if (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION) return kBusy;
    if (err == ERROR_FILE_NOT_FOUND) return "No such port (" + devicePath + ")";
    return SystemText(static_cast<DWORD>(err));
}

#else  // POSIX termios

namespace {

bool SpeedFor(int baudRate, speed_t* speed) {
    static const struct {
        int rate;
        speed_t code;
    } kRates[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
                  {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
                  {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& r : kRates) {
        if (r.rate == baudRate) {
            *speed = r.code;
            return true;
        }
    }
    return false;
}

std::string ErrorText(int err) {
    if (err == ENOTTY) return "Not a serial device";
    if (err == EWOULDBLOCK || err == EBUSY) return kBusy;
    return std::strerror(err);
}

// Every field is set, not edited: whatever the last program left on the line
// (echo, canonical mode, flow control, CR/LF mapping) would otherwise eat or
// change the frame bytes. Ignoring breaks keeps a line break from posing as
// the 0x00 start byte.
void MakeRaw8N1(termios* t, speed_t speed) {
    t->c_iflag = IGNBRK;
    t->c_oflag = 0;
    t->c_cflag = CS8 | CREAD | CLOCAL | HUPCL;
    t->c_lflag = 0;
    std::memset(t->c_cc, 0, sizeof(t->c_cc));
    t->c_cc[VMIN] = 0;
    t->c_cc[VTIME] = 0;
    cfsetispeed(t, speed);
    cfsetospeed(t, speed);
}

bool WaitWritable(int fd) {
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 1) > 0 && (p.revents & POLLOUT) != 0;
}

}  // namespace

bool SerialPort::Open(int portNumber, int baudRate) {
    Close();
    const std::string path = DevicePathForPort(portNumber);
    if (path.empty()) return Fail("COM" + std::to_string(portNumber) + " maps to no device");
    return OpenDevice(path, baudRate);
}

bool SerialPort::OpenDevice(const std::string& devicePath, int baudRate) {
    Close();
    // A program that uses the port without a lock (a login console, a
    // terminal program) is found before our open could disturb it.
    const std::string held = HeldElsewhere(devicePath, DeviceUsers::Scan({devicePath}));
    if (!held.empty()) return Fail(held);
    std::string reason;
    fd_ = OpenUntouched(devicePath, &reason);
    if (fd_ < 0) return Fail(reason);
    if (::ioctl(fd_, TIOCEXCL) != 0) return Fail(ErrorText(errno));
    exclusive_ = true;
    if (::tcgetattr(fd_, &saved_) != 0) return Fail(ErrorText(errno));
    restore_ = true;
    if (!Configure(baudRate)) return false;
    opened_ = true;
    lastError_.clear();
    return true;
}

std::string SerialPort::ProbeDevice(const std::string& devicePath) {
    std::string reason;
    const int fd = OpenUntouched(devicePath, &reason);
    if (fd >= 0) ::close(fd);
    return reason;
}

// The descriptor holds our lock; nothing else about the line has changed.
int SerialPort::OpenUntouched(const std::string& devicePath, std::string* reason) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = DescribeOpenError(errno, devicePath);
        return -1;
    }
    // TIOCEXCL keeps other programs out, but root passes it; the lock is what
    // keeps a second console off a port in use, and a flag set by another
    // program tells root the same. Both are only looked at here.
    termios t{};
    int exclusive = 0;
    if (::tcgetattr(fd, &t) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *reason = ErrorText(errno);
    } else if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        *reason = kBusy;
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

bool SerialPort::Configure(int baudRate) {
    speed_t speed = B0;
    if (!SpeedFor(baudRate, &speed)) {
        return Fail("Unsupported baud rate " + std::to_string(baudRate));
    }
    termios t = saved_;
    MakeRaw8N1(&t, speed);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return Fail(ErrorText(errno));
    // Raise DTR and RTS as a freshly opened COM port has them; pseudo-terminals
    // have no modem lines and refuse the request, which is harmless.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
        return Fail(ErrorText(errno));
    }
    // Bytes from before the open belong to nobody's frame.
    ::tcflush(fd_, TCIFLUSH);
    return true;
}

void SerialPort::Close() {
    opened_ = false;
    if (fd_ < 0) return;
    // The line goes back as we found it, for whatever uses the port next.
    if (restore_) ::tcsetattr(fd_, TCSANOW, &saved_);
    restore_ = false;
    // The exclusive flag belongs to the terminal, not to our descriptor: it
    // would outlive us while another descriptor (a simulator) keeps the line.
    // Only the flag we set ourselves is cleared.
    if (exclusive_) ::ioctl(fd_, TIOCNXCL);
    exclusive_ = false;
    ::close(fd_);
    fd_ = -1;
}

int SerialPort::Read(std::uint8_t* buffer, int maxBytes) {
    if (!opened_ || buffer == nullptr || maxBytes < 1) return 0;
    const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(maxBytes));
    if (n > 0) return static_cast<int>(n);
    // A hang-up or unplug (EIO, ENXIO) reads as silence; the link time-out
    // notices a dead line.
    if (n < 0 && errno != EAGAIN && errno != EINTR) lastError_ = ErrorText(errno);
    return 0;
}

int SerialPort::Write(const std::uint8_t* buffer, int count) {
    if (!opened_ || buffer == nullptr || count < 1) return 0;
    int done = 0;
    // One try at once, one more after waiting at most 1 ms for room.
    for (int attempt = 0; attempt < 2 && done < count; ++attempt) {
        if (attempt > 0 && !WaitWritable(fd_)) break;
        const ssize_t n = ::write(fd_, buffer + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            lastError_ = ErrorText(errno);
            break;
        }
    }
    return done;
}

std::string SerialPort::DescribeOpenError(int err, const std::string& devicePath) {
    if (err != EACCES && err != EPERM) return ErrorText(err);
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0) return "Permission denied";
    const group* g = ::getgrgid(st.st_gid);
    const passwd* pw = ::getpwuid(st.st_uid);
    DeviceAccess access;
    access.group = g != nullptr ? g->gr_name : std::to_string(st.st_gid);
    access.owner = pw != nullptr ? pw->pw_name : std::to_string(st.st_uid);
    access.mode = static_cast<unsigned>(st.st_mode & 07777);
    return PermissionText(devicePath, access);
}

#endif

}  // namespace quillane
