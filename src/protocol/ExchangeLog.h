#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/MessageTexts.h"

namespace quillane {

class AppendFile;
class Clock;

// The exchange log: one time-stamped line per frame received or sent and per
// change of the link state, for service work. It is on only when its file
// exists at start-up, so a field engineer switches it on by creating an empty
// file and no installer's disk fills up by accident.
class ExchangeLog {
public:
    explicit ExchangeLog(Clock& clock, std::string path = files::kLogFile);
    ~ExchangeLog();
    ExchangeLog(const ExchangeLog&) = delete;
    ExchangeLog& operator=(const ExchangeLog&) = delete;

    // Empties an existing log file and switches logging on; without the file,
    // or on any error, logging stays off for the whole run. Only a regular
    // file counts: a pipe, a device or a folder of that name is left as it is
    // and never waited on.
    void EnableLogIfPresent();
    bool bLogEnabled() const { return enabled_; }

    // Appends "hh:nn:ss.zzz", two blanks, the text and a line feed. True when
    // the line went out (inside a pass: when it was taken for the pass's
    // write), and also when logging is off.
    bool WriteLog(std::string_view text);
    // The "Inp:" line of the four frame bytes at `frameBytes`; nothing when off.
    void LogInpFrame(const std::uint8_t* frameBytes);

    // One pass of the poll cycle: from its start to its end the lines are
    // gathered, each with its own time stamp, and leave in one write at the
    // end. Lines outside a pass leave at once. Nothing is held beyond the
    // pass, so a crash loses at most the pass in progress.
    class Pass {
    public:
        explicit Pass(ExchangeLog& log) : log_(log) { log_.inPass_ = true; }
        ~Pass() {
            log_.inPass_ = false;
            log_.WritePass();
        }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        ExchangeLog& log_;
    };

    const std::string& Path() const { return path_; }

private:
    void WritePass();
    bool OpenIfNeeded();
    bool Append(const char* data, std::size_t size);

    Clock& clock_;
    std::string path_;
    bool enabled_ = false;
    std::unique_ptr<AppendFile> hLogFile;
    bool inPass_ = false;
    // The lines of the pass in progress; its room is kept from pass to pass.
    std::string pass_;
};

}  // namespace quillane
