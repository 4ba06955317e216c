#pragma once

#include <string>

namespace quillane {

// A settings file in the Windows profile format. Names match without regard to
// case; of duplicates the first wins. A write replaces the value in place, or
// adds the key after the last key of its section, or adds the section at the
// end, keeps every other byte of the file, and reaches the disk at once and
// atomically (new file renamed over the old), so a crash never leaves half a
// settings file. Creating the object does not touch the disk.
class ProfileFile {
public:
    explicit ProfileFile(std::string path);
    const std::string& Path() const { return path_; }

    // The value, with surrounding blanks and one pair of matching quotes removed;
    // the default when the file, the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // False when the file or its folder cannot be written; the old file is then
    // left as it was. errorText() tells why.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    const std::string& ErrorText() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

}  // namespace quillane
