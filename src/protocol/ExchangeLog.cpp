#include "protocol/ExchangeLog.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "os/AppendFile.h"
#include "os/Clock.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane {

ExchangeLog::ExchangeLog(Clock& clock, std::string path)
    : clock_(clock), path_(std::move(path)), hLogFile(std::make_unique<AppendFile>()) {}

ExchangeLog::~ExchangeLog() = default;

void ExchangeLog::EnableLogIfPresent() {
    if (!AppendFile::IsRegularFile(path_)) return;
    // Deleted and created anew rather than truncated, so that each run's log
    // is a fresh file even when an old one is still open in a viewer.
    if (std::remove(path_.c_str()) != 0) return;
    enabled_ = AppendFile::CreateEmpty(path_);
}

bool ExchangeLog::WriteLog(std::string_view text) {
    if (!enabled_) return true;
    LogLine stamp;
    logformat::TimeStamp(stamp, clock_.LocalDays());
    stamp.Text("  ");
    if (inPass_) {
        pass_.append(stamp.View()).append(text).push_back('\n');
        return true;
    }
    // One write per line, so that a line is never split by another writer
    // appending to the same file; the stack buffer keeps the frame lines off
    // the heap, and only an unusually long text takes a string.
    char local[512];
    const std::size_t size = stamp.Size() + text.size() + 1;
    if (size <= sizeof local) {
        std::memcpy(local, stamp.View().data(), stamp.Size());
        std::memcpy(local + stamp.Size(), text.data(), text.size());
        local[size - 1] = '\n';
        return Append(local, size);
    }
    std::string line(stamp.View());
    line.append(text).push_back('\n');
    return Append(line.data(), line.size());
}

void ExchangeLog::LogInpFrame(const std::uint8_t* frameBytes) {
    if (!enabled_) return;
    LogLine line;
    logformat::InpText(line, frameBytes);
    WriteLog(line.View());
}

void ExchangeLog::WritePass() {
    if (pass_.empty()) return;
    // A pass at the full line rate logs a dozen frames or more; one write
    // for them all instead of one each. A failed write loses the pass's lines, as it
    // would lose a single line.
    Append(pass_.data(), pass_.size());
    pass_.clear();
}

bool ExchangeLog::OpenIfNeeded() {
    // The log is never created here: a file removed by the user stays removed
    // until the next start. Only an existing regular file is opened, for
    // appending, so every line lands at the file's end even when another
    // program has added to or cut the file; each line, or each pass's lines,
    // leaves in one write and none waits in memory beyond its pass.
    return hLogFile->IsOpen() || hLogFile->OpenExisting(path_);
}

bool ExchangeLog::Append(const char* data, std::size_t size) {
    return OpenIfNeeded() && hLogFile->Write(data, size);
}

}  // namespace quillane
