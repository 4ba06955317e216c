#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillane {

class NumberFormat;

// A settings file in the Windows profile format. Names match without regard to
// case; of duplicates the first wins. A write replaces the value in place, or
// adds the key after the last key of its section, or adds the section at the
// end, keeps every other byte of the file, and reaches the disk at once and
// atomically (new file renamed over the old), so a crash never leaves half a
// settings file. Creating the object does not touch the disk.
//
// The parsed file is kept between calls and read again only when the file on
// disk changes (identity, size or times) or after a write of our own, so the
// start-up's hundred-odd reads parse the file once.
class ProfileFile {
public:
    explicit ProfileFile(std::string path);
    const std::string& Path() const { return path_; }

    // The value, with surrounding blanks and one pair of matching quotes removed;
    // the default when the file, the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // False when the file or its folder cannot be written; the old file is then
    // left as it was. errorText() tells why. A file that exists but has no
    // write permission bit at all counts as read-only even for the
    // administrator, as a read-only file does on Windows.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    const std::string& ErrorText() const { return error_; }

    // Between BeginBatch and CommitBatch, writes change the file only as this
    // object sees it (reads see them at once) and reach the disk together, in
    // one atomic replace: an apply of a hundred keys then costs one flush to
    // the disk, not a hundred, and the file holds all of them or none. They
    // are held aside and go into the text in one pass at the commit, so the
    // apply costs one pass over the file, not one a key.
    // CommitBatch is false when the file cannot take them; the file is then as
    // it was. DiscardBatch drops what was not committed.
    void BeginBatch();
    bool CommitBatch();
    void DiscardBatch();

    // Typed access: a value that is missing, empty or does not parse (or parses
    // to a non-finite number) reads as the default. Floats are written in the
    // shortest general form, both through the locale's number format.
    double ReadFloat(const std::string& section, const std::string& key, double defaultValue,
                     const NumberFormat& format) const;
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool WriteFloat(const std::string& section, const std::string& key, double value,
                    const NumberFormat& format);
    bool WriteInteger(const std::string& section, const std::string& key, int value);

    struct Snapshot;
    // A write not yet in the text: section and key as first written, the
    // value as last written.
    struct Write {
        std::string section, key, value;
    };

private:
    std::shared_ptr<const Snapshot> Current() const;
    const Write* Pending(const std::string& section, const std::string& key) const;
    void Hold(const Snapshot& snap, Write write);
    void DropPending();

    std::string path_;
    std::string error_;
    bool batching_ = false;
    std::vector<Write> pending_;                         // in the order first written
    std::unordered_map<std::string, size_t> pendingAt_;  // lower-case "section\nkey"
    // Replaced as a whole, never changed in place, so copies may share it.
    mutable std::shared_ptr<const Snapshot> cache_;
};

}  // namespace quillane
