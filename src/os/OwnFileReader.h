#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillane {

// A file the console keeps as its own (the site record), read in pieces by
// whoever holds it, also on another thread than the one that appends to it.
// What stands at the name itself is opened, never what it leads to: a
// symbolic link (on Windows, a reparse point that stands for another name)
// is refused, and so is anything but a regular file. Once open it stays the
// file it was, also when it is renamed (set aside) or removed meanwhile.
class OwnFileReader {
public:
    OwnFileReader() = default;
    ~OwnFileReader();
    OwnFileReader(const OwnFileReader&) = delete;
    OwnFileReader& operator=(const OwnFileReader&) = delete;

    // False when nothing could be opened: Missing() when nothing is at the
    // name, otherwise the reason in ErrorText().
    bool Open(const std::string& path);
    bool IsOpen() const { return handle_ != kClosed; }
    bool Missing() const { return missing_; }
    // The file's size when it was opened.
    std::int64_t Size() const { return size_; }
    // Up to `size` bytes from `offset`: the count read, 0 at the end, -1 on
    // an error.
    long long ReadAt(std::int64_t offset, char* buffer, std::size_t size) const;
    const std::string& ErrorText() const { return error_; }

private:
    static constexpr std::intptr_t kClosed = -1;
    // The descriptor, or on Windows the HANDLE.
    std::intptr_t handle_ = kClosed;
    std::int64_t size_ = 0;
    bool missing_ = false;
    std::string error_;
};

}  // namespace quillane
