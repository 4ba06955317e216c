#include <algorithm>
#include <limits>
#include <random>

#include "os/FileStore.h"
#include "os/TempFiles.h"
#include "os/WidePath.h"

namespace quillane {
namespace {

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

// Reads to the end, or `most` bytes at most (a file that another writer keeps
// growing); false with the error left for GetLastError on a read error.
bool ReadAll(HANDLE h, std::string& text,
             std::int64_t most = std::numeric_limits<std::int64_t>::max()) {
    char buf[65536];
    while (static_cast<std::int64_t>(text.size()) < most) {
        const auto room =
            std::min<std::int64_t>(sizeof buf, most - static_cast<std::int64_t>(text.size()));
        DWORD got = 0;
        if (!ReadFile(h, buf, static_cast<DWORD>(room), &got, nullptr)) return false;
        if (got == 0) break;
        text.append(buf, got);
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

// What clearing up stale temporary files needs of the system (os/TempFiles.h).

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
    if (!ReadAll(h.Get(), c.text)) {
        c.readable = false;
        c.error = ErrorText(path, GetLastError());
        c.text.clear();
    }
    return c;
}

FileContents ReadOwnFileEnd(const std::string& path, std::int64_t most) {
    FileContents c;
    // The name itself, never what a reparse point at it stands for.
    Handle h(CreateFileW(Wide(path).c_str(), GENERIC_READ | FILE_READ_ATTRIBUTES, kShareAll,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h.Valid()) {
        const DWORD err = GetLastError();
        c.readable = err == ERROR_FILE_NOT_FOUND;
        c.error = OpenErrorText(path, err);
        return c;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (GetFileType(h.Get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandleEx(h.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         IsReparseTagNameSurrogate(tag.ReparseTag))) {
        c.readable = false;
        c.error = path + ": not a regular file";
        return c;
    }
    c.id = IdentityOf(h.Get());
    LARGE_INTEGER from{};
    from.QuadPart = std::max<std::int64_t>(0, c.id.size - most);
    if (!SetFilePointerEx(h.Get(), from, nullptr, FILE_BEGIN) || !ReadAll(h.Get(), c.text, most)) {
        c.readable = false;
        c.error = ErrorText(path, GetLastError());
        c.text.clear();
    }
    return c;
}

NewFile WriteNewFile(const std::string& path, const std::string& bytes, std::string& error) {
    // CREATE_NEW fails on any name that is taken, a dangling link's too.
    Handle h(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) return NewFile::NameTaken;
        error = OpenErrorText(path, err);
        return NewFile::Failed;
    }
    bool ok = WriteAll(h.Get(), bytes) && FlushFileBuffers(h.Get()) != 0;
    if (!ok) error = ErrorText(path, GetLastError());
    if (!h.Close() && ok) {
        ok = false;
        error = ErrorText(path, GetLastError());
    }
    if (!ok) DeleteFileW(Wide(path).c_str());
    return ok ? NewFile::Written : NewFile::Failed;
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

}  // namespace quillane
