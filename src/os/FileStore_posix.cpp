#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <random>

#include "os/FileStore.h"
#include "os/TempFiles.h"

namespace quillane {
namespace {

FileIdentity IdentityOf(const struct stat& st) {
    FileIdentity id;
    id.exists = true;
    id.volume = static_cast<std::uint64_t>(st.st_dev);
    id.index = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::int64_t>(st.st_size);
    id.modifiedHigh = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.modifiedLow = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    id.changedHigh = static_cast<std::int64_t>(st.st_ctim.tv_sec);
    id.changedLow = static_cast<std::int64_t>(st.st_ctim.tv_nsec);
    return id;
}

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

int CreateUniqueTemp(const std::string& target, std::string& tempPath) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TempNameFor(target, rd);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Reads to the end, or `most` bytes at most (a file that another writer
// keeps growing); false with errno set on a read error.
bool ReadAll(int fd, std::string& text,
             std::int64_t most = std::numeric_limits<std::int64_t>::max()) {
    char buf[65536];
    while (static_cast<std::int64_t>(text.size()) < most) {
        const auto room =
            std::min<std::int64_t>(sizeof buf, most - static_cast<std::int64_t>(text.size()));
        const ssize_t n = ::read(fd, buf, static_cast<size_t>(room));
        if (n > 0) {
            text.append(buf, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return n == 0;
        }
    }
    return true;
}

// Makes the rename itself durable; the text is safe either way.
void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

}  // namespace

// What clearing up stale temporary files needs of the system (os/TempFiles.h).

long long CurrentProcessId() { return static_cast<long long>(::getpid()); }

// EPERM: the process runs under another user.
bool ProcessIsAlive(long long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

FileIdentity StatFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FileIdentity{};
    return IdentityOf(st);
}

FileContents ReadRegularFile(const std::string& path) {
    FileContents c;
    // Not blocking: a pipe in the file's place must not hang the start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        c.id = StatFile(path);  // missing, or there but not readable
        c.readable = !c.id.exists;
        c.error = ErrnoText(path);
        return c;
    }
    struct stat st;
    const bool statted = ::fstat(fd, &st) == 0;
    if (statted) c.id = IdentityOf(st);
    if (statted && !S_ISREG(st.st_mode)) {
        // A pipe or a device (/dev/zero) could feed us without end.
        c.readable = false;
        c.error = path + ": not a regular file";
        ::close(fd);
        return c;
    }
    if (!ReadAll(fd, c.text)) {
        c.readable = false;
        c.error = ErrnoText(path);
        c.text.clear();
    }
    ::close(fd);
    return c;
}

FileContents ReadOwnFileEnd(const std::string& path, std::int64_t most) {
    FileContents c;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        c.readable = errno == ENOENT;
        c.error = errno == ELOOP ? path + ": a symbolic link, which the console does not follow"
                                 : ErrnoText(path);
        return c;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        c.readable = false;
        c.error = path + ": not a regular file";
        ::close(fd);
        return c;
    }
    c.id = IdentityOf(st);
    const std::int64_t from = std::max<std::int64_t>(0, c.id.size - most);
    if (::lseek(fd, static_cast<off_t>(from), SEEK_SET) < 0 || !ReadAll(fd, c.text, most)) {
        c.readable = false;
        c.error = ErrnoText(path);
        c.text.clear();
    }
    ::close(fd);
    return c;
}

NewFile WriteNewFile(const std::string& path, const std::string& bytes, std::string& error) {
    // O_EXCL fails on any name that is taken, a dangling link's too.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return NewFile::NameTaken;
        error = ErrnoText(path);
        return NewFile::Failed;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok) error = ErrnoText(path);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = ErrnoText(path);
    }
    if (!ok) ::unlink(path.c_str());
    return ok ? NewFile::Written : NewFile::Failed;
}

std::string ResolveSymbolicLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return path;
        link.resize(static_cast<size_t>(n));
        const size_t slash = path.rfind('/');
        path = (link[0] == '/' || slash == std::string::npos) ? link
                                                              : path.substr(0, slash + 1) + link;
    }
    return path;
}

bool CheckFileWritable(const std::string& target, std::string& error) {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = target + ": not a regular file";
            return false;
        }
        // No write bit at all is read-only even for the administrator.
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            error = target + ": read-only file";
            return false;
        }
    }
    if (::access(FolderOf(target).c_str(), W_OK) != 0) {
        error = ErrnoText(FolderOf(target));
        return false;
    }
    return true;
}

bool ReplaceFileAtomically(const std::string& target, const std::string& text, std::string& error) {
    RemoveStaleTempFiles(target);
    // What stands at the name itself: a link there is replaced, never
    // followed, so nothing of its target's is taken over.
    struct stat old;
    const bool existed = ::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::string temp;
    const int fd = CreateUniqueTemp(target, temp);
    if (fd < 0) {
        error = ErrnoText(target);
        return false;
    }
    if (existed) {
        // The new file takes the old one's permissions and, where we may, owner.
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    if (!ok) error = ErrnoText(target);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = ErrnoText(target);
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = ErrnoText(target);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

}  // namespace quillane
