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
#include <string>

#include "link/DeviceUsers.h"
#include "link/PortMap.h"
#include "link/PortReasons.h"
#include "link/SerialPort.h"

namespace quillane {

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
    if (err == ENOTTY) return kNotSerialText;
    if (err == EWOULDBLOCK || err == EBUSY) return kBusyText;
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

// The device behind the descriptor went away. A raw line with VMIN = VTIME = 0
// reads as empty both when it is quiet and when it was hung up (an unplugged
// adapter, the far end of a pseudo-terminal closed); only poll tells the two
// apart. EIO, ENXIO and ENODEV from a read or a write say the same.
bool DeviceWentAway(int fd, int err) {
    if (err == EIO || err == ENXIO || err == ENODEV) return true;
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
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
    // The exclusive flag belongs to the terminal, not to our descriptor. A
    // serial device's terminal ends with its last close, and the flag with
    // it; a pseudo-terminal lives on with its far end (a bridge, a network
    // serial server), and the flag of a console that was killed would shut
    // out every later one. There the lock, which ends with our process, is
    // all the exclusivity.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && !IsPtySlave(st.st_rdev)) {
        if (::ioctl(fd_, TIOCEXCL) != 0) return Fail(ErrorText(errno));
        exclusive_ = true;
    }
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
        *reason = kBusyText;
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
    // Bytes from before the open belong to nobody's frame. They go before the
    // line turns raw, not after: a frame that arrives once the line is ours
    // and raw is kept whole, so no frame sent to a console that holds a set-up
    // line is ever thrown away.
    ::tcflush(fd_, TCIFLUSH);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return Fail(ErrorText(errno));
    // Raise DTR and RTS as a freshly opened COM port has them; pseudo-terminals
    // have no modem lines and refuse the request, which is harmless.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
        return Fail(ErrorText(errno));
    }
    return true;
}

void SerialPort::Close() {
    opened_ = false;
    gone_ = false;
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
    // A hang-up or unplug reads as silence, and the link time-out notices a
    // dead line; DeviceGone tells the owner at once that the device went away.
    const int err = n < 0 ? errno : 0;
    if (n < 0 && err != EAGAIN && err != EINTR) lastError_ = ErrorText(err);
    if (!gone_ && err != EAGAIN && err != EINTR) gone_ = DeviceWentAway(fd_, err);
    return 0;
}

std::intptr_t SerialPort::ReadableHandle() const { return opened_ ? fd_ : kNoReadable; }

bool SerialPort::ArmReadable() { return false; }

// A hang-up or an unplugged adapter reads as end of file or fails the read.
bool SerialPort::GoesSilentWhenGone() const { return false; }

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
            gone_ = gone_ || DeviceWentAway(fd_, errno);
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

}  // namespace quillane
