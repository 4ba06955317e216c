#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "console/record/RecordReader.h"

namespace quillane {

class AppendFile;

// The site record's file: whole lines appended at its end, kept from one run
// of the console to the next. Once a line would take it past its limit, the
// file is set aside as the older generation ("Quillane-site.1.jsonl" beside
// "Quillane-site.jsonl", replacing the one before) and a new one begins, so
// that the record never takes more than twice the limit on the disk, also
// when the files found at start were bigger: only their newest lines are kept.
//
// The record lives in a folder others may share, so only a regular file at
// its name is ever written, never what a symbolic link there leads to. A link
// is not replaced either: it may be the user's own arrangement, and removing
// it is a person's decision. While the file cannot be written (a link, a
// folder or a read-only file at its name, a folder at the older generation's
// name, a full disk), the lines wait in memory, up to the limit, and go out
// in order as soon as the file takes lines again.
class RecordFile {
public:
    // A few megabytes: days of events, hours of walk-test signal.
    static constexpr std::int64_t kDefaultLimit = 4 * 1024 * 1024;

    explicit RecordFile(std::string path, std::int64_t limit = kDefaultLimit);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // One line, ending in its line feed, after those the file still lacks.
    // Creates the file when it is missing. False when the line did not reach
    // the file (see Problem()): it is then held.
    bool Append(std::string line);

    const std::string& Path() const { return path_; }
    // The older generation's path: ".1" before the extension.
    std::string OlderPath() const;
    // The record as this run knows it now, for a reader on any thread: both
    // generations opened (the newest HeldLimit() bytes of each, which is
    // all the console ever writes there), the older first, then a copy of
    // the lines held in memory.
    RecordSnapshot Snapshot() const;
    // Its lines, each with its line feed, read from a snapshot.
    std::string ReadBack() const;

    // ---- what the file lacks, for whoever reads the record back ----
    // Why the file cannot be written now ("Unable to write to <path>: <why>",
    // or "Unable to set <path> aside as <older path>: <why>"); empty while it
    // takes every line.
    const std::string& Problem() const { return problem_; }
    // The lines of this run that have not reached the file, the oldest first,
    // each with its line feed. They are newer than every line in the file,
    // which may end in the cut-short start of the first of them (a disk that
    // filled up mid-line): a reader starts them on a line of their own. At
    // most HeldLimit() bytes of lines are held; beyond that the oldest are
    // given up. Read on the window's thread: a report built on another takes
    // a copy.
    const std::deque<std::string>& Held() const { return held_; }
    std::int64_t HeldLimit() const { return limit_; }
    // Lines of this run given up for want of room in memory: in neither the
    // file nor Held().
    std::uint64_t GivenUp() const { return givenUp_; }
    // Whether the file lacks lines of this run (held or given up): a report
    // then says that the record file is incomplete.
    bool Incomplete() const { return !held_.empty() || givenUp_ > 0; }

    // Whom to tell, at once, that the file cannot be written, why, and what
    // becomes of the lines meanwhile: once each time it stops taking them.
    using ProblemTeller = std::function<void(const std::string& message)>;
    void OnProblem(ProblemTeller tell) { tell_ = std::move(tell); }

private:
    bool WriteOne(const std::string& line);
    bool Open();
    // Sets the file aside; false, with the problem, when the system refuses.
    bool Rotate();
    void KeepOlderWithinLimit();
    bool Fail(std::string problem);
    std::string ProblemMessage() const;

    std::string path_;
    std::int64_t limit_;
    std::unique_ptr<AppendFile> file_;
    std::int64_t size_ = 0;
    bool olderChecked_ = false;
    std::string problem_;
    std::deque<std::string> held_;
    std::int64_t heldBytes_ = 0;
    std::uint64_t givenUp_ = 0;
    ProblemTeller tell_;
};

}  // namespace quillane
