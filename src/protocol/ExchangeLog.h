#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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
//
// At the full line rate it takes 1440 lines a second, so lines are held in
// memory for a short while and leave in one write: once the oldest has waited
// kHoldSeconds (at the end of a pass, or when the window's planner wakes it:
// FlushDueIn), once kHoldBytes have gathered, and at once whenever the link is
// lost, a pass fails, a dialog is about to block the window, and at the end.
// A crash thus loses at most the lines of the last tenth of a second or so
// (kHoldBytes at the most), never lines from before.
//
// The file never grows past kGenerationBytes: before a write would take it
// past, it is set aside as the earlier generation ("Quillane.1.log", replacing
// the one before) and a new file begins, so that the two never take more than
// twice that on the disk, however long the console runs and however fast the
// line floods. Lines are never split between the two.
class ExchangeLog {
public:
    static constexpr double kHoldSeconds = 0.1;
    static constexpr std::size_t kHoldBytes = 32 * 1024;
    // About 40 minutes of a detector's 400 frames a second, 10 at the full
    // line rate.
    static constexpr std::int64_t kGenerationBytes = 64 * 1024 * 1024;

    explicit ExchangeLog(Clock& clock, std::string path = files::kLogFile,
                         std::int64_t generationBytes = kGenerationBytes);
    // Writes what it still holds.
    ~ExchangeLog();
    ExchangeLog(const ExchangeLog&) = delete;
    ExchangeLog& operator=(const ExchangeLog&) = delete;

    // Empties an existing log file (and removes the earlier generation of a
    // past run) and switches logging on; without the file, or on any error,
    // logging stays off for the whole run. Only a regular file counts: a
    // pipe, a device or a folder of that name is left as it is and never
    // waited on.
    void EnableLogIfPresent();
    bool bLogEnabled() const { return enabled_; }

    // Takes "hh:nn:ss.zzz", two blanks, the text and a line feed for the next
    // write. True when the line was taken, and also when logging is off;
    // false when the log's file cannot be opened: the line is lost, and the
    // next one tries again.
    bool WriteLog(std::string_view text);
    // The "Inp:" line of the four frame bytes at `frameBytes`; nothing when off.
    void LogInpFrame(const std::uint8_t* frameBytes);

    // Writes every line held, in one write; false when they did not all
    // reach the file (they are lost, as a single line was before).
    bool Flush();
    // Seconds (monotonic, from `now`) until the lines held are due for the
    // disk; none while nothing is held.
    std::optional<double> FlushDueIn(double now) const;

    // One pass of the poll cycle: its lines all carry the time read once, at
    // the first of them (the bytes of a pass all arrived before it began, and
    // it takes microseconds), and when it ends the lines held are written if
    // they are due.
    class Pass {
    public:
        explicit Pass(ExchangeLog& log) : log_(log) { log_.BeginPass(); }
        ~Pass() { log_.EndPass(); }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        ExchangeLog& log_;
    };

    const std::string& Path() const { return path_; }
    // Where the file is set aside: ".1" before the extension.
    const std::string& EarlierPath() const { return earlierPath_; }

private:
    void BeginPass();
    void EndPass();
    // Starts a line in held_: the stamp and the two blanks.
    bool StartLine();
    bool OpenIfNeeded();
    // Sets a file that `bytes` more would take past its bound aside and
    // begins a new one; false when that cannot be done.
    bool MakeRoom(std::size_t bytes);

    Clock& clock_;
    std::string path_;
    std::string earlierPath_;
    std::int64_t generationBytes_;
    bool enabled_ = false;
    std::unique_ptr<AppendFile> hLogFile;
    // The lines not yet written, oldest first; the room is kept.
    std::string held_;
    double heldSince_ = 0;  // monotonic, of the oldest line held
    bool inPass_ = false;
    // "hh:nn:ss.zzz  " of the pass in progress, once its first line read
    // the clock.
    std::string passStamp_;
    // The "Inp:" texts of the frames seen lately, each in the place its four
    // bytes give it: a detector sends the same few dozen frames again and
    // again, up to 1440 a second, and each text is formatted once.
    struct KeptInp {
        std::uint32_t bytes = 0;
        std::string text;  // empty until a frame came
    };
    std::array<KeptInp, 64> keptInp_;
};

}  // namespace quillane
