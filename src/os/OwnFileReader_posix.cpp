#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os/OwnFileReader.h"

namespace quillane {

OwnFileReader::~OwnFileReader() {
    if (IsOpen()) ::close(static_cast<int>(handle_));
}

bool OwnFileReader::Open(const std::string& path) {
    // Not blocking: a pipe in the file's place must not hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing_ = errno == ENOENT;
        error_ = path + ": " +
                 (errno == ELOOP ? "a symbolic link, which the console does not follow"
                                 : std::strerror(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = path + ": not a regular file";
        ::close(fd);
        return false;
    }
    handle_ = fd;
    size_ = static_cast<std::int64_t>(st.st_size);
    return true;
}

long long OwnFileReader::ReadAt(std::int64_t offset, char* buffer, std::size_t size) const {
    if (!IsOpen()) return -1;
    for (;;) {
        const ssize_t n =
            ::pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR) return static_cast<long long>(n);
    }
}

}  // namespace quillane
