#include "console/record/RecordFile.h"

#include <utility>

#include "os/AppendFile.h"
#include "os/FileStore.h"
#include "os/RenameFile.h"

namespace quillane {

RecordFile::RecordFile(std::string path, std::int64_t limit)
    : path_(std::move(path)), limit_(limit), file_(std::make_unique<AppendFile>()) {}

RecordFile::~RecordFile() = default;

std::string RecordFile::OlderPath() const {
    const std::size_t slash = path_.find_last_of("/\\");
    const std::size_t dot = path_.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot != 0 && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension) return path_ + ".1";
    return path_.substr(0, dot) + ".1" + path_.substr(dot);
}

bool RecordFile::Open() {
    if (file_->IsOpen()) return true;
    // Only a regular file is ever written: a folder or a pipe in its place
    // is left alone and the line is lost, never waited on.
    if (!AppendFile::IsRegularFile(path_)) AppendFile::CreateEmpty(path_);
    if (!file_->OpenExisting(path_)) return false;
    size_ = StatFile(path_).size;
    // A line cut short (the machine lost power mid-write) ends here, so that
    // the next one starts a line of its own.
    const std::string before = size_ > 0 ? ReadRegularFile(path_).text : std::string();
    if (!before.empty() && before.back() != '\n' && file_->Write("\n", 1)) ++size_;
    return true;
}

bool RecordFile::Rotate() {
    file_->Close();
    const bool setAside = RenameFileReplacing(path_, OlderPath());
    if (setAside) size_ = 0;
    return Open() && setAside;
}

bool RecordFile::Append(const std::string& line) {
    if (!Open()) return false;
    const auto length = static_cast<std::int64_t>(line.size());
    if (size_ > 0 && size_ + length > limit_ && !Rotate()) {
        // Tried again at the next line; meanwhile the file may grow, but only
        // so far.
        if (!file_->IsOpen() || size_ + length > 2 * limit_) return false;
    }
    if (!file_->Write(line.data(), line.size())) {
        // Opened afresh for the next line.
        file_->Close();
        return false;
    }
    size_ += length;
    return true;
}

std::string RecordFile::ReadBack() const {
    return ReadRegularFile(OlderPath()).text + ReadRegularFile(path_).text;
}

}  // namespace quillane
