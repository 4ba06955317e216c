#include "os/OwnFileReader.h"
#include "os/WidePath.h"

namespace quillane {

namespace {

// Others go on appending, setting the file aside and removing it.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE HandleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

OwnFileReader::~OwnFileReader() {
    if (IsOpen()) CloseHandle(HandleOf(handle_));
}

bool OwnFileReader::Open(const std::string& path) {
    // The name itself, never what a reparse point at it stands for.
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | FILE_READ_ATTRIBUTES, kShareAll,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        missing_ = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
        error_ = path + ": " + SystemText(err);
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK ||
        !GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         IsReparseTagNameSurrogate(tag.ReparseTag)) ||
        !GetFileSizeEx(h, &size)) {
        error_ = path + ": not a regular file";
        CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    size_ = static_cast<std::int64_t>(size.QuadPart);
    return true;
}

long long OwnFileReader::ReadAt(std::int64_t offset, char* buffer, std::size_t size) const {
    if (!IsOpen()) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    const DWORD want = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (ReadFile(HandleOf(handle_), buffer, want, &got, &at)) return static_cast<long long>(got);
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

}  // namespace quillane
