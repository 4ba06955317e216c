#include "protocol/ExchangeLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "os/AppendFile.h"
#include "os/Clock.h"
#include "os/RenameFile.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane {

namespace {

void Stamp(std::string& into, double days) {
    LogLine stamp;
    logformat::TimeStamp(stamp, days);
    stamp.Text("  ");
    into.append(stamp.View());
}

}  // namespace

ExchangeLog::ExchangeLog(Clock& clock, std::string path, std::int64_t generationBytes)
    : clock_(clock),
      path_(std::move(path)),
      earlierPath_(EarlierGenerationPath(path_)),
      generationBytes_(generationBytes),
      hLogFile(std::make_unique<AppendFile>()) {}

ExchangeLog::~ExchangeLog() { Flush(); }

void ExchangeLog::EnableLogIfPresent() {
    if (!AppendFile::IsRegularFile(path_)) return;
    // Deleted and created anew rather than truncated, so that each run's log
    // is a fresh file even when an old one is still open in a viewer, and a
    // link at the name is replaced by a file of the log's own. The earlier
    // generation of a past run goes too: the two files hold one run.
    if (std::remove(path_.c_str()) != 0) return;
    if (AppendFile::IsRegularFile(earlierPath_)) std::remove(earlierPath_.c_str());
    enabled_ = AppendFile::CreateEmpty(path_);
}

bool ExchangeLog::StartLine() {
    // The log is never created here: a file removed by the user stays removed
    // until the next start, and each line tries to open it again.
    if (!OpenIfNeeded()) return false;
    if (held_.empty()) heldSince_ = clock_.MonotonicSeconds();
    if (!inPass_) {
        Stamp(held_, clock_.LocalDays());
    } else {
        if (passStamp_.empty()) Stamp(passStamp_, clock_.LocalDays());
        held_.append(passStamp_);
    }
    return true;
}

bool ExchangeLog::WriteLog(std::string_view text) {
    if (!enabled_) return true;
    if (!StartLine()) return false;
    held_.append(text).push_back('\n');
    if (held_.size() >= kHoldBytes) Flush();
    return true;
}

void ExchangeLog::LogInpFrame(const std::uint8_t* frameBytes) {
    if (!enabled_) return;
    static_assert(frame::kFrameSize == 4, "a frame's bytes are its key");
    const std::uint32_t bytes = std::uint32_t{frameBytes[0]} << 24 |
                                std::uint32_t{frameBytes[1]} << 16 |
                                std::uint32_t{frameBytes[2]} << 8 | frameBytes[3];
    // Multiplied so that frames differing only in their signal spread over
    // the places rather than share one.
    KeptInp& kept = keptInp_[(bytes * 2654435761u) >> 26];
    if (kept.text.empty() || kept.bytes != bytes) {
        LogLine line;
        logformat::InpText(line, frameBytes);
        kept.text.assign(line.View());
        kept.bytes = bytes;
    }
    WriteLog(kept.text);
}

void ExchangeLog::BeginPass() {
    inPass_ = true;
    passStamp_.clear();
}

void ExchangeLog::EndPass() {
    inPass_ = false;
    if (!held_.empty() && clock_.MonotonicSeconds() - heldSince_ >= kHoldSeconds) Flush();
}

std::optional<double> ExchangeLog::FlushDueIn(double now) const {
    if (held_.empty()) return std::nullopt;
    return std::max(0.0, heldSince_ + kHoldSeconds - now);
}

bool ExchangeLog::Flush() {
    if (held_.empty()) return true;
    // Every line goes to the file's end, even when another program has added
    // to or cut the file; a failed write loses what was held, as it would
    // lose a single line.
    const bool written =
        OpenIfNeeded() && MakeRoom(held_.size()) && hLogFile->Write(held_.data(), held_.size());
    held_.clear();
    return written;
}

bool ExchangeLog::OpenIfNeeded() {
    // Only an existing regular file is opened, and never through a link put
    // at the log's name since the start: its target is not the log's.
    return hLogFile->IsOpen() || hLogFile->OpenExisting(path_);
}

bool ExchangeLog::MakeRoom(std::size_t bytes) {
    const std::int64_t size = hLogFile->Size();
    if (size == 0 || size + static_cast<std::int64_t>(bytes) <= generationBytes_) return true;
    // Measured by the open file, so a file another program filled counts too.
    const bool named = hLogFile->StillAt(path_);
    hLogFile->Close();
    if (named) {
        // The rename replaces whatever is at the earlier name, a link
        // included, and never follows it. Refused (a folder there, a viewer
        // that holds the file on a system that locks open files), the lines
        // are lost and the next write tries again: the bound holds.
        std::string why;
        if (!RenameFileReplacing(path_, earlierPath_, why)) return false;
        // The new file is made here, at a name just freed; a link put there
        // meanwhile is refused, never followed.
        return hLogFile->OpenOwn(path_);
    }
    // A file removed or renamed by the user while the console held it is let
    // go, so that it no longer grows; the log goes on only in a file at its
    // name, as at the first line.
    return OpenIfNeeded() &&
           hLogFile->Size() + static_cast<std::int64_t>(bytes) <= generationBytes_;
}

}  // namespace quillane
