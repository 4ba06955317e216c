#include "PtyEndpoint.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillane {

namespace fs = std::filesystem;

namespace {

// No echo and no line editing: echo on the slave would send every status
// frame straight back to us as if the console had written it.
void MakeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B57600);
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
    MakeRaw(master_);
    MakeRaw(slave_);
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
    int exclusive = 0;
    if (slave_ < 0 || ::ioctl(slave_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) return false;
    // The console takes its lock before it sets the flag and keeps it while the
    // port is open; the lock ends with its process, the flag does not.
    if (::flock(slave_, LOCK_EX | LOCK_NB) != 0) return true;
    ::ioctl(slave_, TIOCNXCL);
    ::flock(slave_, LOCK_UN);
    return false;
}

std::size_t PtyEndpoint::Read(std::uint8_t* buffer, std::size_t size) {
    if (master_ < 0) return 0;
    const ssize_t n = ::read(master_, buffer, size);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace quillane
