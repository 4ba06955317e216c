#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os/AppendFile.h"

namespace quillane {
namespace {

// Why what stands at path could not be opened as the console's own file:
// what it is, when that says more than the system's word for the failure (a
// pipe without a reader gives "No such device or address").
std::string WhyNotOpened(const std::string& path, int err) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) return "a symbolic link, which the console does not follow";
        if (!S_ISREG(st.st_mode)) return "not a regular file";
        if ((st.st_mode & 0222) == 0) return "read-only file";
    }
    return std::strerror(err);
}

}  // namespace

bool AppendFile::OpenExisting(const std::string& path) {
    Close();
    // Not blocking: opening a pipe for writing waits for a reader otherwise.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool AppendFile::OpenOwn(const std::string& path) {
    Close();
    // O_NOFOLLOW refuses a link at the name even when O_CREAT would create
    // what a dangling one points to.
    const int flags = O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // Read too, for the last byte; a file that may only be written is still
    // written.
    int fd = ::open(path.c_str(), O_RDWR | flags, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | flags, 0666);
    if (fd < 0) {
        error_ = WhyNotOpened(path, errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        error_ = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error_ = "not a regular file";
    } else if ((st.st_mode & 0222) == 0) {
        error_ = "read-only file";
    } else {
        fd_ = fd;
        error_.clear();
        return true;
    }
    ::close(fd);
    return false;
}

bool AppendFile::IsOpen() const { return fd_ >= 0; }

bool AppendFile::Write(const char* data, std::size_t size) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? std::strerror(errno) : "nothing written";
            return false;
        }
        // Only part went out (the disk is full): the rest is tried once more,
        // so that the failure comes back with its reason.
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void AppendFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool AppendFile::StillAt(const std::string& path) const {
    struct stat open, named;
    return fd_ >= 0 && ::fstat(fd_, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

std::int64_t AppendFile::Size() const {
    struct stat st;
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

bool AppendFile::EndsMidLine() const {
    const std::int64_t size = Size();
    char last = '\n';
    return size > 0 && ::pread(fd_, &last, 1, static_cast<off_t>(size - 1)) == 1 && last != '\n';
}

bool AppendFile::CreateEmpty(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    return fd >= 0 && ::close(fd) == 0;
}

bool AppendFile::IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace quillane
