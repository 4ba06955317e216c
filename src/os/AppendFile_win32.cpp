#include <algorithm>

#include "os/AppendFile.h"
#include "os/WidePath.h"

namespace quillane {

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const char kLinkRefused[] = "a symbolic link, which the console does not follow";

// Why what stands at path could not be opened as the console's own file:
// what it is, when that says more than the system's word for the failure (a
// folder or a read-only file gives "Access is denied").
std::string WhyNotOpened(const std::string& path, DWORD err) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "not a regular file";
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return "read-only file";
    }
    return SystemText(err);
}

HANDLE OpenForAppend(const std::string& path, DWORD disposition, DWORD flags) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA puts every write at the end of
    // the file; reading is for the last byte only.
    return CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                       kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

}  // namespace

bool AppendFile::OpenExisting(const std::string& path) { return OpenNoFollow(path, false); }

bool AppendFile::OpenOwn(const std::string& path) { return OpenNoFollow(path, true); }

bool AppendFile::OpenNoFollow(const std::string& path, bool create) {
    Close();
    const DWORD disposition = create ? OPEN_ALWAYS : OPEN_EXISTING;
    // The name itself, never what a reparse point at it stands for.
    HANDLE h = OpenForAppend(path, disposition, FILE_FLAG_OPEN_REPARSE_POINT);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = WhyNotOpened(path, GetLastError());
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag)) {
        error_ = SystemText(GetLastError());
    } else if (GetFileType(h) != FILE_TYPE_DISK ||
               (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = "not a regular file";  // a pipe, a device (NUL, CON, COM1), a folder
    } else if ((tag.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error_ = "read-only file";  // also when the administrator could write it
    } else if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        handle_ = h;
    } else if (IsReparseTagNameSurrogate(tag.ReparseTag)) {
        error_ = kLinkRefused;  // a symbolic link, a junction, a mount point
    } else {
        // A file of the user's own that a filter stands behind (a cloud
        // file's placeholder): opened through it, and kept only when that
        // is still the same file.
        HANDLE through = OpenForAppend(path, OPEN_EXISTING, 0);
        if (through != INVALID_HANDLE_VALUE && SameFile(h, through)) {
            handle_ = through;
        } else {
            error_ = through == INVALID_HANDLE_VALUE ? SystemText(GetLastError()) : kLinkRefused;
            if (through != INVALID_HANDLE_VALUE) CloseHandle(through);
        }
    }
    if (handle_ != h) CloseHandle(h);
    if (handle_ != nullptr) error_.clear();
    return handle_ != nullptr;
}

bool AppendFile::IsOpen() const { return handle_ != nullptr; }

bool AppendFile::Write(const char* data, std::size_t size) {
    if (handle_ == nullptr) return false;
    std::size_t done = 0;
    while (done < size) {
        DWORD put = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        if (!WriteFile(handle_, data + done, chunk, &put, nullptr)) {
            error_ = SystemText(GetLastError());
            return false;
        }
        if (put == 0) {
            error_ = "nothing written";
            return false;
        }
        done += put;
    }
    return true;
}

void AppendFile::Close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
}

bool AppendFile::StillAt(const std::string& path) const {
    if (handle_ == nullptr) return false;
    HANDLE named = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    const bool same = SameFile(handle_, named);
    CloseHandle(named);
    return same;
}

std::int64_t AppendFile::Size() const {
    LARGE_INTEGER size{};
    return handle_ != nullptr && GetFileSizeEx(handle_, &size) ? size.QuadPart : 0;
}

bool AppendFile::EndsMidLine() const {
    const std::int64_t size = Size();
    if (size <= 0) return false;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(size - 1) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(size - 1) >> 32);
    char last = '\n';
    DWORD got = 0;
    return ReadFile(handle_, &last, 1, &got, &at) && got == 1 && last != '\n';
}

bool AppendFile::CreateEmpty(const std::string& path) {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    return CloseHandle(h) != 0;
}

bool AppendFile::IsRegularFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

}  // namespace quillane
