#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

class OwnFileReader;

// The site record as it stood at one moment, for a reader on another thread:
// its two generations opened then (they stay the files they were when the
// console sets one aside or appends meanwhile), the bytes of each to read,
// and a copy of the lines held in memory.
struct RecordSnapshot {
    struct Part {
        std::shared_ptr<const OwnFileReader> file;
        std::int64_t from = 0, to = 0;
    };
    std::vector<Part> files;  // the older generation first
    std::vector<std::string> held;
    // The file lacks lines of this run (see RecordFile::Incomplete).
    bool incomplete = false;
};

// A record's line is a few hundred bytes; a longer one is none of the
// console's, and is given up without being kept whole.
constexpr std::size_t kLongestRecordLine = 64 * 1024;

// Hands each line of the snapshot, without its line feed, to `take`, in
// order: the files, then the held lines. The files are read in pieces, so
// that memory stays small whatever they hold; a part that starts inside a
// file starts with its first whole line. The count of lines given up for
// their length.
std::uint64_t ReadRecordLines(const RecordSnapshot& snapshot,
                              const std::function<void(std::string_view line)>& take);

}  // namespace quillane
