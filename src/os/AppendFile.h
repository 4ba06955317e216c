#pragma once

#include <cstddef>
#include <string>

namespace quillane {

// A file that only grows at its end, for the exchange log. No call waits on
// what stands at the path: a pipe, a device or a folder in a file's place is
// refused at once instead of blocking the console's start-up or its timer.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens an existing regular file for appending; never creates one.
    bool OpenExisting(const std::string& path);
    bool IsOpen() const;
    // Every byte in one write at the file's end, wherever other writers or a
    // truncation have left it; false when not all of them went out.
    bool Write(const char* data, std::size_t size);
    void Close();

    // Creates a new, empty regular file; false when anything is there already.
    static bool CreateEmpty(const std::string& path);
    // Whether path names a regular file now (through symbolic links); looks,
    // never opens.
    static bool IsRegularFile(const std::string& path);

private:
#ifdef _WIN32
    void* handle_ = nullptr;  // HANDLE; nullptr when closed
#else
    int fd_ = -1;
#endif
};

}  // namespace quillane
