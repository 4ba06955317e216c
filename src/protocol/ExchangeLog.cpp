#include "protocol/ExchangeLog.h"

#include <cstring>
#include <utility>

#include "protocol/Clock.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane {

ExchangeLog::ExchangeLog(Clock& clock, std::string path) : clock_(clock), path_(std::move(path)) {}

ExchangeLog::~ExchangeLog() {
    if (hLogFile != nullptr) std::fclose(hLogFile);
}

void ExchangeLog::EnableLogIfPresent() {
    std::FILE* existing = std::fopen(path_.c_str(), "rb");
    if (existing == nullptr) return;
    std::fclose(existing);
    // Deleted and created anew rather than truncated, so that each run's log
    // is a fresh file even when an old one is still open in a viewer.
    if (std::remove(path_.c_str()) != 0) return;
    std::FILE* fresh = std::fopen(path_.c_str(), "wb");
    if (fresh == nullptr) return;
    if (std::fclose(fresh) != 0) return;
    enabled_ = true;
}

bool ExchangeLog::WriteLog(std::string_view text) {
    if (!enabled_) return true;
    LogLine stamp;
    logformat::TimeStamp(stamp, clock_.LocalDays());
    stamp.Text("  ");
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

bool ExchangeLog::OpenIfNeeded() {
    if (hLogFile != nullptr) return true;
    // The log is never created here: a file removed by the user stays removed
    // until the next start. Only an existing file is opened for appending.
    std::FILE* existing = std::fopen(path_.c_str(), "rb");
    if (existing == nullptr) return false;
    std::fclose(existing);
    // Append mode puts every write at the file's end, even when another
    // program has added to or cut the file; unbuffered, so that each line
    // leaves in one write of its own and none waits in memory.
    hLogFile = std::fopen(path_.c_str(), "ab");
    if (hLogFile != nullptr) std::setvbuf(hLogFile, nullptr, _IONBF, 0);
    return hLogFile != nullptr;
}

bool ExchangeLog::Append(const char* data, std::size_t size) {
    if (!OpenIfNeeded()) return false;
    std::clearerr(hLogFile);
    return std::fwrite(data, 1, size, hLogFile) == size;
}

}  // namespace quillane
