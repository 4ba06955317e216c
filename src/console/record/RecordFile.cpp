#include "console/record/RecordFile.h"

#include <algorithm>
#include <utility>

#include "os/AppendFile.h"
#include "os/FileStore.h"
#include "os/OwnFileReader.h"
#include "os/RenameFile.h"

namespace quillane {

RecordFile::RecordFile(std::string path, std::int64_t limit)
    : path_(std::move(path)), limit_(limit), file_(std::make_unique<AppendFile>()) {}

RecordFile::~RecordFile() = default;

std::string RecordFile::OlderPath() const { return EarlierGenerationPath(path_); }

bool RecordFile::Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
}

bool RecordFile::Open() {
    if (file_->IsOpen()) return true;
    if (!file_->OpenOwn(path_))
        return Fail("Unable to write to " + path_ + ": " + file_->ErrorText());
    size_ = file_->Size();
    if (!olderChecked_) {
        olderChecked_ = true;
        KeepOlderWithinLimit();
    }
    // A line cut short (the machine lost power, the disk filled up mid-write)
    // ends here, so that the next one starts a line of its own.
    if (file_->EndsMidLine() && file_->Write("\n", 1)) ++size_;
    return true;
}

bool RecordFile::Rotate() {
    file_->Close();
    std::string why;
    if (!RenameFileReplacing(path_, OlderPath(), why))
        return Fail("Unable to set " + path_ + " aside as " + OlderPath() + ": " + why);
    // A file found past the limit has gone aside whole.
    KeepOlderWithinLimit();
    return Open();
}

// An older generation past the limit (set aside whole by an earlier console,
// or put there by hand) keeps only its newest whole lines. A link there, or
// anything but a file, is not the record's to cut: the next rotation replaces
// it. A file that cannot be cut stays as it is; the record goes on.
void RecordFile::KeepOlderWithinLimit() {
    const std::string older = OlderPath();
    if (StatFile(older).size <= limit_) return;
    FileContents end = ReadOwnFileEnd(older, limit_);
    if (!end.readable || end.id.size <= limit_) return;
    // The bytes start inside a line: it goes.
    const std::size_t lineFeed = end.text.find('\n');
    end.text.erase(0, lineFeed == std::string::npos ? end.text.size() : lineFeed + 1);
    std::string ignored;
    ReplaceFileAtomically(older, end.text, ignored);
}

bool RecordFile::WriteOne(const std::string& line) {
    // A file removed, renamed or replaced behind the console's back (a user
    // clearing the record, another console setting it aside) would take the
    // lines out of sight: the name is opened anew.
    if (file_->IsOpen() && !file_->StillAt(path_)) file_->Close();
    if (!Open()) return false;
    const auto length = static_cast<std::int64_t>(line.size());
    // Also a file found past the limit at start goes aside before it grows.
    if (size_ > 0 && size_ + length > limit_ && !Rotate()) return false;
    if (!file_->Write(line.data(), line.size())) {
        Fail("Unable to write to " + path_ + ": " + file_->ErrorText());
        // Opened afresh for the next try, which ends a line left half written.
        file_->Close();
        return false;
    }
    size_ += length;
    return true;
}

std::string RecordFile::ProblemMessage() const {
    const std::string room = limit_ >= (1 << 20) ? std::to_string(limit_ >> 20) + " MB"
                                                 : std::to_string(limit_ >> 10) + " kB";
    return problem_ + "\n\nUntil the file takes them again, the console keeps the newest " + room +
           " of the record's events in memory. A commissioning report is built from them and "
           "says that the record file is incomplete.";
}

bool RecordFile::Append(std::string line) {
    const bool told = !problem_.empty();
    heldBytes_ += static_cast<std::int64_t>(line.size());
    held_.push_back(std::move(line));
    // Each line is a try: the file may be writable again (a folder removed,
    // room made on the disk).
    while (!held_.empty() && WriteOne(held_.front())) {
        heldBytes_ -= static_cast<std::int64_t>(held_.front().size());
        held_.pop_front();
    }
    if (held_.empty()) problem_.clear();
    while (heldBytes_ > limit_) {
        heldBytes_ -= static_cast<std::int64_t>(held_.front().size());
        held_.pop_front();
        ++givenUp_;
    }
    if (!problem_.empty() && !told && tell_) tell_(ProblemMessage());
    return problem_.empty();
}

RecordSnapshot RecordFile::Snapshot() const {
    RecordSnapshot s;
    for (const std::string& path : {OlderPath(), path_}) {
        auto file = std::make_shared<OwnFileReader>();
        if (!file->Open(path)) continue;
        const std::int64_t size = file->Size();
        s.files.push_back({file, std::max<std::int64_t>(0, size - limit_), size});
    }
    s.held.assign(held_.begin(), held_.end());
    s.incomplete = Incomplete();
    return s;
}

std::string RecordFile::ReadBack() const {
    std::string text;
    ReadRecordLines(Snapshot(), [&text](std::string_view line) {
        text.append(line);
        text.push_back('\n');
    });
    return text;
}

}  // namespace quillane
