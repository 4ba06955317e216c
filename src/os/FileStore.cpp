#include "os/FileStore.h"

#include <cctype>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <algorithm>

#include "os/WidePath.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace quillane {

namespace {

const char kTempMark[] = ".tmp-";

long long CurrentProcessId();
bool ProcessIsAlive(long long pid);
void RemoveFile(const std::string& path);

// A temporary file's name beside target: our process id, so that a later
// write can tell a file left by a killed writer from one being written now,
// and a new random tail on each call.
std::string TempNameFor(const std::string& target, std::random_device& rd) {
    return target + kTempMark + std::to_string(CurrentProcessId()) + "-" +
           std::to_string(rd() % 1000000u);
}

// The writer's process id in a temporary file name of ours ("<name>.tmp-<pid>-<n>"
// with name the target's), or -1 for any other name.
long long WriterOf(const std::string& fileName, const std::string& targetName) {
    const std::string prefix = targetName + kTempMark;
    if (fileName.compare(0, prefix.size(), prefix) != 0) return -1;
    long long pid = 0;
    size_t i = prefix.size();
    for (; i < fileName.size() && i - prefix.size() < 10 &&
           std::isdigit(static_cast<unsigned char>(fileName[i]));
         ++i)
        pid = pid * 10 + (fileName[i] - '0');
    const bool shaped = i > prefix.size() && i < fileName.size() && fileName[i] == '-';
    return shaped ? pid : -1;
}

// Removes what writes killed before their rename left beside target. A file
// whose writer still runs is another console's write in progress; one that
// names our own process is from an earlier process with our id, since our
// own writes never overlap.
void RemoveStaleTempFiles(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(target);
    const std::string targetName = path.filename().u8string();
    std::error_code ec;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long long pid = WriterOf(it->path().filename().u8string(), targetName);
        if (pid < 0 || (pid != CurrentProcessId() && ProcessIsAlive(pid))) continue;
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) RemoveFile(it->path().u8string());
    }
}

}  // namespace

#ifdef _WIN32

namespace {

std::string Narrow(const wchar_t* w, int size) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, size, s.data(), n, nullptr, nullptr);
    return s;
}

// The system's message in the user's language, as UTF-8 like every other text.
std::string SystemText(DWORD err) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, err, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text = n > 0 ? Narrow(buffer, static_cast<int>(n)) : "error " + std::to_string(err);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string ErrorText(const std::string& what, DWORD err) { return what + ": " + SystemText(err); }

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        const bool ok = !Valid() || CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

long long CurrentProcessId() { return static_cast<long long>(GetCurrentProcessId()); }

bool ProcessIsAlive(long long pid) {
    const HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    // A process we may not look at is alive all the same.
    if (h == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}

// A file still open without sharing (a write in progress) is not deleted.
void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

// Opens for its metadata only; follows links and opens folders too.
HANDLE OpenForAttributes(const std::string& path) {
    return CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    FileIdentity id;
    id.exists = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                        info.nFileSizeLow);
    id.modifiedHigh = info.ftLastWriteTime.dwHighDateTime;
    id.modifiedLow = info.ftLastWriteTime.dwLowDateTime;
    id.changedHigh = info.ftCreationTime.dwHighDateTime;
    id.changedLow = info.ftCreationTime.dwLowDateTime;
    return id;
}

FileIdentity IdentityOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return FileIdentity{};
    return IdentityOf(info);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "." : ".";
    }
    const bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return path.substr(0, root ? slash + 1 : slash);
}

// The reason a file that cannot be opened gives, naming a folder as such.
std::string OpenErrorText(const std::string& path, DWORD err) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return path + ": not a regular file";
    return ErrorText(path, err);
}

