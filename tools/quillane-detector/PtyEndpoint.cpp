#include "PtyEndpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace quillane {

namespace fs = std::filesystem;

namespace {

// The detector's line speed, which a console sets on its end of the line.
constexpr speed_t kLineSpeed = B57600;
// The speed the console's end has until a console sets it up.
constexpr speed_t kIdleSpeed = B38400;

// No echo and no line editing: echo on the slave would send every status
// frame straight back to us as if the console had written it.
void MakeRaw(int fd, speed_t speed) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, speed);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &t);
}

void SetFlags(int fd, int fdFlags, int statusFlags) {
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | fdFlags);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | statusFlags);
}

std::string LinkTarget(const std::string& path) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(path, ec);
    return ec ? std::string() : target.string();
}

}  // namespace

PtyEndpoint::~PtyEndpoint() { Close(); }

bool PtyEndpoint::Fail(const std::string& what) {
    error_ = what;
    return false;
}

bool PtyEndpoint::Open() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        return Fail(std::string("cannot open a pseudo-terminal: ") + std::strerror(errno));
    }
    devicePath_ = name;
    MakeRaw(master_, kLineSpeed);
    // The console's end starts at another speed than the console sets, so
    // that a line the console has set up is told from one it has only opened.
    MakeRaw(slave_, kIdleSpeed);
    SetFlags(master_, FD_CLOEXEC, O_NONBLOCK);
    SetFlags(slave_, FD_CLOEXEC, O_NONBLOCK);
    return true;
}

bool PtyEndpoint::LinkAlias(const std::string& aliasPath) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(aliasPath, ec);
    if (fs::exists(st)) {
        if (!fs::is_symlink(st)) return Fail(aliasPath + " exists and is not an alias link");
        if (fs::exists(aliasPath, ec)) {
            return Fail(aliasPath + " is taken: it points to " + LinkTarget(aliasPath));
        }
    }
    fs::create_directories(fs::path(aliasPath).parent_path(), ec);
    if (ec)
        return Fail("cannot create " + fs::path(aliasPath).parent_path().string() + ": " +
                    ec.message());
    aliasPath_ = aliasPath;
    return PointAlias();
}

// Through a temporary name and a rename, so that the console never finds the
// alias missing or half made.
bool PtyEndpoint::PointAlias() {
    const std::string temp = aliasPath_ + ".new" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(devicePath_.c_str(), temp.c_str()) != 0 ||
        ::rename(temp.c_str(), aliasPath_.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temp.c_str());
        const std::string alias = aliasPath_;
        aliasPath_.clear();
        return Fail("cannot link " + alias + ": " + why);
    }
    return true;
}

bool PtyEndpoint::Reopen() {
    CloseEnds();
    if (!Open()) return false;
    return aliasPath_.empty() || PointAlias();
}

void PtyEndpoint::Close() {
    if (!aliasPath_.empty() && LinkTarget(aliasPath_) == devicePath_) {
        ::unlink(aliasPath_.c_str());
    }
    aliasPath_.clear();
    CloseEnds();
}

void PtyEndpoint::LetConsoleRead() {
    if (slave_ < 0 || !ConsoleHolds()) return;
    for (int ms = 0; ms < 100; ++ms) {
        int waiting = 0;
        if (::ioctl(slave_, FIONREAD, &waiting) != 0 || waiting == 0) return;
        ::poll(nullptr, 0, 1);
    }
}

void PtyEndpoint::CloseEnds() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

bool PtyEndpoint::Write(const std::uint8_t* bytes, std::size_t count) {
    std::size_t done = 0;
    int drops = 0;
    while (done < count && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && drops++ < 2) {
            DropUnread();
        } else {
            return Fail(std::string("write: ") + std::strerror(errno));
        }
    }
    return done == count;
}

void PtyEndpoint::DropUnread() {
    int waiting = 0;
    if (::ioctl(slave_, FIONREAD, &waiting) == 0) dropped_ += waiting;
    ::tcflush(slave_, TCIFLUSH);
}

bool PtyEndpoint::ConsoleHolds() {
    if (slave_ < 0) return false;
    if (SlaveLocked()) return SlaveSetUp();
    int exclusive = 0;
    if (::ioctl(slave_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) return false;
    // The flag is cleared under our own lock, so that no console takes the
    // line in between; a lock taken meanwhile is a console's after all.
    if (::flock(slave_, LOCK_EX | LOCK_NB) != 0) return true;
    ::ioctl(slave_, TIOCNXCL);
    ::flock(slave_, LOCK_UN);
    return false;
}

// A console drops what waits on the line and then sets it up; only frames
// sent after that are frames it can be asked to receive.
bool PtyEndpoint::SlaveSetUp() const {
    termios t{};
    return ::tcgetattr(slave_, &t) == 0 && ::cfgetispeed(&t) == kLineSpeed;
}

// The kernel's table of locks, looked at without taking one: a console that
// opens its port at this moment is never refused for our sake. A line reads
// "1: FLOCK  ADVISORY  WRITE 4242 00:1a:5 0 EOF" (the file system's device
// in hex, then the inode); a waiter's has "->" second and is no lock held.
bool PtyEndpoint::SlaveLocked() const {
    struct stat st {};
    if (::fstat(slave_, &st) != 0) return false;
    char where[64];
    std::snprintf(where, sizeof where, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, file;
        fields >> number >> kind >> mode >> access >> pid >> file;
        if (kind == "FLOCK" && file == where) return true;
    }
    return false;
}

std::size_t PtyEndpoint::Read(std::uint8_t* buffer, std::size_t size) {
    if (master_ < 0) return 0;
    const ssize_t n = ::read(master_, buffer, size);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace quillane
