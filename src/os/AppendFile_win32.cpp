#include <algorithm>

#include "os/AppendFile.h"
#include "os/WidePath.h"

namespace quillane {

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

bool AppendFile::OpenExisting(const std::string& path) {
    Close();
    // FILE_APPEND_DATA alone puts every write at the end of the file.
    HANDLE h = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (GetFileType(h) != FILE_TYPE_DISK) {  // a pipe or a device (NUL, CON, COM1)
        CloseHandle(h);
        return false;
    }
    handle_ = h;
    return true;
}

bool AppendFile::IsOpen() const { return handle_ != nullptr; }

bool AppendFile::Write(const char* data, std::size_t size) {
    if (handle_ == nullptr) return false;
    if (size == 0) return true;
    DWORD put = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    return WriteFile(handle_, data, chunk, &put, nullptr) != 0 && put == size;
}

void AppendFile::Close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
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
