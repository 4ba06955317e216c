#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillane {

// A file that only grows at its end: the exchange log and the site record. No
// call waits on what stands at the path: a pipe, a device or a folder in a
// file's place is refused at once instead of blocking the console's start-up
// or its timer.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens an existing regular file for appending; never creates one. As
    // with OpenOwn, what stands at the name itself is judged: a symbolic link
    // there (on Windows, a reparse point that stands for another name) is
    // refused, whatever it leads to.
    bool OpenExisting(const std::string& path);
    // Opens the regular file at path for appending, creating it when nothing
    // is there: a file the console keeps as its own in a folder others may
    // share. What stands at the name itself is judged, never what it leads
    // to: a symbolic link (on Windows, a reparse point that stands for
    // another name) is refused whether it leads to a file, elsewhere or
    // nowhere, and so is a file without any write permission, which is
    // read-only even for the administrator. False with the reason in
    // ErrorText().
    bool OpenOwn(const std::string& path);
    bool IsOpen() const;
    // Every byte at the file's end, in one write unless the disk takes only
    // part of it, wherever other writers or a truncation have left the end;
    // false, with the reason in ErrorText(), when not all of them went out.
    bool Write(const char* data, std::size_t size);
    void Close();

    // Whether the open file is still the one at path: not removed, renamed
    // or replaced by something else since it was opened.
    bool StillAt(const std::string& path) const;
    // The open file's size; 0 when closed.
    std::int64_t Size() const;
    // Whether the open file's last byte is there and no line feed: a line
    // cut short. False too when the file cannot be read back.
    bool EndsMidLine() const;
    // Why the last open or write failed, in the system's words.
    const std::string& ErrorText() const { return error_; }

    // Creates a new, empty regular file; false when anything is there already.
    static bool CreateEmpty(const std::string& path);
    // Whether path names a regular file now (through symbolic links); looks,
    // never opens.
    static bool IsRegularFile(const std::string& path);

private:
#ifdef _WIN32
    // Both opens: the same refusals, one creating what is missing.
    bool OpenNoFollow(const std::string& path, bool create);
    void* handle_ = nullptr;  // HANDLE; nullptr when closed
#else
    int fd_ = -1;
#endif
    std::string error_;
};

}  // namespace quillane
