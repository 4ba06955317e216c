#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillane {

class AppendFile;

// The site record's file: whole lines appended at its end, kept from one run
// of the console to the next. Once a line would take it past its limit, the
// file is set aside as the older generation ("Quillane-site.1.jsonl" beside
// "Quillane-site.jsonl", replacing the one before) and a new one begins, so
// that the record never takes more than twice the limit on the disk.
class RecordFile {
public:
    // A few megabytes: days of events, hours of walk-test signal.
    static constexpr std::int64_t kDefaultLimit = 4 * 1024 * 1024;

    explicit RecordFile(std::string path, std::int64_t limit = kDefaultLimit);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // One line, in one write. Creates the file when it is missing; false when
    // the line did not go out (no file can be made there, the disk is full,
    // or the file cannot be set aside and has reached twice its limit).
    bool Append(const std::string& line);

    const std::string& Path() const { return path_; }
    // The older generation's path: ".1" before the extension.
    std::string OlderPath() const;
    // Both generations' text, the older first, for reading the record back.
    std::string ReadBack() const;

private:
    bool Open();
    // Sets the file aside; false, with the file kept open as it is, when the
    // system refuses.
    bool Rotate();

    std::string path_;
    std::int64_t limit_;
    std::unique_ptr<AppendFile> file_;
    std::int64_t size_ = 0;
};

}  // namespace quillane