// Strips the "\\?\" that the final-path call puts before every name.
std::string WithoutLongPrefix(std::string path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + path.substr(8);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

bool WriteAll(HANDLE h, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(h, text.data() + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// Attributes the new file carries over from the old one.
DWORD KeptAttributes(DWORD old) {
    if (old == INVALID_FILE_ATTRIBUTES) return FILE_ATTRIBUTE_NORMAL;
    const DWORD kept = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

HANDLE CreateUniqueTemp(const std::string& target, DWORD attributes, std::string& tempPath) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TempNameFor(target, rd);
        const HANDLE h = CreateFileW(Wide(tempPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     attributes, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileIdentity StatFile(const std::string& path) {
    Handle h(OpenForAttributes(path));
    return h.Valid() ? IdentityOf(h.Get()) : FileIdentity{};
}

FileContents ReadRegularFile(const std::string& path) {
    FileContents c;
    Handle h(CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) {
        const DWORD err = GetLastError();
        c.id = StatFile(path);  // missing, or there but not readable
        c.readable = !c.id.exists;
        c.error = OpenErrorText(path, err);
        return c;
    }
    c.id = IdentityOf(h.Get());
    if (GetFileType(h.Get()) != FILE_TYPE_DISK) {
        // A pipe or a device (NUL, CON, COM1) could feed us without end.
        c.readable = false;
        c.error = path + ": not a regular file";
        return c;
    }
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h.Get(), buf, sizeof buf, &got, nullptr)) {
            c.readable = false;
            c.error = ErrorText(path, GetLastError());
            c.text.clear();
            break;
        }
        if (got == 0) break;
        c.text.append(buf, got);
    }
    return c;
}

std::string ResolveSymbolicLinks(std::string path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    Handle h(OpenForAttributes(path));
    if (!h.Valid()) return path;  // a dangling link: replaced as it is
    const DWORD n = GetFinalPathNameByHandleW(h.Get(), nullptr, 0, FILE_NAME_NORMALIZED);
    if (n == 0) return path;
    std::wstring final(n, L'\0');
    const DWORD len =
        GetFinalPathNameByHandleW(h.Get(), final.data(), n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (len == 0 || len >= n) return path;
    return WithoutLongPrefix(Narrow(final.data(), static_cast<int>(len)));
}

bool CheckFileWritable(const std::string& target, std::string& error) {
    const DWORD attributes = GetFileAttributesW(Wide(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            error = target + ": not a regular file";
            return false;
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            error = target + ": read-only file";
            return false;
        }
    }
    // A folder's read-only flag means nothing to its files; whether the
    // folder takes a new file shows when the temporary file is created.
    const std::string folder = FolderOf(target);
    const DWORD folderAttributes = GetFileAttributesW(Wide(folder).c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        error = ErrorText(folder, GetLastError());
        return false;
    }
    if ((folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = ErrorText(folder, ERROR_DIRECTORY);
        return false;
    }
    return true;
}

bool ReplaceFileAtomically(const std::string& target, const std::string& text, std::string& error) {
    RemoveStaleTempFiles(target);
    const DWORD old = GetFileAttributesW(Wide(target).c_str());
    std::string temp;
    Handle h(CreateUniqueTemp(target, KeptAttributes(old), temp));
    if (!h.Valid()) {
        error = ErrorText(target, GetLastError());
        return false;
    }
    bool ok = WriteAll(h.Get(), text) && FlushFileBuffers(h.Get()) != 0;
    if (!ok) error = ErrorText(target, GetLastError());
    if (!h.Close() && ok) {
        ok = false;
        error = ErrorText(target, GetLastError());
    }
    // Write-through: the call returns once the rename itself is on the disk.
    if (ok && !MoveFileExW(Wide(temp).c_str(), Wide(target).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = ErrorText(target, GetLastError());
    }
    if (!ok) DeleteFileW(Wide(temp).c_str());
    return ok;
}

#else  // POSIX

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

long long CurrentProcessId() { return static_cast<long long>(::getpid()); }

// EPERM: the process runs under another user.
bool ProcessIsAlive(long long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

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

// Reads to the end; false with errno set on a read error.
bool ReadAll(int fd, std::string& text) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return n == 0;
        }
    }
}

// Makes the rename itself durable; the text is safe either way.
void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

}  // namespace

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
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
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

#endif

}  // namespace quillane
